#!/usr/bin/env bash
# Every character the player shows - in its page scripts, its bilingual messages and window
# texts - must be in some installed font, or it is drawn as a missing-glyph box.
#   glyph_coverage_test.sh [source root]
set -euo pipefail
root=$(cd "${1:-$(dirname "$0")/../..}" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

# The extractor first: a slip in it would leave characters unchecked.
(cd "$here" && PYTHONDONTWRITEBYTECODE=1 python3 -m unittest -q shown_characters_test)
python3 "$here/shown_characters.py" "$root" >"${TMPDIR:-/tmp}/kestrum-shown.$$"
trap 'rm -f "${TMPDIR:-/tmp}/kestrum-shown.$$"' EXIT
missing=0
checked=0
while read -r code where; do
    checked=$((checked + 1))
    if [ -z "$(fc-list ":charset=$code" family)" ]; then
        echo "no installed font has U+$code (used in $where)" >&2
        missing=1
    fi
done <"${TMPDIR:-/tmp}/kestrum-shown.$$"
[ "$checked" -gt 0 ] || { echo "glyph test: found no shown characters to check" >&2; exit 1; }
[ "$missing" -eq 0 ] || exit 1
echo "glyph test: every shown character has a font"
