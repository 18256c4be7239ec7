#!/usr/bin/env bash
# scripts/demo.sh, the offline demo, runs to its end with the built programs:
# it says it is not the web, prints both engines' percentages and sources, writes
# the report it is asked for, and stops the simulator.
#   demo_script.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin_dir=$1
source_dir=$2
out=$(mktemp)
trap 'rm -f "$out"' EXIT
fail() { echo "FAIL: $*" >&2; cat "$out" >&2; exit 1; }

status=0
report=$(mktemp -d)
trap 'rm -f "$out"; rm -rf "$report"' EXIT
OC_BUILD_DIR=$(dirname "$bin_dir") "$source_dir/scripts/demo.sh" --report "$report/r.html" \
  >"$out" 2>&1 || status=$?
[[ $status == 0 ]] || fail "demo exited with $status"
grep -q '<td>corpus.local</td><td>15</td>' "$report/r.html" || fail "the report lacks the summary"
grep -q 'OFFLINE DEMO' "$out" || fail "no banner"
grep -q 'NOT the web' "$out" || fail "the demo does not say it is not the web"
[[ $(grep -c '原创度: 76\.56%' "$out") -ge 2 ]] || fail "expected the sample article's 76.56% for both engines"
# 经典 against the engine-like highlights: nothing found, 100% for both.
[[ $(grep -c '^经典  .*原创度: 100% (已核实 43/43)' "$out") == 2 ]] || fail "the 经典 run"
grep -q 'search-sim answered 192 queries' "$out" || fail "unexpected number of queries"
# The sources: the 来源 column names the corpus file's title, and each engine's
# summary counts the fifteen copied pieces for the simulator's one site.
grep -q '命中  菜市场的早晨' "$out" || fail "no source in the table"
[[ $(grep -c '^  corpus.local  15段$' "$out") -ge 2 ]] || fail "no 来源网站 summary for both engines"
# The blocked run: six pieces verified, the value over those, the rest
# unverified; too few verified for a verdict.
grep -q '360原创度: 100% (已核实 6/64)' "$out" || fail "the blocked run's value and coverage"
grep -q '核实不足（58段未核实）' "$out" || fail "the blocked run's verdict"
grep -q 'exit status 4' "$out" || fail "the blocked run's exit status"
echo "offline demo: ok"
