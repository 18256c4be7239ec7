#!/usr/bin/env bash
# Runs one fuzz target (or "all") for a number of seconds each.
#   scripts/fuzz.sh fuzz_article_pipeline 60
#   scripts/fuzz.sh all 60
# Builds the targets with clang in build-fuzz/. Seeds come from tests/fuzz/corpus/<target>/;
# new inputs go to a scratch folder, findings (crash-*, leak-*, timeout-*) to build-fuzz/findings/.
set -euo pipefail
cd "$(dirname "$0")/.."
target="${1:?usage: scripts/fuzz.sh TARGET|all SECONDS}"
seconds="${2:-60}"

scripts/install-deps.sh --fuzz
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DOC_FUZZ=ON -DOC_WERROR=ON -DOC_BUILD_APP=OFF \
  -DOC_BUILD_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

if [[ "$target" == all ]]; then
  targets=$(cd tests/fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
else
  targets="$target"
fi
# shellcheck disable=SC2086
cmake --build build-fuzz -j "$(nproc)" --target $targets

mkdir -p build-fuzz/findings
status=0
for t in $targets; do
  seeds="tests/fuzz/corpus/$t"
  scratch="build-fuzz/corpus/$t"
  mkdir -p "$scratch" "$seeds"
  echo "== $t for ${seconds}s"
  if ! build-fuzz/bin/"$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -max_len=65536 -print_final_stats=1 -artifact_prefix=build-fuzz/findings/"$t"- \
      "$scratch" "$seeds" 2>build-fuzz/"$t".log; then
    tail -40 build-fuzz/"$t".log
    echo "== $t: FINDING (see build-fuzz/findings/)"
    status=1
  else
    grep -E 'stat::number_of_executed_units|Done' build-fuzz/"$t".log | tail -2 || true
  fi
done
exit $status
