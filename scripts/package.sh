#!/usr/bin/env bash
# Builds the Debian package build-release/originality-checker_<version>_<arch>.deb:
# a Release build (warnings as errors) of the three programs in build-release/
# with Debian's hardening flags, then CPack. Prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --package

# Debian's build flags (stack protector, fortify, relro), as a Debian build would
# use them; the Release flags (-O3) come after them. No -g: the package is
# stripped, and debug information only slows the build.
# bindnow with relro makes the global offset table read-only.
export DEB_CFLAGS_MAINT_STRIP=-g DEB_CXXFLAGS_MAINT_STRIP=-g DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
# The install step builds only what is installed, not the tests and benchmarks.
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DOC_WERROR=ON \
  -DOC_BUILD_BENCH=OFF -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON \
  -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
  -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
  -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)" >/dev/null
cmake --build build-release -j "$(nproc)" \
  --target originality-cli search-sim originality-checker oc_install_files
(cd build-release && cpack -G DEB >cpack.log) || { cat build-release/cpack.log >&2; exit 1; }
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-release/CMakeCache.txt)
deb=build-release/originality-checker_${version}_$(dpkg --print-architecture).deb
[[ -f $deb ]] || { echo "package: $deb was not made" >&2; cat build-release/cpack.log >&2; exit 1; }
echo "$deb"
