"""The benchmark page keeps every section when one benchmark writes its own."""
import os
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
SCRIPT = os.path.join(HERE, "..", "..", "bench", "page_section.py")
sys.path.insert(0, os.path.dirname(SCRIPT))
from page_section import put_section  # noqa: E402


def write(page, name, body):
    return subprocess.run([sys.executable, SCRIPT, name, page], input=body, text=True,
                          capture_output=True).returncode


class SectionsSurviveReruns(unittest.TestCase):
    def setUp(self):
        self.folder = tempfile.TemporaryDirectory()
        self.page = os.path.join(self.folder.name, "benchmarks.md")

    def tearDown(self):
        self.folder.cleanup()

    def read(self):
        with open(self.page) as page:
            return page.read()

    def test_rerun_replaces_only_its_own_section(self):
        # Breaks if a benchmark's rerun drops or duplicates what other benchmarks wrote.
        self.assertEqual(write(self.page, "scan", "## Scan\n\n| a | 1 |\n"), 0)
        self.assertEqual(write(self.page, "cutter", "## Cutter\n\n| b | 2 |\n"), 0)
        self.assertEqual(write(self.page, "scan", "## Scan\n\n| a | 3 |\n"), 0)
        text = self.read()
        self.assertIn("| b | 2 |", text)
        self.assertIn("| a | 3 |", text)
        self.assertNotIn("| a | 1 |", text)
        self.assertEqual(text.count("<!-- begin scan -->"), 1)
        # The replaced section stays where it stood, before the one written after it.
        self.assertLess(text.index("| a | 3 |"), text.index("| b | 2 |"))

    def test_text_outside_the_markers_is_kept(self):
        # Breaks if notes written by hand between sections vanish on a rerun.
        with open(self.page, "w") as page:
            page.write("# Benchmarks\n\nA note.\n\n<!-- begin x -->\nold\n<!-- end x -->\n\nTail.\n")
        self.assertEqual(write(self.page, "x", "new\n"), 0)
        self.assertEqual(self.read(),
                         "# Benchmarks\n\nA note.\n\n<!-- begin x -->\nnew\n<!-- end x -->\n\n"
                         "Tail.\n")

    def test_empty_output_keeps_the_last_figures(self):
        # Breaks if a benchmark that failed to measure blanks its section.
        self.assertEqual(write(self.page, "player", "| old | 28 ms |\n"), 0)
        self.assertNotEqual(write(self.page, "player", "\n"), 0)
        self.assertIn("| old | 28 ms |", self.read())

    def test_similar_names_and_backslashes(self):
        # Breaks if "cue-list" matched inside "cue-list-window", or a regex escape in the
        # section's text were interpreted.
        text = put_section("# B\n", "cue-list-window", "w")
        text = put_section(text, "cue-list", "one")
        text = put_section(text, "cue-list", r"two \1 \n")
        self.assertIn("<!-- begin cue-list-window -->\nw\n", text)
        self.assertIn("<!-- begin cue-list -->\ntwo \\1 \\n\n<!-- end cue-list -->", text)
        self.assertNotIn("one", text)
        with self.assertRaises(ValueError):
            put_section(text, "Bad Name", "x")

    def test_a_missing_page_gets_its_header(self):
        # Breaks if the first benchmark run on a fresh tree wrote a page without its title.
        self.assertEqual(write(self.page, "scan", "## Scan\n"), 0)
        self.assertTrue(self.read().startswith("# Benchmarks\n"))


if __name__ == "__main__":
    unittest.main()
