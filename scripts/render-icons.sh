#!/usr/bin/env bash
# Renders the icon's PNG sizes from packaging/icons/originality-checker.svg.
# Run it after changing the SVG and commit the PNGs with it (the build does not
# need an SVG renderer).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --icons
for size in 48 128 256; do
  rsvg-convert -w "$size" -h "$size" packaging/icons/originality-checker.svg \
    -o packaging/icons/originality-checker-"$size".png
done
