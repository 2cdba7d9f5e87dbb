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
# The pipeline's last process: this zem, not the newest one on the machine.
pid=$!
window=$(timeout 60 xdotool search --sync --onlyvisible --pid "$pid" | head -1)
# Start-up is over once the window shows; give the audio a moment to settle.
sleep 2
# Ticks of user and system time: the whole process, and its main thread
# (input, panels, drawing) apart from the audio and the libraries' threads.
ticks() { awk '{print $14 + $15}' "$1"; }
before=$(ticks "/proc/$pid/stat")
main_before=$(ticks "/proc/$pid/task/$pid/stat")
sleep "$seconds"
after=$(ticks "/proc/$pid/stat")
main_after=$(ticks "/proc/$pid/task/$pid/stat")
hz=$(getconf CLK_TCK)
awk -v t=$((after - before)) -v m=$((main_after - main_before)) -v hz="$hz" -v s="$seconds" \
  'BEGIN { printf "CPU use of zem over %d s, five instruments playing, no input: %.1f%% of one core (main thread %.1f%%, other threads %.1f%%)\n", s, 100 * t / hz / s, 100 * m / hz / s, 100 * (t - m) / hz / s }'
xdotool key --window "$window" Escape
wait
INNER
xvfb-run -a -s "-screen 0 1024x768x24 -noreset" bash "$folder/measure.sh" "$folder" "$seconds"
