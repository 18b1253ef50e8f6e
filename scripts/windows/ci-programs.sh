# shellcheck shell=bash disable=SC2154
# The program-level Windows checks; sourced by ci.sh, which defines repo, linux_build, win64,
# prefix, work, wine_run, sim_pid and pass/fail/skip/stage.
#
# brovik.exe writes its report in text mode, so every line ends in CR LF on Windows; the Linux
# build writes LF. The reports are compared after turning each CR LF into LF, and only that: a
# lone CR (the radiotext end mark could reach the report) must survive on both sides alike.

crlf_to_lf() { perl -pe 's/\r\n/\n/g' "$1"; }

# Runs one brovik build in a fresh folder holding the given rds-in.txt ("" for none), with its
# standard output in stdout.txt. Usage: run_brovik_in RUN_DIR INPUT_FILE COMMAND...; prints the
# exit code.
run_brovik_in() {
  local dir=$1 input=$2
  shift 2
  rm -rf "$dir"
  mkdir -p "$dir"
  [[ -n $input ]] && cp "$input" "$dir/rds-in.txt"
  local rc=0
  (cd "$dir" && timeout 60 "$@" >stdout.txt 2>stderr.txt) || rc=$?
  echo "$rc"
}

# The files a run left in its folder, but its input and its messages.
output_files() {
  local path
  for path in "$1"/*; do
    [[ -e $path ]] || continue
    case ${path##*/} in
      rds-in.txt | stderr.txt) ;;
      *) echo "${path##*/}" ;;
    esac
  done
}

# Compares Linux brovik and brovik.exe on one capture, run the way the programs' users run them:
# no arguments (rds-in.txt to rds-out.txt), or with the given arguments. Same exit code, and the
# same report and standard output after the CR LF translation.
compare_brovik() {
  local name=$1 input=$2
  shift 2
  local dir=$work/brovik/$name
  local linux_rc windows_rc
  linux_rc=$(run_brovik_in "$dir/linux" "$input" "$linux_build/decoder/brovik" "$@")
  windows_rc=$(run_brovik_in "$dir/windows" "$input" "$wine_run" --prefix "$prefix" \
    "$win64/decoder/brovik.exe" "$@")
  if [[ $linux_rc != "$windows_rc" ]]; then
    fail "brovik $name: exit code $windows_rc on Windows, $linux_rc on Linux"
    return
  fi
  # Every file either run left behind, but the input and the messages (whose wording may name
  # system errors differently).
  local names file
  names=$(output_files "$dir/linux")
  if [[ $names != "$(output_files "$dir/windows")" ]]; then
    fail "brovik $name: the runs left different files"
    return
  fi
  for file in $names; do
    if ! cmp -s "$dir/linux/$file" <(crlf_to_lf "$dir/windows/$file"); then
      fail "brovik $name: $file differs; first difference (< Linux, > Windows):"
      diff "$dir/linux/$file" <(crlf_to_lf "$dir/windows/$file") | head -5 || true
      return
    fi
  done
  local lines=0
  for file in $names; do lines=$((lines + $(wc -l <"$dir/linux/$file"))); done
  pass "brovik $name: exit $linux_rc on both, same output ($lines lines)"
}

check_brovik() {
  stage "brovik.exe against the Linux brovik"
  if [[ ! -e $win64/decoder/brovik.exe || ! -x $linux_build/decoder/brovik ]]; then
    skip "brovik comparison (brovik is not in the tree yet)"
    return
  fi
  local inputs=$work/brovik-inputs
  rm -rf "$inputs"
  mkdir -p "$inputs"
  # The file handling, where the two C runtimes could part ways: no input, a count of zero,
  # CR LF line ends, no synchronisation, a Ctrl-Z (end of file in the text mode of old Windows
  # runtimes) among the bits.
  printf '0\n' >"$inputs/zero-count.txt"
  printf '5\r\n0101\r\n' >"$inputs/crlf-short.txt"
  compare_brovik no-input ""
  compare_brovik zero-count "$inputs/zero-count.txt"
  compare_brovik crlf-short "$inputs/crlf-short.txt"
  local gen=$linux_build/tools/rds-capture-gen
  if [[ -x $gen ]]; then
    "$gen" --bits 20800 --seed 7 --error-rate 0.002 --offset 5 -o "$inputs/noisy.txt"
    "$gen" --bits 20800 --seed 8 --error-rate 0.0005 --offset 77 --crlf -o "$inputs/crlf.txt"
    { head -c 3000 "$inputs/noisy.txt"; printf '\032'; tail -c +3002 "$inputs/noisy.txt"; } \
      >"$inputs/ctrl-z.txt"
    compare_brovik generated-noisy "$inputs/noisy.txt"
    compare_brovik generated-crlf "$inputs/crlf.txt"
    compare_brovik generated-ctrl-z "$inputs/ctrl-z.txt"
    compare_brovik named-files "$inputs/noisy.txt" rds-in.txt named-report.txt
    compare_brovik to-stdout "$inputs/noisy.txt" rds-in.txt -
    # Receiver mode, the station view and a count-less stream.
    tail -n +2 "$inputs/noisy.txt" >"$inputs/stream.txt"
    compare_brovik receiver "$inputs/noisy.txt" --receiver --max-burst 3 rds-in.txt report.txt
    compare_brovik json-summary "$inputs/noisy.txt" --receiver --json=groups.json \
      --summary=summary.txt rds-in.txt
    compare_brovik stream "$inputs/stream.txt" --stream --receiver rds-in.txt report.txt
  fi
  # The captures the tree carries, and the air of the loop check when it ran.
  local capture
  while IFS= read -r capture; do
    compare_brovik "sample-$(basename "$capture" .txt)" "$capture"
  done < <(find "$repo/samples" -type f -name '*.txt' 2>/dev/null | sort)
  if [[ -s $work/loop/air.txt ]]; then
    compare_brovik loop-air "$work/loop/air.txt"
  fi
}

# Runs the simulator with its pseudo-terminal linked at LINK and one sender against it; the
# sender's output, the simulator's messages and its air land in DIR.
# Usage: run_loop DIR LINK SENDER_COMMAND...; the exit codes go to DIR/sender.rc and DIR/sim.rc
# (125: the simulator made no pseudo-terminal).
run_loop() {
  local dir=$1 link=$2
  shift 2
  rm -rf "$dir"
  mkdir -p "$dir"
  rm -f "$link"
  "$linux_build/simulator/rds-encoder-sim" --link "$link" --out "$dir/air.txt" --hold 2 \
    >"$dir/sim.out" 2>"$dir/sim.err" &
  sim_pid=$!
  local tries=0
  until [[ -L $link ]]; do
    tries=$((tries + 1))
    if ((tries > 100)) || ! kill -0 "$sim_pid" 2>/dev/null; then
      kill "$sim_pid" 2>/dev/null || true
      wait "$sim_pid" 2>/dev/null || true
      sim_pid=
      echo 125 >"$dir/sender.rc"
      echo 125 >"$dir/sim.rc"
      return
    fi
    sleep 0.05
  done
  local rc=0
  timeout 90 "$@" >"$dir/tamsel.out" 2>"$dir/tamsel.err" || rc=$?
  # The simulator ends by itself once the sender let go of the line, after --hold more seconds
  # of air; it writes the air then.
  local sim_rc=0
  timeout 30 tail --pid="$sim_pid" -f /dev/null || kill "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" || sim_rc=$?
  sim_pid=
  echo "$sim_rc" >"$dir/sim.rc"
  echo "$rc" >"$dir/sender.rc"
}

# tamsel.exe under Wine talks to the Linux simulator over a pseudo-terminal: Wine's COM1 is
# mapped (registry, see wine-run) to "$prefix.com1", which the simulator makes a link to its
# pseudo-terminal. Its reply lines must match the Linux tamsel's against the same simulator, and
# the simulator's air must carry the station tamsel sent.
check_tamsel() {
  stage "tamsel.exe against the encoder simulator"
  if [[ ! -e $win64/sender/tamsel.exe || ! -x $linux_build/simulator/rds-encoder-sim ||
    ! -x $linux_build/sender/tamsel ]]; then
    skip "tamsel loop (tamsel or the simulator is not in the tree yet)"
    return
  fi
  local dir=$work/loop t=$SECONDS rc started ended
  # In a zone east of Greenwich with a half-hour offset, so the clock-time group shows whether
  # the zone reached tamsel through the real GetTimeZoneInformation with the right sign.
  started=$(date +%s)
  run_loop "$dir" "$prefix.com1" env TZ=Asia/Kolkata "$wine_run" --prefix "$prefix" \
    "$win64/sender/tamsel.exe"
  ended=$(date +%s)
  rc=$(cat "$dir/sender.rc")
  echo "tamsel.exe ran $((SECONDS - t)) s"
  local lines
  lines=$(crlf_to_lf "$dir/tamsel.out" | grep -c '^R=' || true)
  if [[ $rc -eq 0 && $lines -eq 11 ]]; then
    pass "tamsel.exe under Wine: exit 0, 11 reply lines"
  else
    fail "tamsel.exe under Wine: exit $rc, $lines reply lines (want 0 and 11)"
    cat "$dir/tamsel.err" "$dir/sim.err" 2>/dev/null || true
    return
  fi

  local linux_dir=$work/loop-linux linux_rc
  run_loop "$linux_dir" "$linux_dir.pty" "$linux_build/sender/tamsel" --device "$linux_dir.pty"
  linux_rc=$(cat "$linux_dir/sender.rc")
  if [[ $linux_rc -ne 0 ]]; then
    fail "Linux tamsel against the simulator: exit $linux_rc"
    cat "$linux_dir/tamsel.err" || true
  elif cmp -s "$linux_dir/tamsel.out" <(crlf_to_lf "$dir/tamsel.out"); then
    pass "tamsel.exe prints the same reply lines as the Linux tamsel"
  else
    fail "tamsel.exe's reply lines differ from the Linux tamsel's (< Linux, > Windows):"
    diff <(cat -v "$linux_dir/tamsel.out") <(crlf_to_lf "$dir/tamsel.out" | cat -v) | head -6 || true
  fi

  # What tamsel.exe sent, as the simulator put it on air and the Linux brovik reads it.
  if [[ $(cat "$dir/sim.rc") -ne 0 || ! -s $dir/air.txt ]]; then
    fail "simulator exit $(cat "$dir/sim.rc") after tamsel.exe's run"
    cat "$dir/sim.err" || true
    return
  fi
  local report=$dir/report.txt missing=()
  "$linux_build/decoder/brovik" "$dir/air.txt" "$report" || true
  local want
  for want in "PI=4123" "PS=' RADIO  '" "PS='TAMSEL  '" "RT-A='TEST RADIOTEXT "; do
    grep -qF "$want" "$report" 2>/dev/null || missing+=("$want")
  done
  if [[ ${#missing[@]} -eq 0 ]]; then
    pass "the simulator's air carries tamsel.exe's station (PI 4123, PS, radiotext)"
  else
    fail "the simulator's air lacks: ${missing[*]}"
  fi
  check_clock_time "$report" "$started" "$ended"

  # A port that does not exist: the system's code must come through GetLastError.
  local missing_rc=0
  timeout 60 "$wine_run" --prefix "$prefix" "$win64/sender/tamsel.exe" --device '\\.\COM7' \
    >"$dir/missing-port.out" 2>"$dir/missing-port.err" || missing_rc=$?
  if [[ $missing_rc -eq 3 ]] &&
    grep -qF 'tamsel: cannot open \\.\COM7: no such device (system error 2)' "$dir/missing-port.err"; then
    pass "tamsel.exe on a missing COM7: exit 3, system error 2"
  else
    fail "tamsel.exe on a missing COM7: exit $missing_rc, $(cat "$dir/missing-port.err")"
  fi
}

# The clock-time group tamsel.exe sent (from the real GetSystemTime and GetTimeZoneInformation)
# must carry the UTC minute it ran in, with India's local offset (+05:30, no daylight saving).
# A run that crosses a minute also carries the simulator's own clock time for the new minute,
# with the offset it was given (none): those lines are not tamsel.exe's and are passed over.
# Usage: check_clock_time REPORT FIRST_SECOND LAST_SECOND
check_clock_time() {
  local lines line found=0 day month year hour minute sent
  lines=$(grep -o 'Day=[0-9.]* DayOfWeek=[0-9] Week=[0-9.]* [0-9:]*[+-][0-9:]*' "$1" || true)
  if [[ -z $lines ]]; then
    fail "no clock time in the simulator's air"
    return
  fi
  while IFS= read -r line; do
    [[ $line =~ ^Day=([0-9]{2})\.([0-9]{2})\.([0-9]{4}).*\ ([0-9]{2}):([0-9]{2})\+05:30$ ]] ||
      continue
    day=${BASH_REMATCH[1]} month=${BASH_REMATCH[2]} year=${BASH_REMATCH[3]}
    hour=${BASH_REMATCH[4]} minute=${BASH_REMATCH[5]}
    sent=$(date -u -d "$year-$month-$day $hour:$minute UTC" +%s)
    # The group carries whole minutes: the minute sent starts at most 59 s before the run.
    if ((sent < $2 - 59 || sent > $3)); then
      fail "tamsel.exe's clock time '$line' is not the minute it ran"
      return
    fi
    found=1
  done <<<"$lines"
  if ((found)); then
    pass "tamsel.exe's clock time: $day.$month.$year $hour:$minute+05:30, the minute it ran"
  else
    fail "no clock time with offset +05:30 in the simulator's air: $(echo "$lines" | tr '\n' ';')"
  fi
}

# tamsel.exe's station commands under Wine: `send` on COM1 (the simulator's pseudo-terminal) and
# `run`/`send`/`get` over TCP through the real Winsock, a refusal by name, a refused connection;
# the simulator's air, read by the Linux brovik, must carry what was sent.
check_tamsel_station() {
  stage "tamsel.exe station commands: serial and TCP"
  if [[ ! -e $win64/sender/tamsel.exe || ! -x $linux_build/simulator/rds-encoder-sim ||
    ! -x $linux_build/decoder/brovik ]]; then
    skip "tamsel station commands (tamsel, the simulator or brovik is not built)"
    return
  fi
  local exe=$win64/sender/tamsel.exe dir=$work/station rc summary
  run_loop "$dir/serial" "$prefix.com1" "$wine_run" --prefix "$prefix" "$exe" send \
    --pi 0x4123 --ps WINESER --pty 10 --rt "Serial from tamsel.exe"
  rc=$(cat "$dir/serial/sender.rc")
  summary=$("$linux_build/decoder/brovik" --summary "$dir/serial/air.txt" 2>&1 || true)
  if [[ $rc -eq 0 ]] && crlf_to_lf "$dir/serial/tamsel.out" | grep -q "^ACK (SQC 1: PI '0x4123'" &&
    grep -qF '"WINESER "' <<<"$summary" && grep -qF '"Serial from tamsel.exe"' <<<"$summary"; then
    pass "tamsel.exe send on COM1: ACK, PS and radiotext on air"
  else
    fail "tamsel.exe send on COM1: exit $rc"
    cat "$dir/serial/tamsel.out" "$dir/serial/tamsel.err" "$dir/serial/sim.err" 2>/dev/null || true
  fi

  mkdir -p "$dir/tcp"
  "$linux_build/simulator/rds-encoder-sim" --tcp 0 --keep-running --seconds 40 \
    --out "$dir/tcp/air.txt" >"$dir/tcp/sim.out" 2>"$dir/tcp/sim.err" &
  sim_pid=$!
  local where="" tries=0
  until [[ -n $where ]] || ((tries > 100)); do
    sleep 0.05
    tries=$((tries + 1))
    where=$(head -n 1 "$dir/tcp/sim.out" 2>/dev/null || true)
  done
  printf '%s\n' "# set-up" "--pi 0x4123 --ps WINETCP --af 88.1,107.5" "wait 0.2" \
    "send --rt 'Over Winsock' --ta on --tp on" >"$dir/tcp/station.txt"
  rc=0
  timeout 60 "$wine_run" --prefix "$prefix" "$exe" run --tcp "$where" 'Z:'"$dir/tcp/station.txt" \
    >"$dir/tcp/run.out" 2>"$dir/tcp/run.err" || rc=$?
  if [[ $rc -eq 0 && $(crlf_to_lf "$dir/tcp/run.out" | grep -c '^ACK') -eq 2 ]]; then
    pass "tamsel.exe run over TCP (Winsock): 2 frames acknowledged"
  else
    fail "tamsel.exe run over TCP: exit $rc"
    cat "$dir/tcp/run.out" "$dir/tcp/run.err" || true
  fi
  rc=0
  timeout 60 "$wine_run" --prefix "$prefix" "$exe" send --tcp "$where" --group 3F0012345678 \
    >"$dir/tcp/nack.out" 2>"$dir/tcp/nack.err" || rc=$?
  if [[ $rc -eq 7 ]] && crlf_to_lf "$dir/tcp/nack.out" | grep -q '^NACK 6 parameter out of range'; then
    pass "tamsel.exe over TCP: an out-of-range group is refused by name, exit 7"
  else
    fail "tamsel.exe refusal over TCP: exit $rc, $(cat "$dir/tcp/nack.out")"
  fi
  rc=0
  timeout 60 "$wine_run" --prefix "$prefix" "$exe" get --tcp "$where" ps rt \
    >"$dir/tcp/get.out" 2>"$dir/tcp/get.err" || rc=$?
  if [[ $rc -eq 0 ]] && crlf_to_lf "$dir/tcp/get.out" | grep -qx 'PS: "WINETCP "' &&
    crlf_to_lf "$dir/tcp/get.out" | grep -q '^RT: "Over Winsock"'; then
    pass "tamsel.exe get over TCP reads back the PS and radiotext"
  else
    fail "tamsel.exe get over TCP: exit $rc, $(cat "$dir/tcp/get.out" "$dir/tcp/get.err")"
  fi
  # A few seconds of air, so that the radiotext's segments all go out, then the simulator ends.
  sleep 4
  kill -TERM "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" || true
  sim_pid=
  summary=$("$linux_build/decoder/brovik" --summary "$dir/tcp/air.txt" 2>&1 || true)
  if grep -qF '"WINETCP "' <<<"$summary" && grep -qF '"Over Winsock"' <<<"$summary" &&
    grep -qF 'TP on, TA on' <<<"$summary" && grep -qF '88.1 107.5 MHz' <<<"$summary"; then
    pass "the simulator's air carries tamsel.exe's TCP station (PS, RT, TP/TA, AF)"
  else
    fail "the simulator's air lacks tamsel.exe's TCP station: $summary"
  fi

  # Nobody listens on port 1: Winsock's refusal must come through with its code.
  rc=0
  timeout 60 "$wine_run" --prefix "$prefix" "$exe" send --tcp 127.0.0.1:1 --ps X \
    >"$dir/refused.out" 2>"$dir/refused.err" || rc=$?
  if [[ $rc -eq 3 ]] && grep -q 'cannot connect to tcp 127.0.0.1:1: .*Winsock error 10061' \
    "$dir/refused.err"; then
    pass "tamsel.exe on a closed TCP port: exit 3, Winsock error 10061"
  else
    fail "tamsel.exe on a closed TCP port: exit $rc, $(cat "$dir/refused.err")"
  fi
}

check_tamsel
check_tamsel_station
check_brovik
