# Sourced: starts the local server and points TesmoChat at it.
#
#   start_localserver PROGRAM STATE_DIR LOG [SERVER ARGUMENTS...]
#
# Sets server_pid, exports TESMO_SERVER and TESMO_CA_FILE once the server says
# "ready"; on failure prints its log and exits. stop_localserver stops it, and only
# it: a server that ended by itself leaves its process id free for others, so the
# id alone does not name it.

# The start time of a process (clock ticks after boot); empty when there is none.
process_start_time() {
  local stat
  stat="$(cat "/proc/$1/stat" 2> /dev/null)" || return 0
  # The name in parentheses may hold spaces: the fields after it are counted.
  stat="${stat##*) }"
  # shellcheck disable=SC2086
  set -- $stat
  echo "${20:-}"
}

start_localserver() {
  "$1" --state "$2" "${@:4}" < /dev/null > "$3" 2>&1 &
  server_pid=$!
  server_start_time="$(process_start_time "$server_pid")"
  for _ in $(seq 1 300); do
    grep -q '^ready$' "$3" && break
    if ! kill -0 "$server_pid" 2> /dev/null; then
      cat "$3" >&2
      echo "the local server did not start" >&2
      server_pid=""
      exit 1
    fi
    sleep 0.1
  done
  if ! grep -q '^ready$' "$3"; then
    cat "$3" >&2
    echo "the local server did not get ready" >&2
    stop_localserver
    exit 1
  fi
  TESMO_SERVER="$(sed -n 's/^TESMO_SERVER=//p' "$3")"
  TESMO_CA_FILE="$(sed -n 's/^TESMO_CA_FILE=//p' "$3")"
  export TESMO_SERVER TESMO_CA_FILE
}

# Stops the server started above when that very process still runs.
stop_localserver() {
  local pid="${server_pid:-}"
  server_pid=""
  [ -n "$pid" ] && [ -n "${server_start_time:-}" ] || return 0
  if [ "$(process_start_time "$pid")" = "$server_start_time" ]; then
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
  fi
}
