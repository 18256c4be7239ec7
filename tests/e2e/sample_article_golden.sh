#!/usr/bin/env bash
# originality-cli against search-sim on the sample data, both engines, compared
# with a golden file reviewed by hand: the segments copied from the corpus hit,
# the original ones do not. The simulator's address is written as http://SIM.
#   sample_article_golden.sh BIN_DIR SOURCE_DIR
# With UPDATE_GOLDEN=1 the golden file is rewritten instead (review the diff!).
set -euo pipefail
# shellcheck source=e2e_support.sh
source "$(dirname "$0")/e2e_support.sh"
e2e_begin "$@"
golden="$source_dir/tests/e2e/sample-article.golden.json"

start_sim "$bin_dir" "$work/sim" --corpus "$source_dir/data/corpus" --port 0
status=0
# A settings file that does not exist: the default settings apply. The golden
# output is made without the results store; the same check with the store on
# must print the same.
check() {
  "$bin_dir/originality-cli" --engine both --baidu-url "$SIM_URL" --360-url "$SIM_URL" \
    --settings "$work/defaults.ini" --on-empty-page cancel --json --quiet "$@" \
    "$source_dir/data/sample-article.txt"
}
check --no-store >"$work/result.json" || status=$?
[[ $status == 0 ]] || fail "originality-cli exited with $status"
check >"$work/stored.json" || status=$?
[[ $status == 0 ]] || fail "originality-cli with the store exited with $status"
# The same check again answers every query from the store.
queries=$(grep -c '^search-sim: #' "$work/sim.err" || true)
check >"$work/cached.json" || status=$?
[[ $status == 0 ]] || fail "the check from the store exited with $status"
[[ $(grep -c '^search-sim: #' "$work/sim.err" || true) == "$queries" ]] ||
  fail "the unchanged article was asked again"
grep -q '"cached": false' "$work/cached.json" && fail "a row of the unchanged article was asked again"
stop_sim TERM
# With the store on, a verified row tells when it was verified; otherwise the
# check prints the same, from the engine or from the store.
same() { sed -e 's/"verifiedAt": "[^"]*"/"verifiedAt": null/' -e 's/"cached": true/"cached": false/' "$1"; }
diff -u "$work/result.json" <(same "$work/stored.json") || fail "the check prints otherwise with the store on"
diff -u "$work/result.json" <(same "$work/cached.json") || fail "the check from the store prints otherwise"
sed "s#$SIM_URL#http://SIM#g" "$work/result.json" >"$work/normalised.json"

if [[ ${UPDATE_GOLDEN:-} == 1 ]]; then
  cp "$work/normalised.json" "$golden"
  echo "golden file rewritten: $golden"
  exit 0
fi
diff -u "$golden" "$work/normalised.json" ||
  fail "the result differs from $golden (UPDATE_GOLDEN=1 rewrites it after review)"
echo "sample article against search-sim: as in the golden file"
