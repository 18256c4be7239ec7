#!/usr/bin/env bash
# A batch of three articles (variants of the sample article) checked by
# originality-cli against search-sim with a rate limit of 20 queries a minute
# per engine form (--rate-limit 20 --block-minutes 1), waiting out blocks
# (--on-block wait, 屏蔽等待 1 minute). Prints the requests per engine, the
# blocks met, the wall time and the lower bound the rate limit sets: each
# engine's requests / 20 per minute, the larger. Takes about 13 minutes.
#   bench/bench_batch.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build}/bin"
for program in search-sim originality-cli; do
  [[ -x $bin/$program ]] || { echo "$bin/$program is not built" >&2; exit 1; }
done
# shellcheck source=../tests/e2e/e2e_support.sh
source tests/e2e/e2e_support.sh
e2e_begin "$bin" .

mkdir -p "$work/articles"
cp data/sample-article.txt "$work/articles/1-sample.txt"
tac data/sample-article.txt >"$work/articles/2-reversed.txt"
sed 's/我/他/g' data/sample-article.txt >"$work/articles/3-he.txt"

start_sim "$bin" "$work/sim" --corpus data/corpus --port 0 --rate-limit 20 --block-minutes 1 \
  --block-kind captcha-page
started=$(date +%s.%N)
status=0
"$bin/originality-cli" --engine both --baidu-url "$SIM_URL" --360-url "$SIM_URL" \
  --settings "$work/defaults.ini" --on-block wait --block-wait-min 1 --no-cache --no-resume --json --quiet \
  --summary "$work/summary.csv" "$work/articles" >"$work/result.jsonl" 2>"$work/cli.err" || status=$?
ended=$(date +%s.%N)
stop_sim

[[ $status -eq 0 ]] || { echo "originality-cli ended with status $status:" >&2; cat "$work/cli.err" >&2; }
served_baidu=$(grep -c '^search-sim: #[0-9]* baidu .*: [0-9]* documents' "$work/sim.err" || true)
served_360=$(grep -c '^search-sim: #[0-9]* 360 .*: [0-9]* documents' "$work/sim.err" || true)
blocked_baidu=$(grep -c '^search-sim: #[0-9]* baidu .*blocked by the rate limit' "$work/sim.err" || true)
blocked_360=$(grep -c '^search-sim: #[0-9]* 360 .*blocked by the rate limit' "$work/sim.err" || true)
unverified=$(grep -o '"unverified":[0-9]*' "$work/result.jsonl" | awk -F: '{s += $2} END {print s + 0}')
prompts=$(grep -c -E '百度提示|360搜索提示' "$work/cli.err" || true)
awk -v started="$started" -v ended="$ended" -v sb="$served_baidu" -v s3="$served_360" \
    -v bb="$blocked_baidu" -v b3="$blocked_360" -v unverified="$unverified" \
    -v prompts="$prompts" -v articles="$(wc -l <"$work/result.jsonl")" 'BEGIN {
  wall = ended - started
  bound = (sb > s3 ? sb : s3) / 20 * 60
  printf "articles: %d; segments left unverified: %d; prompts: %d\n", articles, unverified, prompts
  printf "requests answered: Baidu %d, 360 %d; blocks met: Baidu %d, 360 %d\n", sb, s3, bb, b3
  printf "wall time: %.1f s; bound set by the rate limit: %.1f s; ratio %.2f\n", wall, bound, wall / bound
}'
