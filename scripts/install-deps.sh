#!/usr/bin/env bash
# Installs the Debian packages the project builds and tests with, when missing.
# A quick no-op when everything is present. Only apt-get; nothing else is downloaded.
set -euo pipefail

packages=(
  g++ cmake ninja-build pkg-config
  qt6-base-dev libgl-dev qt6-translations-l10n
  libboost-regex-dev libcurl4-openssl-dev libcpp-httplib-dev libxml2-dev libuchardet-dev
  libsimdjson-dev libzip-dev libpoppler-cpp-dev libsqlite3-dev zlib1g-dev
  nlohmann-json3-dev libcli11-dev
  libgtest-dev libgmock-dev libbenchmark-dev
)
# Extra groups on request: fuzzing needs clang and its runtime; screenshots need X and a font;
# packaging needs the Debian tools; rendering the icon needs an SVG renderer.
for group in "$@"; do
  case "$group" in
    --fuzz) packages+=(clang libclang-rt-14-dev) ;;
    --screenshot) packages+=(xvfb xauth imagemagick fonts-wqy-microhei) ;;
    # The .deb (CPack, dpkg-shlibdeps) and the checks of its desktop entry and metainfo.
    --package) packages+=(dpkg-dev file appstream desktop-file-utils) ;;
    --icons) packages+=(librsvg2-bin) ;;
    *) echo "install-deps: unknown option $group" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing missing packages: ${missing[*]}"
sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
