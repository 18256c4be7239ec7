#!/usr/bin/env bash
# search-sim as a process: options, the address line, the query log, a blocked
# answer, and a clean stop on SIGTERM and SIGINT.
#   search_sim_process.sh BIN_DIR SOURCE_DIR
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"

# Bad usage and a missing corpus.
status=0; "$bin_dir/search-sim" >/dev/null 2>&1 || status=$?
[[ $status == 2 ]] || fail "no --corpus: exit $status, expected 2"
status=0; "$bin_dir/search-sim" --corpus "$source_dir/data/corpus" --block-kind odd >/dev/null 2>&1 || status=$?
[[ $status == 2 ]] || fail "bad --block-kind: exit $status, expected 2"
status=0; "$bin_dir/search-sim" --corpus "$work/missing" >/dev/null 2>&1 || status=$?
[[ $status == 1 ]] || fail "missing corpus: exit $status, expected 1"

# One answered query, then captcha pages.
start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0 --block-after 1 --block-kind captcha
[[ $SIM_URL =~ ^http://127\.0\.0\.1:[0-9]+$ ]] || fail "address line: $SIM_URL"
# 跑堂的伙计提着长嘴铜壶 in UTF-8 (360 form) and in GBK (Baidu form).
first=$(http_get "/s?q=%E8%B7%91%E5%A0%82%E7%9A%84%E4%BC%99%E8%AE%A1%E6%8F%90%E7%9D%80%E9%95%BF%E5%98%B4%E9%93%9C%E5%A3%B6&pn=1")
grep -q '<em>跑堂的伙计提着长嘴铜壶</em>' <<<"$first" || fail "first answer lacks the highlighted run"
second=$(http_get "/s?wd=%C5%DC%CC%C3%B5%C4%BB%EF%BC%C6%CC%E1%D7%C5%B3%A4%D7%EC%CD%AD%BA%F8&rn=20&lm=0")
grep -q '验证码' <<<"$second" || fail "second answer is not the captcha page"
! grep -q '<em>' <<<"$second" || fail "captcha page has em tags"
missing=$(http_get "/index.html")
grep -q '^HTTP/1.[01] 404' <<<"$missing" || fail "unknown path is not 404"
stop_sim TERM
[[ $SIM_STATUS == 0 ]] || fail "SIGTERM: exit $SIM_STATUS"
[[ $(grep -c '^search-sim: #' "$work/sim.err") == 2 ]] || fail "expected two query log lines"
grep -q 'blocked (captcha page)' "$work/sim.err" || fail "blocked query not logged"
grep -q 'stopped' "$work/sim.err" || fail "no stop line"

# A fixed port, and SIGINT.
start_sim "$bin_dir" "$work/sim2" --corpus "$source_dir/data/corpus" --port 0 --latency-ms 5
port=${SIM_URL##*:}
stop_sim INT
[[ $SIM_STATUS == 0 ]] || fail "SIGINT: exit $SIM_STATUS"
start_sim "$bin_dir" "$work/sim3" --corpus "$source_dir/data/corpus" --port "$port"
[[ $SIM_URL == "http://127.0.0.1:$port" ]] || fail "fixed port not used: $SIM_URL"
stop_sim TERM
[[ $SIM_STATUS == 0 ]] || fail "second SIGTERM: exit $SIM_STATUS"
echo "search-sim process: ok"
