#!/usr/bin/env bash
# Builds the Debian package from a finished native build, validates its desktop entry and
# metainfo, installs it, checks the installed player, the kestrum: link handler, and that
# removing the package leaves none of its files behind. Needs root (dpkg).
#   package_test.sh <native build folder>
set -euo pipefail
build=$(cd "${1:?usage: package_test.sh <native build folder>}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "package test: $*" >&2; exit 1; }

[ "$(id -u)" -eq 0 ] || fail "needs root to install the package"

(cd "$work" && cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/out" >/dev/null) ||
    fail "cpack could not build the package"
deb=$(ls "$work"/out/kestrum_*.deb)

# What the package declares: dependencies found from the binaries, plus the run-time ones.
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libwebkit2gtk-4.1 libgtk-3 libcups2 gstreamer1.0-plugins-good gstreamer1.0-libav \
              fonts-noto-core fonts-dejavu-core; do
    [[ "$depends" == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
[ "$(dpkg-deb -f "$deb" Section)" = education ] || fail "wrong section"

# The entry and metainfo as packed, not as in the source tree.
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/kestrum.desktop" ||
    fail "desktop entry does not validate"
appstreamcli validate --no-net "$work/root/usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml" ||
    fail "metainfo does not validate"
grep -qx 'Exec=kestrum %u' "$work/root/usr/share/applications/kestrum.desktop" ||
    fail "desktop entry does not start the installed player"

# One install at a time on this machine: another copy of the tests may be here too.
exec 9>/var/lock/kestrum-package-test.lock
flock 9

if ! dpkg -i "$deb" >"$work/dpkg.log" 2>&1; then
    DEBIAN_FRONTEND=noninteractive apt-get -f install -y -qq >>"$work/dpkg.log" 2>&1 ||
        { cat "$work/dpkg.log" >&2; fail "the package does not install"; }
fi
trap 'dpkg -r kestrum >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

dpkg -L kestrum >"$work/files"
for path in /usr/bin/kestrum /usr/bin/kestrum-tool /usr/bin/kestrum-diagnostic \
            /usr/lib/kestrum/web-extensions/libkestrum-web-extension.so \
            /usr/lib/kestrum/kestrum-media-check \
            /usr/share/applications/kestrum.desktop \
            /usr/share/metainfo/org.kestrum.Kestrum.metainfo.xml \
            /usr/share/man/man1/kestrum.1.gz /usr/share/man/man1/kestrum-tool.1.gz \
            /usr/share/icons/hicolor/48x48/apps/kestrum.png \
            /usr/share/icons/hicolor/256x256/apps/kestrum.png; do
    grep -qx "$path" "$work/files" || fail "package lacks $path"
    [ -e "$path" ] || fail "$path is not on disk after installing"
done
for absent in kestrum-platform kestrum-screenshot; do
    ! grep -q "/$absent\$" "$work/files" || fail "test program $absent is in the package"
done

# The installed tool works, and the installed player finds its web extension (the runtime
# check reports any missing part and stops before the window).
/usr/bin/kestrum-tool decode-diagnostic 0 >/dev/null 2>&1 || [ $? -ne 127 ] ||
    fail "installed kestrum-tool does not start"
version=$(timeout 20 /usr/bin/kestrum --version 2>&1) ||
    fail "installed kestrum --version failed: $version"
[[ "$version" =~ ^Kestrum\ [0-9]+\.[0-9]+\.[0-9]+$ ]] ||
    fail "installed kestrum --version said '$version'"
player_log=$(timeout 20 /usr/bin/kestrum </dev/null 2>&1 || true)
! grep -q "Web extension:" <<<"$player_log" ||
    fail "installed player does not find its web extension: $player_log"

# kestrum: links reach the installed entry, for a user with no settings of their own.
update-desktop-database -q /usr/share/applications
handler=$(HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" \
          XDG_DATA_HOME="$work/home/.local/share" XDG_CURRENT_DESKTOP= \
          xdg-mime query default x-scheme-handler/kestrum)
[ "$handler" = kestrum.desktop ] || fail "kestrum: links go to '$handler', not kestrum.desktop"

dpkg -r kestrum >/dev/null 2>&1 || fail "the package does not remove"
trap 'rm -rf "$work"' EXIT
while read -r path; do
    [ -d "$path" ] || [ ! -e "$path" ] || fail "$path is left after removing the package"
done <"$work/files"
[ ! -e /usr/lib/kestrum ] || fail "/usr/lib/kestrum is left after removing the package"
echo "package test: passed"
