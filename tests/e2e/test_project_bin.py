"""The real program under a real X server: two files given on the command line fill the bin, one
of them goes to the cue list and is reviewed from there, and the bin saved as a playlist through
the real file dialog holds the same bytes as the playlist the command-line tool writes."""

import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
CLI = os.environ.get("SLICEWELL_CLI", "build/cli/slicewell-cli")
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")


class ProjectBinEndToEnd(unittest.TestCase):
    def test_reviewed_cue_and_bin_saved_as_the_playlist_the_core_writes(self):
        # Breaks when files from the command line do not all reach the bin, a cue's review does
        # not reach the cutter, the bin's save is not the core's playlist, or the dialog's name
        # does not reach the writer.
        with harness.Session(audio=True) as session:
            names = ["first track.mp3", "second.mp3"]
            app, accessible, program = harness.start_program(session, PROGRAM, SAMPLE, names)
            window = session.window("^Slicewell")
            files = accessible.find(program, "tree", "Project files")
            cues = accessible.find(program, "tree", "Cues")
            harness.wait_for(lambda: [r[0] for r in harness.rows_of(accessible, files, 2)] ==
                             ["first track", "second"], 30, what="both files in the bin")

            # Opened from the bin, the first file's marks span it all.
            cutter = accessible.find(program, "frame", "Cutter (keyboard disabled)")
            update = accessible.find(cutter, "push button", "Update currently playing cue")
            selection = accessible.find(cutter, "push button", "Put current selection on cue-list")
            session.click(accessible.find(files, "table cell", "first track"), repeat=2)
            harness.wait_for(lambda: accessible.enabled(selection), 10,
                             what="the cutter opening the first file")
            accessible.press(selection)
            rows = harness.wait_for(lambda: harness.rows_of(accessible, cues, 4), 10,
                                    what="the cue")
            self.assertEqual([row[:2] for row in rows], [["Cue 1: first track", "0"]])
            self.assertFalse(accessible.enabled(update))

            cue = accessible.find(cues, "table cell", "Cue 1: first track")
            session.click(cue)
            harness.open_popup_menu(session, app, cue)
            session.xdotool("key", "r")  # "&Review"
            harness.wait_for(lambda: accessible.enabled(update), 10,
                             what="the cutter to take the cue for review")

            entry = accessible.find(files, "table cell", "second")
            session.click(entry)
            harness.open_popup_menu(session, app, entry)
            session.xdotool("key", "s")  # "&Save bin"
            saved = os.path.join(session.root, "Mix.m3u")
            harness.type_file_name(session, "Save project-bin as", saved)
            harness.wait_for(lambda: os.path.exists(saved), 10, what="the playlist")

            expected = os.path.join(session.root, "tool.m3u")
            subprocess.run([os.path.abspath(CLI), "playlist", expected, *names],
                           cwd=session.root, capture_output=True, timeout=60, check=True)
            with open(saved, "rb") as mine, open(expected, "rb") as core:
                self.assertEqual(mine.read(), core.read())

            session.key(window, "alt+F4")
            accessible.press(accessible.find(program, "push button", "Yes"))
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
