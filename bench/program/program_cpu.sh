#!/usr/bin/env bash
# CPU use of the whole running program over a stretch of time, with the five
# instruments playing (the "NoSound" output, paced like a sound card) and no
# input: the main loop, the redraws after the pass-end events, and the audio.
#
# Usage: bench/program/program_cpu.sh [RUNTIME_FOLDER] [SECONDS]
#   RUNTIME_FOLDER  the build's runtime folder (default build/release/runtime)
#   SECONDS         how long to measure (default 30)
# It starts its own Xvfb; the program runs in a scratch folder that borrows
# the installation.
set -euo pipefail
runtime=$(realpath "${1:-build/release/runtime}")
seconds=${2:-30}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
for name in zem OPENGL.ZPK textures Test.ttf RC; do ln -s "$runtime/$name" "$folder/$name"; done

cat > "$folder/measure.sh" <<'INNER'
set -euo pipefail
cd "$1"
seconds=$2
{ printf 41; sleep $((seconds + 60)); } | ./zem > console.txt &
sleep 0.2
pid=$(pgrep -n -x zem)
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
# Start-up is over once the window shows; give the audio a moment to settle.
sleep 2
ticks() { awk '{print $14 + $15}' "/proc/$pid/stat"; }
before=$(ticks)
sleep "$seconds"
after=$(ticks)
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "CPU use of zem over %d s, five instruments playing, no input: %.1f%% of one core\n", s, 100 * t / hz / s }'
xdotool key --window "$window" Escape
wait
INNER
xvfb-run -a -s "-screen 0 1024x768x24" bash "$folder/measure.sh" "$folder" "$seconds"
