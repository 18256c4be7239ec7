# What the end-to-end scripts share (sourced).
#   e2e_begin BIN_DIR SOURCE_DIR                          sets bin_dir, source_dir, work
#   fail MESSAGE                                          reports and exits 1
#   start_sim BIN_DIR LOG_PREFIX [search-sim options...]  sets SIM_PID, SIM_URL
#   stop_sim [SIGNAL]                                     sets SIM_STATUS
#   http_get URL_PATH                                     prints the raw answer

# A work folder removed at exit, together with a simulator still running.
e2e_begin() {
  bin_dir=$1
  source_dir=$2
  work=$(mktemp -d)
  # A results store of the test's own, never the user's.
  export OC_STORE_FILE="$work/checks.db"
  SIM_PID=
  trap 'if [[ -n $SIM_PID ]]; then kill "$SIM_PID" 2>/dev/null || true; fi; rm -rf "$work"' EXIT
}

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

start_sim() {
  local bin_dir=$1 prefix=$2
  shift 2
  # The address of a simulator stopped before must not be read for this one's:
  # the new one truncates the file only once it runs.
  rm -f "$prefix.out" "$prefix.err"
  "$bin_dir/search-sim" "$@" >"$prefix.out" 2>"$prefix.err" &
  SIM_PID=$!
  SIM_PREFIX=$prefix
  for _ in $(seq 1 200); do
    if grep -q '^listening on ' "$prefix.out" 2>/dev/null; then
      SIM_URL=$(sed -n 's/^listening on //p' "$prefix.out" | head -1)
      return 0
    fi
    if ! kill -0 "$SIM_PID" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  echo "search-sim did not start:" >&2
  cat "$prefix.err" >&2
  return 1
}

stop_sim() {
  local signal=${1:-TERM}
  kill "-$signal" "$SIM_PID"
  SIM_STATUS=0
  wait "$SIM_PID" || SIM_STATUS=$?
}

http_get() {
  local hostport=${SIM_URL#http://}
  exec 3<>"/dev/tcp/${hostport%:*}/${hostport##*:}"
  printf 'GET %s HTTP/1.0\r\nHost: %s\r\n\r\n' "$1" "$hostport" >&3
  cat <&3
  exec 3>&-
}
