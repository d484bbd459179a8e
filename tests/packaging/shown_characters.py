"""Prints the non-ASCII characters the player can show, one "HEX file" line each.

Read from the page scripts (all their text) and from the string literals of the C++ sources
(not their comments, which are never shown). Escapes (\\uXXXX, \\UXXXXXXXX) count as the
characters they stand for. Characters that draw nothing - controls, format marks such as
the bidirectional marks and zero-width spaces, variation selectors - are left out.
"""
import pathlib
import re
import sys
import unicodedata

ESCAPE = re.compile(r"\\u\{([0-9A-Fa-f]+)\}|\\u([0-9A-Fa-f]{4})|\\U([0-9A-Fa-f]{8})")
ROOMS = ["common", "fatal", "printing", "service", "link", "browser", "app", "resources"]


def with_escapes(text):
    return ESCAPE.sub(lambda m: chr(int(next(g for g in m.groups() if g), 16)), text)


def string_literals(source):
    """The contents of the double-quoted literals of C++ source, raw strings included."""
    out, i, n = [], 0, len(source)
    while i < n:
        c = source[i]
        if source.startswith("//", i):
            i = source.find("\n", i)
            i = n if i < 0 else i
        elif source.startswith("/*", i):
            i = source.find("*/", i + 2)
            i = n if i < 0 else i + 2
        elif source.startswith('R"', i):
            open_end = source.find("(", i)
            delimiter = ")" + source[i + 2:open_end] + '"'
            close = source.find(delimiter, open_end)
            close = n if close < 0 else close
            out.append(source[open_end + 1:close])
            i = close + len(delimiter)
        elif c in "\"'":  # a string or character literal, up to its unescaped close
            j = i + 1
            while j < n and source[j] != c:
                j += 2 if source[j] == "\\" else 1
            out.append(source[i + 1:j])
            i = j + 1
        else:
            i += 1
    return out


def shown(ch):
    if ord(ch) < 0x80 or 0xFE00 <= ord(ch) <= 0xFE0F:
        return False
    return unicodedata.category(ch) not in ("Cc", "Cf", "Zl", "Zp", "Cs")


def main(root):
    root = pathlib.Path(root)
    texts = [(p, p.read_text(encoding="utf-8")) for p in sorted((root / "browser/scripts").glob("*"))
             if p.is_file()]
    for room in ROOMS:
        for p in sorted((root / room).rglob("*")):
            if p.suffix in (".cpp", ".h") and "win32" not in p.parts:
                texts.append((p, "\n".join(string_literals(p.read_text(encoding="utf-8")))))
    first_seen = {}
    for path, text in texts:
        for ch in with_escapes(text):
            if shown(ch):
                first_seen.setdefault(ch, path.relative_to(root))
    for ch in sorted(first_seen):
        print(f"{ord(ch):04X} {first_seen[ch]}")


if __name__ == "__main__":
    main(sys.argv[1])
