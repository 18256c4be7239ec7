#!/usr/bin/env bash
# The Debian package as a user gets it: unpacked into a scratch root with
# dpkg -x, its programs answer --version (the desktop program without a
# display), its desktop entry and metainfo validate, its dependencies name the
# Qt platform plugins, and the demo runs against the installed corpus.
#   tests/package/package_test.sh build-release/originality-checker_1.0.0_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/../.."
deb=$(realpath "${1:?usage: package_test.sh PACKAGE.deb}")
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
failures=0
fail() { echo "package test: FAIL: $*" >&2; failures=$((failures + 1)); }
expect_output() {  # expect_output WANTED COMMAND...
  local wanted=$1 got
  shift
  got=$("$@" 2>&1) || { fail "$* exited with $?: $got"; return; }
  [[ $got == "$wanted" ]] || fail "$*: wanted '$wanted', got '$got'"
}

version=$(dpkg-deb -f "$deb" Version)
depends=$(dpkg-deb -f "$deb" Depends)
recommends=$(dpkg-deb -f "$deb" Recommends)
echo "package: $(basename "$deb"), version $version"
echo "Depends: $depends"
[[ $depends == *qt6-qpa-plugins* ]] || fail "Depends lacks qt6-qpa-plugins"
[[ $depends == *libqt6widgets6* ]] || fail "Depends lacks the Qt libraries (dpkg-shlibdeps)"
[[ $depends == *libcurl* ]] || fail "Depends lacks libcurl (dpkg-shlibdeps)"
[[ $recommends == "fonts-wqy-microhei | fonts-noto-cjk, xdg-utils" ]] ||
  fail "Recommends is '$recommends'"

dpkg -x "$deb" "$root"
usr=$root/usr
for path in bin/originality-checker bin/originality-cli bin/search-sim \
    share/applications/originality-checker.desktop \
    share/metainfo/io.github.originality_checker.OriginalityChecker.metainfo.xml \
    share/icons/hicolor/scalable/apps/originality-checker.svg \
    share/icons/hicolor/48x48/apps/originality-checker.png \
    share/icons/hicolor/256x256/apps/originality-checker.png \
    share/man/man1/originality-cli.1.gz share/man/man1/search-sim.1.gz \
    share/man/man1/originality-checker.1.gz \
    share/doc/originality-checker/copyright share/doc/originality-checker/changelog.gz \
    share/doc/originality-checker/README.md.gz \
    share/originality-checker/sample-article.txt share/originality-checker/corpus; do
  [[ -e $usr/$path ]] || fail "the package lacks /usr/$path"
done
[[ $(ls "$usr/share/originality-checker/corpus" | wc -l) -eq $(ls data/corpus | wc -l) ]] ||
  fail "the installed corpus is not the whole corpus"

expect_output "originality-cli $version" "$usr/bin/originality-cli" --version
expect_output "search-sim $version" "$usr/bin/search-sim" --version
# No display, no platform: the desktop program answers before Qt needs one.
expect_output "originality-checker $version" \
  env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/originality-checker" --version
help=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$usr/bin/originality-checker" --help) ||
  fail "originality-checker --help failed"
[[ $help == *--version* ]] || fail "originality-checker --help does not list --version"
for page in originality-cli search-sim originality-checker; do
  zcat "$usr/share/man/man1/$page.1.gz" | grep -q "^\.TH" || fail "$page.1 is not a man page"
  zcat "$usr/share/man/man1/$page.1.gz" | grep -q "@PROJECT_VERSION@" && fail "$page.1 kept a placeholder"
done

# Valid, and without hints either.
validation=$(desktop-file-validate "$usr/share/applications/originality-checker.desktop" 2>&1) ||
  fail "desktop-file-validate: $validation"
[[ -z $validation ]] || fail "desktop-file-validate: $validation"
appstreamcli validate --no-net \
  "$usr/share/metainfo/io.github.originality_checker.OriginalityChecker.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"

# Installed, the settings go to the user's configuration folder, not /usr/bin.
config=$root/config
help=$(XDG_CONFIG_HOME=$config "$usr/bin/originality-cli" --help)
[[ $help == *"$config/originality-checker/配置.ini"* ]] ||
  fail "the installed originality-cli does not use the configuration folder: $help"

out=$(OC_BIN_DIR=$usr/bin OC_DATA_DIR=$usr/share/originality-checker scripts/demo.sh 2>&1) ||
  fail "the demo against the installed corpus failed: $out"
[[ $out == *"百度原创度"* && $out == *"360原创度"* ]] || fail "the demo printed no percentages: $out"

if ((failures > 0)); then
  echo "package test: $failures failure(s)" >&2
  exit 1
fi
echo "package test: passed"
