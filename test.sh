#!/usr/bin/env bash
# Installs what is missing, builds and runs every test through ctest.
#   ./test.sh             the normal build (build/)
#   ./test.sh --sanitize  address + undefined-behaviour sanitizers (build-asan/)
#   ./test.sh --tsan      thread sanitizer on the non-GUI layers (build-tsan/)
#   ./test.sh --fuzz N    every fuzz target for N seconds (build-fuzz/, clang)
# Extra arguments after "--" go to ctest (for example: ./test.sh -- -R Segmentation).
set -euo pipefail
cd "$(dirname "$0")"

mode=normal
fuzz_seconds=60
ctest_args=()
while [[ $# -gt 0 ]]; do
  case "$1" in
    --sanitize) mode=asan ;;
    --tsan) mode=tsan ;;
    --fuzz) mode=fuzz; fuzz_seconds="${2:-60}"; shift ;;
    --) shift; ctest_args=("$@"); break ;;
    *) echo "usage: ./test.sh [--sanitize|--tsan|--fuzz SECONDS] [-- CTEST_ARGS]" >&2; exit 2 ;;
  esac
  shift
done

if [[ $mode == fuzz ]]; then
  scripts/install-deps.sh --fuzz
else
  scripts/install-deps.sh
fi

jobs=$(nproc)
case "$mode" in
  normal) dir=build; flags=(-DOC_WERROR=ON) ;;
  asan) dir=build-asan; flags=(-DOC_WERROR=ON -DOC_SANITIZE=ON -DOC_BUILD_BENCH=OFF) ;;
  tsan) dir=build-tsan; flags=(-DOC_WERROR=ON -DOC_TSAN=ON -DOC_BUILD_BENCH=OFF -DOC_BUILD_APP=OFF) ;;
  fuzz) exec scripts/fuzz.sh all "$fuzz_seconds" ;;
esac

cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" -j "$jobs"

export QT_QPA_PLATFORM=offscreen
# Tests never touch the user's cookie store, and loopback servers never go through a proxy.
export OC_COOKIE_FILE="$PWD/$dir/test-cookies.txt"
export no_proxy="127.0.0.1,localhost" NO_PROXY="127.0.0.1,localhost"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/tests/tsan.supp"
ctest --test-dir "$dir" --output-on-failure -j "$jobs" --timeout 300 "${ctest_args[@]}"
