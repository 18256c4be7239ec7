#!/usr/bin/env bash
# The offline demo: checks the sample article against the local search
# simulator (search-sim serving data/corpus on a free loopback port), with both
# engines, and prints the result tables with each copied segment's source, the
# percentages, the verdict and the sites the copies came from ("来源网站").
# Nothing here goes to the web. Run it after a build (./run.sh --demo builds first).
#   scripts/demo.sh [--report FILE.html|FILE.csv] [ARTICLE]   (default: data/sample-article.txt)
# --report also writes the check's report (docs/example-report.html is made so).
# Environment: OC_BUILD_DIR (default: build); for an installed copy, OC_BIN_DIR
# (the folder of the programs) and OC_DATA_DIR (the folder that holds
# sample-article.txt and corpus/, for example /usr/share/originality-checker).
set -euo pipefail
# File names given are taken from the folder the demo was started in.
from_caller() { [[ $1 == /* ]] && echo "$1" || echo "$PWD/$1"; }
report=()
if [[ ${1:-} == --report ]]; then
  [[ -n ${2:-} ]] || { echo "demo: --report needs a file name" >&2; exit 2; }
  report=(--report "$(from_caller "$2")")
  shift 2
fi
given_article=
if [[ -n ${1:-} ]]; then
  given_article=$(from_caller "$1")
fi
cd "$(dirname "$0")/.."
bin="${OC_BIN_DIR:-${OC_BUILD_DIR:-build}/bin}"
data="${OC_DATA_DIR:-data}"
article=${given_article:-$data/sample-article.txt}

for program in search-sim originality-cli; do
  if [[ ! -x $bin/$program ]]; then
    echo "demo: $bin/$program is not built; run ./run.sh --demo or cmake --build build" >&2
    exit 1
  fi
done

work=$(mktemp -d)
sim_pid=
cleanup() {
  if [[ -n $sim_pid ]]; then
    kill -TERM "$sim_pid" 2>/dev/null || true
    wait "$sim_pid" 2>/dev/null || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT

cat <<'BANNER'
==============================================================================
 离线演示 / OFFLINE DEMO
 This checks the sample article against search-sim, a LOCAL search simulator
 that answers Baidu- and 360-style queries from the 33 documents in data/corpus.
 It is NOT the web: no query leaves this machine, and the percentages only say
 how much of the article is in that small local corpus.
==============================================================================
BANNER

# start_sim [search-sim options...]: starts the simulator, sets sim_pid and url.
start_sim() {
  # The address of a simulator stopped before must not be read for this one's.
  rm -f "$work/sim.out"
  "$bin/search-sim" --corpus "$data/corpus" --port 0 "$@" >"$work/sim.out" 2>"$work/sim.log" &
  sim_pid=$!
  url=
  for _ in $(seq 1 200); do
    # The file may not exist yet (the simulator's shell opens it): not an error.
    url=$(sed -n 's/^listening on //p' "$work/sim.out" 2>/dev/null | head -1 || true)
    [[ -n $url ]] && break
    if ! kill -0 "$sim_pid" 2>/dev/null; then
      break
    fi
    sleep 0.05
  done
  if [[ -z $url ]]; then
    echo "demo: search-sim did not start:" >&2
    cat "$work/sim.log" >&2
    exit 1
  fi
}
stop_sim() {
  kill -TERM "$sim_pid" 2>/dev/null || true
  wait "$sim_pid" 2>/dev/null || true
  sim_pid=
}

start_sim
echo "search-sim is listening on $url (documents: $data/corpus)"
echo "Article: $article; settings: the defaults (检测方式 整句, 段落字数 38, 飘红检测数 30,"
echo "飘红覆盖率 80%, 最后段字数 5)"
echo

# A settings file that does not exist: the passes use the default settings.
status=0
"$bin/originality-cli" --engine both --baidu-url "$url" --360-url "$url" \
  --settings "$work/defaults.ini" --on-empty-page cancel --quiet "${report[@]}" "$article" ||
  status=$?

queries=$(grep -c '^search-sim: #' "$work/sim.log" || true)
stop_sim
echo
echo "search-sim answered $queries queries."
echo "来源: the page holding each copied segment (here a corpus file); 来源网站: the sites"
echo "those pages are on, with the number of segments each holds."
if [[ ${#report[@]} -gt 0 && $status -ne 2 ]]; then
  echo "The report was written to ${report[1]}."
fi

cat <<'CLASSIC'

------------------------------------------------------------------------------
 The same article in 检测方式 经典: fixed windows of the Chinese characters and
 one highlight of 30 characters. The simulator, like the real engines, closes
 a highlight at every comma, so almost no highlight is that long: the copied
 passages go unnoticed and the value flatters the article.
------------------------------------------------------------------------------
CLASSIC
start_sim
"$bin/originality-cli" --engine both --baidu-url "$url" --360-url "$url" --mode classic \
  --settings "$work/defaults.ini" --on-empty-page cancel --quiet "$article" >"$work/classic.txt" ||
  true
stop_sim
grep -E '^(文章字数|百度原创度|360原创度)' "$work/classic.txt" | sed 's/^/经典  /'

cat <<'BLOCKED'

------------------------------------------------------------------------------
 A blocked search: the simulator now answers like an engine that takes the
 checker for a robot, with its verification page after the 12th query. The
 segments it did not answer stay 未核实 (unverified); the value counts only the
 verified ones, and the coverage and the verdict say how many are missing. With
 fewer than half verified there is no verdict: "核实不足", the value in grey.
------------------------------------------------------------------------------
BLOCKED
start_sim --block-after 12 --block-kind captcha-page
blocked=0
"$bin/originality-cli" --engine 360 --360-url "$url" --settings "$work/defaults.ini" \
  --on-empty-page continue --quiet "$article" 2>"$work/prompts.txt" || blocked=$?
stop_sim
echo "(exit status $blocked: 4 means some segments are unverified; the check may be repeated later)"

echo
echo "This was the offline demo against the local simulator, not the web. To check an"
echo "article on the real search engines, start the desktop program (./run.sh on a"
echo "machine with a display)."
exit "$status"
