#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what the desktop sees of it: the .desktop
# entry, the AppStream metainfo, the MIME package (well-formed, and the database built from it
# knows the four extensions), the icons and the manual, and that the installed editor keeps its
# files in the user's data home. With --deb it also builds the Debian package, checks its
# contents and starts the programs unpacked from it; with --deb --install (as root) it installs
# the package with apt and starts the installed editor.
#   scripts/check-desktop-files.sh [--deb [--install]]
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
DEB=0; INSTALL=0
for a in "$@"; do
  case "$a" in
    --deb) DEB=1 ;;
    --install) INSTALL=1 ;;
    *) echo "unknown option: $a" >&2; exit 2 ;;
  esac
done
ID=org.mossbramble.Mossbramble
TMP="$(mktemp -d)"
trap 'rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

PREFIX="$TMP/prefix"
cmake --install "$BUILD_DIR" --prefix "$PREFIX" >/dev/null
SHARE="$PREFIX/share"
desktop-file-validate "$SHARE/applications/$ID.desktop"
appstreamcli validate --no-net "$SHARE/metainfo/$ID.metainfo.xml"
xmllint --noout "$SHARE/mime/packages/$ID.xml"
update-mime-database "$SHARE/mime"
for ext in adv adz adr adc; do
  grep -q "^[0-9]*:application/x-mossbramble-[a-z]*:\*\.$ext$" "$SHARE/mime/globs2" || fail "MIME database lacks *.$ext"
done
for size in 16x16 32x32 48x48 64x64 128x128 256x256; do
  [ -s "$SHARE/icons/hicolor/$size/apps/$ID.png" ] || fail "icon $size missing"
done
xmllint --noout "$SHARE/icons/hicolor/scalable/apps/$ID.svg"
for f in Manual.html Manual.de.html; do
  [ -s "$SHARE/mossbramble/$f" ] || fail "$f not installed"
  xmllint --html --noout "$SHARE/mossbramble/$f" || fail "$f is not well-formed HTML"
done
grep -q '^Exec=mossbramble %f$' "$SHARE/applications/$ID.desktop" || fail "Exec line"

# The installed editor writes config.ini into the data home, not beside itself.
run_editor() { # PROGRAM HOME
  env -u MOSSBRAMBLE_HOME -u XDG_DATA_HOME HOME="$2" QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$2/run" \
    timeout 5 "$1" >/dev/null 2>&1 || [ $? -eq 124 ] || fail "$1 did not start"
}
mkdir -p "$TMP/home/run" && chmod 700 "$TMP/home/run"
run_editor "$PREFIX/bin/mossbramble" "$TMP/home"
[ -f "$TMP/home/.local/share/mossbramble/config.ini" ] || fail "the installed editor did not use ~/.local/share/mossbramble"
[ ! -e "$PREFIX/bin/config.ini" ] || fail "the installed editor wrote beside its program"
"$PREFIX/bin/mossbramble-cli" msg 1 >/dev/null || fail "the installed mossbramble-cli does not run"
echo "installed tree: desktop entry, metainfo, MIME types, icons, manual and editor folder are fine"

[ "$DEB" = 1 ] || exit 0
(cd "$BUILD_DIR" && cpack -G DEB -B "$TMP/deb" >/dev/null)
PKG="$(ls "$TMP"/deb/mossbramble_*.deb)"
# (Read whole first: grep -q would end the pipe early and fail it under pipefail.)
INFO="$(dpkg-deb --info "$PKG")"
CONTENTS="$(dpkg-deb --contents "$PKG")"
grep -q 'Depends:.*libqt6widgets6' <<<"$INFO" || fail "package lacks its library dependencies"
for f in ./usr/bin/mossbramble ./usr/bin/mossbramble-cli "./usr/share/applications/$ID.desktop" \
         "./usr/share/metainfo/$ID.metainfo.xml" "./usr/share/mime/packages/$ID.xml" \
         ./usr/share/mossbramble/Manual.html "./usr/share/icons/hicolor/48x48/apps/$ID.png"; do
  grep -q " $f\$" <<<"$CONTENTS" || fail "package lacks $f"
done
dpkg-deb -x "$PKG" "$TMP/unpacked"
mkdir -p "$TMP/home2/run" && chmod 700 "$TMP/home2/run"
run_editor "$TMP/unpacked/usr/bin/mossbramble" "$TMP/home2"
[ -f "$TMP/home2/.local/share/mossbramble/config.ini" ] || fail "the packaged editor did not use ~/.local/share/mossbramble"
echo "Debian package: $(basename "$PKG") ($(du -h "$PKG" | cut -f1)) is complete"
mkdir -p "$BUILD_DIR/package" && cp "$PKG" "$BUILD_DIR/package/"

[ "$INSTALL" = 1 ] || exit 0
[ "$(id -u)" = 0 ] || fail "--install needs root"
apt-get install -y --no-install-recommends "$(realpath "$BUILD_DIR/package/$(basename "$PKG")")" >/dev/null
command -v mossbramble >/dev/null || fail "mossbramble is not on PATH after the install"
mkdir -p "$TMP/home3/run" && chmod 700 "$TMP/home3/run"
run_editor "$(command -v mossbramble)" "$TMP/home3"
[ -f "$TMP/home3/.local/share/mossbramble/config.ini" ] || fail "the installed package did not use the data home"
apt-get remove -y mossbramble >/dev/null
echo "Debian package installs with apt, starts and is removed again"
