#!/usr/bin/env bash
# The main job: tamsel drives the simulated RDS encoder over a pseudo-terminal; the encoder's air
# goes into a bit-stream file and, as the FM multiplex a receiver hears, into a WAV recording.
# brovik decodes the bit stream; rds-demod turns the recording back into bits, and brovik decodes
# those too: the station received from the air must be the one tamsel sent.
# No hardware: the serial line is a pseudo-terminal (never the machine's own /dev/ttyS*).
#
# Usage: scripts/demo.sh [BUILD_DIR]     (make demo builds first, then runs this)
# Files: BUILD_DIR/demo/ holds rds-in.txt, rds-out.txt, air.wav, air-bits.txt, the summaries and
# the logs of the programs.
set -euo pipefail

build=$(cd "${1:-build}" && pwd)
sim="$build/simulator/rds-encoder-sim"
tamsel="$build/sender/tamsel"
brovik="$build/decoder/brovik"
demod="$build/demod/rds-demod"
for program in "$sim" "$tamsel" "$brovik" "$demod"; do
  if [ ! -x "$program" ]; then
    echo "demo: $program is missing; build first (make demo builds everything)" >&2
    exit 1
  fi
done

dir="$build/demo"
mkdir -p "$dir"
rm -f "$dir"/encoder "$dir"/*.txt "$dir"/*.wav

# The encoder goes on air at once and stays there until tamsel closes the line; three more
# seconds of air after that let the last name, radiotext and clock time go out in full. The air
# is recorded twice from the same first bit: as bits, and as a 171 kHz multiplex (a rate SDR
# programs record at).
"$sim" --link "$dir/encoder" --out "$dir/rds-in.txt" --mpx "$dir/air.wav" --mpx-rate 171000 \
  --hold 3 -v >"$dir/encoder.where" 2>"$dir/encoder.log" &
sim_pid=$!
cleanup() {
  if kill -0 "$sim_pid" 2>/dev/null; then kill "$sim_pid" 2>/dev/null || true; fi
}
trap cleanup EXIT

for _ in $(seq 100); do
  [ -L "$dir/encoder" ] && [ -s "$dir/encoder.where" ] && break
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

# The station as a listener sees it, from the encoder's bit stream.
"$brovik" --summary="$dir/summary-bits.txt" "$dir/rds-in.txt"
echo
echo "Decoded by brovik from the encoder's bit stream:"
sed -n '/^Station$/,/^Reception$/p' "$dir/summary-bits.txt" | sed '1d;$d'

# The same station from the air: the multiplex back to bits, decoded in receiver mode.
status=0
"$demod" --no-progress "$dir/air.wav" "$dir/air-bits.txt" 2>"$dir/rds-demod.log" || status=$?
if [ "$status" -ne 0 ]; then
  echo "demo: rds-demod failed with exit code $status:" >&2
  cat "$dir/rds-demod.log" >&2
  exit 1
fi
"$brovik" --receiver --summary="$dir/summary-air.txt" "$dir/air-bits.txt"

# What a listener sees, without the times in the capture, which differ by where each file starts.
station_fields() {
  sed -n '/^Station$/,/^Reception$/p' "$1" |
    grep -E '^  (PI|PTY|PS|RT \(2A\)|AF|CT) |^               "' |
    sed -E 's/ at [0-9.]+ s$//; s/, the last at [0-9.]+ s$//'
}
echo
echo "From the air: rds-demod turned the FM multiplex (air.wav, $(du -k "$dir/air.wav" | cut -f1) kB) into bits,"
echo "and brovik --receiver decodes them:"
grep -E '^  (Groups|BLER) ' "$dir/summary-air.txt"
station_fields "$dir/summary-bits.txt" >"$dir/station-bits.txt"
station_fields "$dir/summary-air.txt" >"$dir/station-air.txt"
if diff "$dir/station-bits.txt" "$dir/station-air.txt" >"$dir/air-differs.txt"; then
  echo "  PI, PS, PTY, RT, AF and CT are those of the bit stream: the air carries tamsel's station."
else
  echo "demo: the station decoded from the air differs from the bit stream's (< bits, > air):" >&2
  cat "$dir/air-differs.txt" >&2
  exit 1
fi
echo
echo "Full report: $dir/rds-out.txt ($(wc -l <"$dir/rds-out.txt") blocks)"
