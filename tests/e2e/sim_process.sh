# Starting and stopping search-sim from the end-to-end scripts (sourced).
#   start_sim BIN_DIR LOG_PREFIX [search-sim options...]  sets SIM_PID, SIM_URL
#   stop_sim [SIGNAL]                                     sets SIM_STATUS
#   http_get URL_PATH                                     prints the raw answer

start_sim() {
  local bin_dir=$1 prefix=$2
  shift 2
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
