#!/usr/bin/env bash
# The main job: tamsel drives the simulated RDS encoder over a pseudo-terminal, the encoder's
# air goes into a bit-stream file, brovik decodes it, and the decoded station is summed up.
# No hardware: the serial line is a pseudo-terminal (never the machine's own /dev/ttyS*).
#
# Usage: scripts/demo.sh [BUILD_DIR]     (make demo builds first, then runs this)
# Files: BUILD_DIR/demo/ holds rds-in.txt, rds-out.txt and the logs of the three programs.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
sim="$build/simulator/rds-encoder-sim"
tamsel="$build/sender/tamsel"
brovik="$build/decoder/brovik"
for program in "$sim" "$tamsel" "$brovik"; do
  if [ ! -x "$program" ]; then
    echo "demo: $program is missing; build first (make demo builds everything)" >&2
    exit 1
  fi
done

dir="$build/demo"
mkdir -p "$dir"
rm -f "$dir/encoder" "$dir/rds-in.txt" "$dir/rds-out.txt"

# The encoder goes on air at once and stays there until tamsel closes the line; three more
# seconds of air after that let the last name, radiotext and clock time go out in full.
"$sim" --link "$dir/encoder" --out "$dir/rds-in.txt" --hold 3 -v >"$dir/encoder.where" \
  2>"$dir/encoder.log" &
sim_pid=$!
cleanup() {
  if kill -0 "$sim_pid" 2>/dev/null; then kill "$sim_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

for _ in $(seq 100); do
  [ -L "$dir/encoder" ] && break
  kill -0 "$sim_pid" 2>/dev/null || break
  sleep 0.05
done
if [ ! -L "$dir/encoder" ]; then
  echo "demo: the encoder simulator did not start:" >&2
  cat "$dir/encoder.log" >&2
  exit 1
fi

echo "Encoder simulator on $(cat "$dir/encoder.where") (link $dir/encoder)"
echo "Running tamsel with RDS_COM1=$dir/encoder (eleven frames, about 4 s) ..."
status=0
RDS_COM1="$dir/encoder" "$tamsel" >"$dir/tamsel.out" 2>"$dir/tamsel.err" || status=$?
if [ "$status" -ne 0 ]; then
  echo "demo: tamsel failed with exit code $status:" >&2
  cat "$dir/tamsel.err" >&2
  exit 1
fi

status=0
wait "$sim_pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "demo: the encoder simulator failed with exit code $status:" >&2
  cat "$dir/encoder.log" >&2
  exit 1
fi

status=0
(cd "$dir" && "$brovik") || status=$?
if [ "$status" -ne 0 ]; then
  echo "demo: brovik failed with exit code $status" >&2
  exit 1
fi

# tamsel prints each reply with "%*.*s": the encoder's acknowledgement frame
# FE 00 00 00 02 18 00 15 55 FF shows as its bytes before the first zero, right-aligned in ten
# columns. Bytes that are not printable are shown as \xHH.
echo
echo "tamsel printed:"
LC_ALL=C awk 'BEGIN { for (i = 1; i < 256; i++) ord[sprintf("%c", i)] = i }
  {
    line = ""
    for (i = 1; i <= length($0); i++) {
      c = substr($0, i, 1)
      line = line ((ord[c] >= 32 && ord[c] < 127) ? c : sprintf("\\x%02X", ord[c]))
    }
    print "  " line
  }' "$dir/tamsel.out"
echo "  (each reply is a UECP acknowledgement frame, shown up to its first zero byte)"
grep -o '[0-9]* frame(s) applied.*written' "$dir/encoder.log" | sed 's/^/  encoder: /; s/ written$//'

# The decoded station, from brovik's report: one line per block, fields after the offset name.
echo
echo "Decoded by brovik:"
LC_ALL=C awk '
  function field(text, name,   at) {
    at = index(text, name)
    return at ? substr(text, at + length(name)) : ""
  }
  / A  - PI=/ { pi = substr(field($0, "PI="), 1, 4) }
  / B  - Group=/ {
    group = substr(field($0, "Group="), 1, 3)
    split(field($0, "PTY="), p, " "); pty = p[1]
    tp = substr(field($0, "TP="), 1, 1)
    split(field($0, "Decode="), d, " "); segment = d[1]
  }
  / C  - AF\(/ { af = field($0, "="); sub(/ +$/, "", af); sub(/^ +/, "", af); gsub(/ +/, " ", af) }
  / D  - PS=/ {
    # A name is whole once its last segment has arrived.
    if (group == " 0A" && segment == 3) {
      ps = substr(field($0, "PS=\x27"), 1, 8)
      if (ps != last_ps && ps != "        ") { names = names (names ? ", then " : "") "\"" ps "\""; last_ps = ps }
    }
  }
  / - RT-[AB]=/ {
    rt = field($0, "=\x27"); sub(/\r.*/, "", rt); sub(/ *\x27?$/, "", rt)
  }
  / D  - CT=/ {
    ct = field($0, "Day="); split(ct, c, " ")
    when = c[1] " " substr(c[4], 1, 5) " UTC, local offset " substr(c[4], 6)
    if (when != last_ct) { cts = cts (cts ? "; " : "") when; last_ct = when }
  }
  END {
    printf "  PI   %s\n", pi
    printf "  PS   %s\n", names
    printf "  PTY  %s\n", pty
    printf "  TP   %s\n", tp == "O" ? "on (traffic programme)" : "off"
    printf "  AF   %s MHz\n", af
    printf "  RT   \"%s\"\n", rt
    printf "  CT   %s\n", cts
  }' "$dir/rds-out.txt"
echo
echo "Full report: $dir/rds-out.txt ($(wc -l <"$dir/rds-out.txt") blocks)"
