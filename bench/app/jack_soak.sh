#!/usr/bin/env bash
# Soak of the sound under JACK: the whole program on a private JACK server
# (dummy backend, 44100 Hz) at each period size, all five instruments playing
# with every stage of their voice chains switched on, while a parallel build
# loads both cores and a trivial client (jack_metro) runs in the same graph as
# a reference. For each period it reports:
#   - the late blocks that zem counted (the last line of its console),
#   - the cycles that jackd says a client did not finish, for zem and for
#     jack_metro (the machine's own misses hit both),
#   - the histogram of zem's callback durations as a share of the period
#     (median, p99, max), which tells zem's own time from the machine's.
#
# Usage: bench/app/jack_soak.sh [RUNTIME_FOLDER] [SECONDS] [PERIOD...]
#   RUNTIME_FOLDER  the build's runtime folder (default build/release/runtime)
#   SECONDS         how long to play at each period (default 600)
#   PERIOD          frames per JACK cycle (default: 128 256)
# SOAK_LOAD=COMMAND replaces the default load, a loop that builds this source
# tree with -j2 in a scratch folder; SOAK_LOAD=none runs without load.
# It starts its own Xvfb and JACK servers under private names and ends them.
set -euo pipefail
runtime=$(realpath "${1:-build/release/runtime}")
seconds=${2:-600}
shift $(($# > 2 ? 2 : $#))
periods=("$@")
[ ${#periods[@]} -gt 0 ] || periods=(128 256)
source_dir=$(realpath "$(dirname "$0")/../..")
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -- "-$pid" 2>/dev/null || kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
for name in zem OPENGL.ZPK textures Test.ttf RC; do ln -s "$runtime/$name" "$work/$name"; done

start_load() {
  if [ "${SOAK_LOAD:-}" = none ]; then return; fi
  local command=${SOAK_LOAD:-}
  if [ -z "$command" ]; then
    cmake -S "$source_dir" -B "$work/load-build" -DCMAKE_BUILD_TYPE=Release > /dev/null
    command="while :; do cmake --build '$work/load-build' -j2 --clean-first > /dev/null 2>&1; done"
  fi
  setsid bash -c "$command" > /dev/null 2>&1 &
  load_pid=$!
  pids+=("$load_pid")
}
stop_load() {
  if [ -n "${load_pid:-}" ]; then kill -- "-$load_pid" 2>/dev/null || true; fi
  load_pid=
}

# Plays zem for the soak's length on the server named $1; the display is
# xvfb-run's. Writes console.txt and timing.txt into $2.
cat > "$work/play.sh" <<'INNER'
set -euo pipefail
server=$1 out=$2 seconds=$3
cd "$(dirname "$out")"
export JACK_DEFAULT_SERVER=$server ZEM_AUDIO_TIMING=$out/timing.txt
# The menus are answered through a pipe that stays open while zem plays.
mkfifo "$out/keys"
./zem < "$out/keys" > "$out/console.txt" &
zem=$!
exec 3> "$out/keys"
printf 31 >&3
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$zem" | head -1)
sleep 2
dump() {
  local from; from=$(wc -l < "$out/console.txt")
  xdotool key --window "$window" F2 2> /dev/null
  for _ in $(seq 100); do
    [ "$(tail -n +"$((from + 1))" "$out/console.txt" | grep -c '^END$')" -ge 5 ] && break
    sleep 0.1
  done
  tail -n +"$((from + 1))" "$out/console.txt"
}
# Every switch of the voice chains that is off, on all five panels, is
# clicked on: instrument n's panel starts 125 pixels below instrument n-1's.
switches='BUTTON_TOGGLE_(POWER|FILTER|ENVELOPPE|DISTORT|NOISE|LFO_ENVELOPPE|LFO_FILTER)_INSTRUMENT'
dump | grep -E "^\"$switches" | grep CHK_2_OFF |
  sed -E 's/^"[A-Z_]*_INSTRUMENT_([0-9])" "[^"]*" "[^"]*" +(-?[0-9]+) +(-?[0-9]+) .*/\1 \2 \3/' |
  while read -r n x y; do
    xdotool mousemove --window "$window" "$x" "$((y + 125 * n))" click 1 2> /dev/null
  done
xdotool mousemove --window "$window" 799 624 2> /dev/null
still_off=$(dump | grep -E "^\"$switches" | grep -c CHK_2_OFF || true)
echo "switches still off after the clicks: $still_off" > "$out/setup.txt"
jack_lsp -c > "$out/ports.txt" 2>&1 || true
sleep "$seconds"
xdotool key --window "$window" Escape 2> /dev/null
wait "$zem" || true
exec 3>&-
INNER

for period in "${periods[@]}"; do
  server="zem-soak-$$-$period"
  out="$work/run-$period"
  mkdir -p "$out"
  jackd -n "$server" -d dummy -r 44100 -p "$period" > "$out/jackd.log" 2>&1 &
  jackd_pid=$!
  pids+=("$jackd_pid")
  for _ in $(seq 100); do
    jack_lsp -s "$server" 2> /dev/null | grep -q system:playback_1 && break
    sleep 0.1
  done
  JACK_DEFAULT_SERVER=$server jack_metro -b 120 > /dev/null 2>&1 &
  metro_pid=$!
  pids+=("$metro_pid")
  start_load
  xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$work/play.sh" "$server" "$out" "$seconds" || echo "the run failed"
  stop_load
  kill "$metro_pid" 2>/dev/null || true
  kill "$jackd_pid" 2>/dev/null || true
  wait "$jackd_pid" 2>/dev/null || true

  not_finished() { grep -c "client = $1 was not finished" "$out/jackd.log" || true; }
  echo "== period $period frames ($(awk -v p="$period" 'BEGIN{printf "%.2f", p/44.1}') ms), $seconds s, load: ${SOAK_LOAD:-parallel build}"
  cat "$out/setup.txt" 2>/dev/null || true
  echo "zem clients in the graph: $(grep -oE '^[A-Za-z0-9_-]+:out_[01]' "$out/ports.txt" | cut -d: -f1 | sort -u | tr '\n' ' ')"
  grep -E '^(Late audio blocks|Step events dropped|Memory not locked)' "$out/console.txt" || true
  echo "cycles not finished by zem: $(not_finished zem), by PortAudio: $(not_finished PortAudio), by jack_metro: $(not_finished metro)"
  echo "driver overruns (JackTimedDriver XRun): $(grep -c 'JackTimedDriver::Process XRun' "$out/jackd.log" || true)"
  # The state says whether the client had begun its cycle (Running) or was
  # still waiting to be woken (Triggered): the latter is the machine's time.
  grep 'was not finished' "$out/jackd.log" | sed 's/.*client = /  not finished: /' | sort | uniq -c || true
  if [ -f "$out/timing.txt" ]; then
    grep -v " bin " "$out/timing.txt"
  else
    echo "no callback timing (the program did not end in order)"
  fi
done
