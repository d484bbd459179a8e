#!/usr/bin/env bash
# Compiles the learners' locales the tests run under into a folder of their own, so that no
# locale needs installing system-wide; a test then sets LOCPATH to that folder.
#   make-test-locales.sh DIR [LOCALE...]   (default: de_DE fr_FR tr_TR ar_EG, all UTF-8)
set -euo pipefail
dir=$1
shift
locales=("$@")
[ ${#locales[@]} -gt 0 ] || locales=(de_DE fr_FR tr_TR ar_EG)
mkdir -p "$dir"
for name in "${locales[@]}"; do
    [ -d "$dir/$name.UTF-8" ] && continue
    # Compiled aside and moved in whole, so a cut run never leaves half a locale behind.
    # localedef exits 1 for mere warnings about the locale sources; the result is usable when
    # its files were written.
    work=$(mktemp -d "$dir/.making.XXXXXX")
    localedef -i "$name" -f UTF-8 "$work/$name.UTF-8" 2>/dev/null || true
    if [ ! -f "$work/$name.UTF-8/LC_CTYPE" ] || [ ! -f "$work/$name.UTF-8/LC_NUMERIC" ]; then
        rm -rf "$work"
        echo "make-test-locales: could not compile $name.UTF-8 (are 'locales' and 'libc-bin' installed?)" >&2
        exit 1
    fi
    mv "$work/$name.UTF-8" "$dir/" 2>/dev/null || true  # another run may have been quicker
    rm -rf "$work"
done
