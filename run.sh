#!/usr/bin/env bash
# Installs what is missing, builds and starts the desktop program; without a
# display, or with --demo, runs the offline demo against the local search simulator.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)"
if [[ ${1:-} == --demo || (-z ${DISPLAY:-} && -z ${WAYLAND_DISPLAY:-}) ]]; then
  exec scripts/demo.sh
fi
if [[ ! -x build/bin/originality-checker ]]; then
  echo "The desktop program is not built yet." >&2
  exit 1
fi
exec build/bin/originality-checker "$@"
