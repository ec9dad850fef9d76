# Sourced by the scripts that start simulators and servers, so that each
# ends what it started, by process id, however the script ends.
#
# end_processes PID...: SIGTERM to each, then SIGKILL to any still running
# after two seconds (ser2net, busy re-reading its configuration after a
# SIGHUP, has been seen to miss a SIGTERM), and reaps them. Never fails.
end_processes() {
  local pid tries
  for pid in "$@"; do kill "$pid" 2>/dev/null || true; done
  for pid in "$@"; do
    for ((tries = 0; tries < 40; tries++)); do
      running "$pid" || break
      sleep 0.05
    done
    running "$pid" && kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null || true
  done
}

# running PID: the process exists and has not ended (a child that ended
# stays a zombie until it is reaped, and kill -0 still reaches it).
running() {
  local stat
  stat=$(cat "/proc/$1/stat" 2>/dev/null) || return 1
  [[ ${stat##*) } != Z* ]]
}

# A signal ends the script through its EXIT trap, which ends the processes.
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP
