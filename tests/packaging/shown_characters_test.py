"""What counts as a shown character: a slip here would leave characters unchecked."""
import unittest

from shown_characters import shown, string_literals, with_escapes


class StringLiteralsTest(unittest.TestCase):
    def test_cases(self):
        cases = [
            # (source, literals found)
            ('x = "a"; // "b"\n', ["a"]),
            ('/* "b" */ f("c");', ["c"]),
            ('f("http://host"); g("d");', ["http://host", "d"]),  # // inside a literal
            (r'f("a\"b", "c");', [r"a\"b", "c"]),  # escaped quote does not end it
            ('auto s = R"js(say "hi" // here)js";', ['say "hi" // here']),
            ("char c = '\"'; f(\"e\");", ['"', "e"]),  # a quote character opens no literal
            ('u"\\u0628" L"x"', ["\\u0628", "x"]),
        ]
        for source, expected in cases:
            with self.subTest(source=source):
                self.assertEqual(string_literals(source), expected)


class EscapesAndShownTest(unittest.TestCase):
    def test_escapes_stand_for_their_characters(self):
        for text, expected in [("\\u26F6", "\u26f6"), ("\\U0001F512", "\U0001f512"),
                               ("\\u{1F3E0}", "\U0001f3e0"), ("plain", "plain")]:
            with self.subTest(text=text):
                self.assertEqual(with_escapes(text), expected)

    def test_only_drawn_characters_count(self):
        for ch, expected in [("a", False), ("\u0628", True), ("\u064b", True), ("\u200f", False),
                             ("\u200b", False), ("\ufe0f", False), ("\u2014", True)]:
            with self.subTest(code=hex(ord(ch))):
                self.assertEqual(shown(ch), expected)


if __name__ == "__main__":
    unittest.main()
