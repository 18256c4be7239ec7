#!/usr/bin/env bash
# originality-cli against a blocked search-sim: with --on-empty-page cancel a
# pass ends as cancelled at the first blocked answer (exit status 1, no
# percentage); with continue it goes on to its normal end.
#   blocked_search.sh BIN_DIR SOURCE_DIR
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"

# check ENGINE ON_EMPTY_PAGE search-sim options... : runs one check, sets status and json.
check() {
  local engine=$1 answer=$2
  shift 2
  start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0 "$@"
  status=0
  "$bin_dir/originality-cli" --engine "$engine" --baidu-url "$SIM_URL" --360-url "$SIM_URL" \
    --settings "$work/defaults.ini" --on-empty-page "$answer" --json --quiet \
    "$source_dir/data/sample-article.txt" >"$work/result.json" 2>"$work/cli.err" || status=$?
  stop_sim TERM
  json=$(cat "$work/result.json")
}
count() { grep -c -- "$1" <<<"$json" || true; }

# 360: segment 1 takes the two answered pages; page 1 of segment 2 is empty.
check 360 cancel --block-after 2 --block-kind empty
[[ $status == 1 ]] || fail "360 cancelled: exit $status, expected 1"
grep -q '"end": "cancelled"' <<<"$json" || fail "360 pass did not end as cancelled"
grep -q '"originality": ""' <<<"$json" || fail "360 cancelled pass shows a percentage"
[[ $(count '"number"') == 2 ]] || fail "360 cancelled: expected 2 rows"
[[ $(count '"hits": ""') == 1 ]] || fail "360 cancelled: the blocked row should have no hit count"
grep -q '360可能暂时屏蔽本机搜索' "$work/cli.err" || fail "no blocked-search prompt on stderr"

# Baidu: segments 1 and 2 answered, the third answer is not UTF-8.
check baidu cancel --block-after 2 --block-kind invalid-utf8
[[ $status == 1 ]] || fail "Baidu cancelled: exit $status, expected 1"
grep -q '"end": "cancelled"' <<<"$json" || fail "Baidu pass did not end as cancelled"
grep -q '"originality": ""' <<<"$json" || fail "Baidu cancelled pass shows a percentage"
[[ $(count '"number"') == 3 ]] || fail "Baidu cancelled: expected 3 rows"

# Both engines, every answer empty, the prompt answered OK: both passes end normally.
check both continue --block-after 0 --block-kind empty
[[ $status == 0 ]] || fail "continue: exit $status, expected 0"
[[ $(count '"end": "normal"') == 2 ]] || fail "continue: both passes should end normally"
echo "blocked search-sim: cancel and continue as expected"
