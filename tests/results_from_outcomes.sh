#!/usr/bin/env bash
# Only the desktop window reads a result back from what it shows: outside
# app/desktop no code reads a label caption or a grid cell (the in-memory
# window's own definitions aside); the outputs read the passes' outcomes.
#   results_from_outcomes.sh SOURCE_DIR
set -euo pipefail
cd "$1"
found=$(grep -rnE '\.caption\(|cellText\(|captionOf|[.>]grid\(|[.>]cell\(' \
  --include='*.cpp' --include='*.h' services text settings corpus check app/cli app/search_sim |
  grep -v -e '^check/memory_window\.' -e '^check/grid_model\.' || true)
if [[ -n $found ]]; then
  echo "a result read back from the window outside app/desktop:" >&2
  echo "$found" >&2
  exit 1
fi
