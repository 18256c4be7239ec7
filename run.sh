#!/usr/bin/env bash
# Installs what is missing, builds and starts the desktop program; without a
# display, or with --demo, runs the offline demo against the local search simulator.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
if [[ ${1:-} == --demo || (-z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-}) ]]; then
  cmake --build build -j "$(nproc)" --target search-sim originality-cli
  exec scripts/demo.sh
fi
cmake --build build -j "$(nproc)" --target originality-checker
exec build/bin/originality-checker
