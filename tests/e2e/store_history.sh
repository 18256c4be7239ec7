#!/usr/bin/env bash
# The results store end to end: a check of the sample article against
# search-sim is kept and `history show` prints it exactly as the run did (JSON
# and tables); a check killed with SIGTERM mid-way keeps its finished rows and
# is listed as interrupted; delete removes a check.
#   store_history.sh BIN_DIR SOURCE_DIR
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"
cli="$bin_dir/originality-cli"
article="$source_dir/data/sample-article.txt"

start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0
check() {
  "$cli" --baidu-url "$SIM_URL" --360-url "$SIM_URL" --settings "$work/defaults.ini" \
    --on-empty-page cancel --quiet "$@"
}
check --json "$article" >"$work/run.json" || fail "the JSON check failed"
check "$article" >"$work/run.txt" || fail "the table check failed"

"$cli" history --json >"$work/list.json"
[[ $(grep -c '"state": "finished"' "$work/list.json") == 2 ]] || fail "not two finished checks: $(cat "$work/list.json")"
ids=($(sed -n 's/^ *"id": \([0-9]*\),$/\1/p' "$work/list.json"))
[[ ${#ids[@]} == 2 ]] || fail "no ids in the list"
# Newest first: the table run, then the JSON run.
"$cli" history show "${ids[1]}" --json >"$work/shown.json"
diff -u "$work/run.json" "$work/shown.json" || fail "history show --json differs from the run"
"$cli" history show "${ids[0]}" >"$work/shown.txt"
diff -u "$work/run.txt" "$work/shown.txt" || fail "history show differs from the run"
"$cli" history show "${ids[0]}" --report "$work/report.html" || fail "no report"
grep -q "百度" "$work/report.html" || fail "the report names no engine"

# SIGTERM mid-check (asking every query, so it takes its time): the rows
# written so far stay, the check is interrupted.
"$cli" --baidu-url "$SIM_URL" --360-url "$SIM_URL" --settings "$work/defaults.ini" \
  --on-empty-page cancel --quiet --json --interval-ms 150 --no-cache "$article" >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 200); do
  rows=$("$cli" history show "$(( ${ids[0]} + 1 ))" --json 2>/dev/null | grep -c '"number"' || true)
  [[ $rows -ge 3 ]] && break
  sleep 0.1
done
kill -TERM "$pid"
wait "$pid" || true
"$cli" history --json >"$work/after.json"
grep -q '"state": "interrupted"' "$work/after.json" || fail "the killed check is not interrupted: $(head -40 "$work/after.json")"
kept=$("$cli" history show "$(( ${ids[0]} + 1 ))" --json | grep -c '"number"')
[[ $kept -ge 3 ]] || fail "the killed check kept $kept rows"

"$cli" history delete "${ids[1]}" >/dev/null || fail "delete failed"
"$cli" history show "${ids[1]}" >/dev/null 2>&1 && fail "a deleted check is still shown"
stop_sim TERM
echo "results store: kept, shown as run, interrupted by SIGTERM with its rows, deleted"
