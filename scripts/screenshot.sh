#!/usr/bin/env bash
# Takes docs/screenshot.png: the desktop window after checking the sample
# article against the local search simulator, on a virtual X display; and
# docs/marked-article.png: the marked article with the tooltip of a copied
# passage, taken from the whole screen (the tooltip is a window of its own).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --screenshot
cmake -S . -B build -G Ninja >/dev/null
cmake --build build -j "$(nproc)" --target desktop-screenshot search-sim

work=$(mktemp -d)
sim_pid=""
cleanup() {
  [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

build/bin/search-sim --corpus data/corpus --port 0 >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 100); do
  grep -q '^listening on ' "$work/sim.out" && break
  sleep 0.1
done
url=$(sed -n 's/^listening on //p' "$work/sim.out")
[[ -n "$url" ]] || { cat "$work/sim.err" >&2; exit 1; }

mkdir -p docs
# The window on a 1366x768 laptop screen; its results store (and kept article) in the scratch folder.
export OC_STORE_FILE="$work/checks.db"
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1366x768x24" \
  build/bin/desktop-screenshot --article data/sample-article.txt --baidu "$url" --360 "$url" \
  --settings "$work/settings.ini" --sort-descending 2 --width 1366 --height 768 \
  --out docs/screenshot.png

# The marked article: the program keeps its window and tooltip up while the
# screen is taken, then the article area is cut out.
env -u QT_QPA_PLATFORM xvfb-run -a -s "-screen 0 1280x800x24" bash -c '
  set -euo pipefail
  "$1" --article data/sample-article.txt --baidu "$2" --360 "$2" --settings "$3/settings.ini" \
    --out "$3/window.png" --width 1000 --height 700 --tip --hold 5000 >"$3/shot.out" &
  shot=$!
  for _ in $(seq 600); do
    grep -q "^wrote " "$3/shot.out" && break
    sleep 0.1
  done
  read -r _ x y w h < <(grep "^area " "$3/shot.out")
  import -window root -crop "${w}x${h}+${x}+${y}" +repage docs/marked-article.png
  wait "$shot"
' screenshot build/bin/desktop-screenshot "$url" "$work"
