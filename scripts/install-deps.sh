#!/usr/bin/env bash
# Installs what building and testing need, from Debian's packages. Quiet and quick when
# everything is already there.
#   install-deps.sh [build|test]   build: the native player only; test: everything
set -euo pipefail
what=${1:-test}

# What the player's videos need of GStreamer: demuxers for MP4 and WebM (good), decoders for
# H.264 and AAC (libav), VP8/VP9 (good) and Vorbis/Opus (base), and the audio and video sinks.
# The tools and the H.264 encoder (ugly) make the stand-in's lesson videos at build time.
media_packages=(gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav
                gstreamer1.0-plugins-ugly gstreamer1.0-tools)
build_packages=(cmake make g++ pkg-config nlohmann-json3-dev libssl-dev libcurl4-openssl-dev
                libcups2-dev libcpp-httplib-dev libgtk-3-dev libcairo2-dev libpango1.0-dev
                libwebkit2gtk-4.1-dev fonts-dejavu-core xdg-utils xvfb xauth
                "${media_packages[@]}")
# The fonts that carry every character of the pages and windows (Latin, Arabic, symbols);
# the installed package depends on the same ones.
font_packages=(fonts-dejavu-core fonts-noto-core fonts-noto-ui-core fonts-symbola)
# iproute2 and util-linux: the private networks of tests/isolated.sh. nsis: the Windows installer.
# python3 and openssl: the runtime installer's download server and its certificates.
test_packages=(googletest libgtest-dev libbenchmark-dev x11-utils fonts-noto-color-emoji
               xdotool xclip g++-mingw-w64-x86-64-posix mingw-w64-tools wine64 wine fonts-wine
               xvfb xauth cups-daemon cups-client cups-bsd openbox locales libc-bin curl iproute2
               util-linux poppler-utils clang libclang-rt-dev llvm nsis "${media_packages[@]}"
               "${font_packages[@]}" dpkg-dev desktop-file-utils appstream xdg-utils python3
               openssl)

packages=("${build_packages[@]}")
[ "$what" = "test" ] && packages+=("${test_packages[@]}")

missing=()
for package in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${db:Status-Status}' "$package" 2>/dev/null || true)
    [ "$status" = "installed" ] || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
