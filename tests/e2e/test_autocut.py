"""The real program under a real X server: the bin's popup menu runs the auto-cutter on the
sample, and the cues it finds land in the cue list exactly as the command-line tool finds them."""

import os
import shutil
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
CLI = os.environ.get("SLICEWELL_CLI", "build/cli/slicewell-cli")
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")


def cli_cues(folder, name):
    # The tool searches a copy of its own, so that its index file cannot feed the program's run.
    work = os.path.join(folder, "cli")
    os.makedirs(work)
    shutil.copyfile(os.path.join(folder, name), os.path.join(work, name))
    result = subprocess.run([os.path.abspath(CLI), "autocut", name], cwd=work,
                            capture_output=True, text=True, timeout=60, check=True)
    return [line.split("\t") for line in result.stdout.splitlines()]


class AutoCutEndToEnd(unittest.TestCase):
    def test_bin_popup_autocut_puts_the_found_cues_on_the_cue_list(self):
        # Breaks when the popup's Autocut does not reach the dialog, the dialog's search does not
        # hand its cues to the cue list, or they differ from what the core finds.
        with harness.Session(audio=True) as session:
            app, accessible, program = harness.start_program(session, PROGRAM, SAMPLE,
                                                             ["sample.mp3"])
            window = session.window("^Slicewell")
            expected = cli_cues(session.root, "sample.mp3")
            self.assertTrue(expected, "the tool found no cue in the sample")
            files = accessible.find(program, "tree", "Project files")
            cues = accessible.find(program, "tree", "Cues")
            entry = harness.wait_for(lambda: accessible.find_all(files, "table cell", "sample"),
                                     20, what="the sample in the bin")[0]
            self.assertEqual(harness.cell_texts(accessible, cues), [])

            # The menu is opened and its entry chosen with real events: a menu item pressed
            # through the accessibility bus would wait for the modal dialog to close.
            session.click(entry)
            harness.open_popup_menu(session, app, entry)
            session.xdotool("key", "a")  # "&Autocut"
            dialog = session.window("^AutoCutter$")
            form = accessible.find(program, "dialog", "AutoCutter")
            self.assertEqual(accessible.text(accessible.find(form, "text", "File")), "sample")
            session.key(dialog, "Return")  # Search is the default button

            rows = harness.wait_for(
                lambda: (lambda r: r if len(r) == len(expected) else None)(
                    harness.rows_of(accessible, cues, 4)), 30, what="the found cues")
            self.assertEqual(rows, expected)
            search = accessible.find(form, "push button", "Search")
            harness.wait_for(lambda: accessible.showing(search), 30,
                             what="the search to end")
            session.key(dialog, "Escape")
            harness.wait_for(lambda: harness.window_gone(session, "^AutoCutter$"), 10,
                             what="the dialog to close")
            self.assertEqual(harness.rows_of(accessible, cues, 4), expected)

            session.key(window, "alt+F4")
            # The cues made the project modified: quitting asks first.
            accessible.press(accessible.find(program, "push button", "Yes"))
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
