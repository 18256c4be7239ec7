#!/usr/bin/env bash
# End-to-end timing: a 5,000-character article through both check passes of
# originality-cli against search-sim on a generated 10,000-document corpus.
# Reports the wall time, the checker's own share (its CPU time and peak
# memory), and the simulator's search time from its query log.
#   bench/time_search_sim_e2e.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="${1:-build}/bin"
for program in search-sim originality-cli bench_search_sim; do
  [[ -x $bin/$program ]] || { echo "$bin/$program is not built" >&2; exit 1; }
done
# shellcheck source=../tests/e2e/e2e_support.sh
source tests/e2e/e2e_support.sh
e2e_begin "$bin" .

"$bin/bench_search_sim" --write-corpus "$work/corpus" --write-article "$work/article.txt"
start_sim "$bin" "$work/sim" --corpus "$work/corpus" --port 0
sed -n 's/^search-sim: //p' "$work/sim.err"

checker=("$bin/originality-cli" --engine both --baidu-url "$SIM_URL" --360-url "$SIM_URL"
         --settings "$work/defaults.ini" --on-empty-page cancel --json --quiet "$work/article.txt")
rss_kb=
if [[ -x /usr/bin/time ]]; then
  /usr/bin/time -f '%e %U %S %M' -o "$work/time" "${checker[@]}" >"$work/result.json"
  read -r wall user sys rss_kb <"$work/time"
else
  TIMEFORMAT='%R %U %S'
  { time "${checker[@]}" >"$work/result.json"; } 2>"$work/time"
  read -r wall user sys <"$work/time"
fi

requests=$(grep -c '^search-sim: #' "$work/sim.err")
search_ms=$(sed -n 's/.*, \([0-9.]*\) ms$/\1/p' "$work/sim.err" | awk '{s += $1} END {printf "%.1f", s}')
chars=$(grep -o '"articleChars": *"[0-9]*"' "$work/result.json" | grep -o '[0-9]*' | head -1)
originality=$(sed -n 's/.*"originality": "\(.*\)".*/\1/p' "$work/result.json" | paste -sd ' ')
awk -v wall="$wall" -v user="$user" -v sys="$sys" -v rss="$rss_kb" -v n="$requests" \
    -v search="$search_ms" -v chars="$chars" -v originality="$originality" 'BEGIN {
  cpu = user + sys
  printf "article: %s characters; %d requests to search-sim (both passes)\n", chars, n
  printf "originality (Baidu, 360): %s\n", originality
  printf "wall time, both passes:            %8.2f s (%.2f ms per request)\n", wall, 1000 * wall / n
  printf "checker CPU (its own share):       %8.2f s (%.2f ms per request)\n", cpu, 1000 * cpu / n
  if (rss != "") printf "checker peak memory:               %8.1f MB\n", rss / 1024
  printf "search-sim search time (from log): %8.2f s (%.2f ms per request)\n", search / 1000, search / n
}'
