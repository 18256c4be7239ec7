#!/usr/bin/env bash
# originality-cli against a blocked search-sim. With --on-empty-page cancel a
# pass ends as cancelled at the first blocked answer (exit status 1, no
# percentage, "已取消 a/b"); with continue it goes on, the blocked segments stay
# unverified (exit status 4) and the value counts the verified ones only; with
# fewer than half verified there is no verdict ("核实不足").
#   blocked_search.sh BIN_DIR SOURCE_DIR
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"

# 检测方式 经典 against the simulator's earlier highlighting (one highlight per
# shared run), the fixed segments these figures were written for.
printf '[原创检测配置]\r\n检测方式=经典\r\n' | iconv -f UTF-8 -t GBK >"$work/classic.ini"

# check ENGINE ON_EMPTY_PAGE search-sim options... : runs one check, sets status and json.
check() {
  local engine=$1 answer=$2
  shift 2
  start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0 --highlight runs "$@"
  status=0
  "$bin_dir/originality-cli" --engine "$engine" --baidu-url "$SIM_URL" --360-url "$SIM_URL" \
    --settings "$work/classic.ini" --on-empty-page "$answer" --json --quiet \
    "$source_dir/data/sample-article.txt" >"$work/result.json" 2>"$work/cli.err" || status=$?
  stop_sim TERM
  json=$(cat "$work/result.json")
}
count() { grep -c -- "$1" <<<"$json" || true; }
has() { grep -q -- "$1" <<<"$json" || fail "$2: no $1 in the result"; }

# 360: segment 1 takes the two answered pages; page 1 of segment 2 is empty.
check 360 cancel --block-after 2 --block-kind empty
[[ $status == 1 ]] || fail "360 cancelled: exit $status, expected 1"
has '"end": "cancelled"' "360 cancelled"
has '"originality": ""' "360 cancelled"
has '"coverage": "已取消 1/43"' "360 cancelled"
[[ $(count '"reason": "已取消"') == 41 ]] || fail "360 cancelled: 41 rows should read 已取消"
has '"reason": "空白页面"' "360 cancelled: the row that prompted keeps its reason"
grep -q '360可能暂时屏蔽本机搜索' "$work/cli.err" || fail "no blocked-search prompt on stderr"

# Baidu: segments 1 and 2 answered, the third answer is not UTF-8.
check baidu cancel --block-after 2 --block-kind invalid-utf8
[[ $status == 1 ]] || fail "Baidu cancelled: exit $status, expected 1"
has '"end": "cancelled"' "Baidu cancelled"
has '"originality": ""' "Baidu cancelled"
has '"coverage": "已取消 2/43"' "Baidu cancelled"

# Both engines, every answer empty, the prompt answered OK: both passes end
# normally, nothing is verified, no value is claimed.
check both continue --block-after 0 --block-kind empty
[[ $status == 4 ]] || fail "continue: exit $status, expected 4"
[[ $(count '"end": "normal"') == 2 ]] || fail "continue: both passes should end normally"
[[ $(count '"originality": ""') == 2 ]] || fail "continue: a value over no verified segment"
[[ $(count '"coverage": "已核实 0/43"') == 2 ]] || fail "continue: the coverage"
has '"verdict": "核实不足（43段未核实）"' "continue: 360's verdict"

# Each way a real engine blocks, after the first six segments: the value is
# computed over those (five original, one copied) and the rest is unverified.
for kind in captcha captcha-redirect captcha-page status-429; do
  check 360 continue --block-after 12 --block-kind "$kind"
  [[ $status == 4 ]] || fail "360 $kind: exit $status, expected 4"
  has '"originality": "83.33%"' "360 $kind"
  has '"coverage": "已核实 6/43"' "360 $kind"
  has '"verdict": "核实不足（37段未核实）"' "360 $kind"
  [[ $(count '"reason": "屏蔽/验证码"') == 37 ]] || fail "360 $kind: 37 rows should read 屏蔽/验证码"
  check baidu continue --block-after 6 --block-kind "$kind"
  [[ $status == 4 ]] || fail "Baidu $kind: exit $status, expected 4"
  has '"originality": "83.33%"' "Baidu $kind"
  has '"coverage": "已核实 6/43"' "Baidu $kind"
  [[ $(count '"reason": "屏蔽/验证码"') == 37 ]] || fail "Baidu $kind: 37 rows should read 屏蔽/验证码"
done
echo "blocked search-sim: cancel, continue and every block kind as expected"
