#!/usr/bin/env bash
# originality-cli waiting out blocks (--on-block wait) against search-sim.
# With --block-after the simulator never serves again: each blocked page is
# asked three times after pauses shown as a countdown, then its segment stays
# unverified and the engine goes on; nobody is asked. With --rate-limit the
# block ends and the paused engine is served again.
#   auto_wait.sh BIN_DIR SOURCE_DIR
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"

# Three segments (38, 38 and 24 characters).
printf '%s' '搬到这座城市的第七年我终于学会了放慢脚步刚来的时候我总觉得时间不够用每天在地铁里挤来挤去午饭对着电脑屏幕草草解决连周末也被各种计划塞得满满当当直到去年秋天生了一场病在家里躺了整整三个星期才发现' >"$work/article.txt"

start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0 \
  --block-after 1 --block-kind captcha-page
status=0
"$bin_dir/originality-cli" --engine baidu --baidu-url "$SIM_URL" --settings "$work/defaults.ini" \
  --on-block wait --block-wait-ms 300 --json "$work/article.txt" \
  >"$work/result.json" 2>"$work/cli.err" </dev/null || status=$?
stop_sim TERM
[[ $status == 4 ]] || { cat "$work/cli.err" >&2; fail "blocked for good: exit $status, expected 4"; }
grep -q -E '百度提示|360搜索提示' "$work/cli.err" && fail "a prompt was shown while waiting"
# Two pauses for each of the two blocked segments: 0.3, 0.6, 1.2 and 2.4 s.
pauses=$(grep -c '百度已暂停，00:0[1-3] 后继续' "$work/cli.err" || true)
[[ $pauses == 4 ]] || { cat "$work/cli.err" >&2; fail "$pauses pauses counted down, expected 4"; }
queries=$(grep -c '^search-sim: #' "$work/sim.err")
# 1 served, then the second and third segments three tries each.
[[ $queries == 7 ]] || fail "blocked for good: $queries queries, expected 7"
grep -q '"coverage": "已核实 1/3"' "$work/result.json" || fail "expected 已核实 1/3"
echo "auto wait: pauses counted down, three tries a page, no prompt"
