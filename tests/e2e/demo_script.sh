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
grep -q '<td>corpus.local</td><td>9</td>' "$report/r.html" || fail "the report lacks the summary"
grep -q 'OFFLINE DEMO' "$out" || fail "no banner"
grep -q 'NOT the web' "$out" || fail "the demo does not say it is not the web"
[[ $(grep -c '79\.07%' "$out") -ge 2 ]] || fail "expected the sample article's 79.07% for both engines"
grep -q 'search-sim answered 129 queries' "$out" || fail "unexpected number of queries"
# The sources: the 来源 column names the corpus file's title, and each engine's
# summary counts the nine copied segments for the simulator's one site.
grep -q '命中  菜市场的早晨' "$out" || fail "no source in the table"
[[ $(grep -c '^  corpus.local  9段$' "$out") -ge 2 ]] || fail "no 来源网站 summary for both engines"
# The blocked run: six segments verified, the value over those, the rest unverified.
grep -q '360原创度: 83.33% (已核实 6/43)' "$out" || fail "the blocked run's value and coverage"
grep -q '（37段未核实）' "$out" || fail "the blocked run's verdict does not name the unverified"
grep -q 'exit status 4' "$out" || fail "the blocked run's exit status"
echo "offline demo: ok"
