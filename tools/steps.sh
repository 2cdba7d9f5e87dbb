# One line per step, the details in a log file: sourced by tools/start and
# tools/install-deps. A step's command writes into the log named by step_log
# instead of the terminal; when it fails, the step says so with the log's
# path and its last lines, and the script stops.
#
#   step_log=$root/build/logs/start.log
#   step_begin_log
#   step "Configuring build/release" cmake -S . -B build/release

# Starts the log afresh, so that it holds this run only.
step_begin_log() {
  mkdir -p "$(dirname "$step_log")"
  : >"$step_log"
}

step() {
  local what=$1
  shift
  echo "$what"
  if ! "$@" >>"$step_log" 2>&1 </dev/null; then
    echo "$what: failed. The full log is $step_log; it ends with:" >&2
    tail -n 10 "$step_log" | sed 's/^/  /' >&2
    exit 1
  fi
}
