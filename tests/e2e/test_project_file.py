"""The real program under a real X server: a second start with a file hands it to the running
one's bin and ends with 99, a second start without files ends with 99 and is announced by the
first, a project of the files and a cue is saved with Ctrl+S through the real file dialog, and a
new start with the saved project shows the same files and cues. Titles are exactly the
captions."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")
ONE_INSTANCE = "Only one instance of Slicewell can be active"


def bin_and_cues(accessible, program):
    files = accessible.find(program, "tree", "Project files")
    cues = accessible.find(program, "tree", "Cues")
    return harness.rows_of(accessible, files, 2), harness.rows_of(accessible, cues, 4)


class ProjectFileEndToEnd(unittest.TestCase):
    def test_second_starts_and_the_saved_project_coming_back(self):
        # Breaks when a file opened while the program runs is lost instead of reaching its bin,
        # a second start opens a second window instead of ending with 99, a title carries more
        # than its caption, Ctrl+S on an untitled project does not ask for a name or does not
        # write it, or the saved project loses a file or a cue on the way back.
        with harness.Session(audio=True) as session:
            names = ["one.mp3", "two.mp3"]
            app, accessible, program = harness.start_program(session, PROGRAM, SAMPLE, names)
            window = session.window("^Slicewell 4 - Untitled1$")
            # What the window manager shows, not only the old-style name.
            self.assertEqual(session.xdotool("getwindowname", window), "Slicewell 4 - Untitled1")
            program_path = os.path.abspath(PROGRAM)
            harness.wait_for(lambda: len(bin_and_cues(accessible, program)[0]) == 2, 30,
                             what="both files in the bin")
            cutter = accessible.find(program, "frame", "Cutter (keyboard disabled)")
            selection = accessible.find(cutter, "push button", "Put current selection on cue-list")
            files = accessible.find(program, "tree", "Project files")
            session.click(accessible.find(files, "table cell", "one"), repeat=2)
            harness.wait_for(lambda: accessible.enabled(selection), 10,
                             what="the cutter opening the first file")
            accessible.press(selection)
            harness.wait_for(lambda: bin_and_cues(accessible, program)[1], 10, what="the cue")

            # A file opened from the file manager while the program runs: the later start hands
            # it over, names relative to its own folder included, and ends.
            shutil.copyfile(SAMPLE, os.path.join(session.root, "three.mp3"))
            handing = session.start([program_path, "three.mp3"], cwd=session.root)
            self.assertEqual(handing.wait(30), 99, harness.output(handing)[1])
            harness.wait_for(lambda: [row[0] for row in bin_and_cues(accessible, program)[0]] ==
                             ["one", "two", "three"], 30, what="the handed-over file in the bin")
            self.assertFalse(accessible.find_all(program, "label", ONE_INSTANCE))

            shown = bin_and_cues(accessible, program)
            self.assertEqual([row[0] for row in shown[1]], ["Cue 1: one"])

            session.key(window, "ctrl+s")  # untitled: Save asks for a name first
            project = os.path.join(session.root, "Show.m3p")
            harness.type_file_name(session, "Save current project as", project)
            window = session.window("^Slicewell 4 - Show$")
            self.assertTrue(os.path.getsize(project) > 0)

            second = session.start([program_path], cwd=session.root)
            self.assertEqual(second.wait(30), 99, harness.output(second)[1])
            accessible.find(program, "label", ONE_INSTANCE, timeout=15)
            self.assertEqual(session.xdotool("getwindowname", session.window("^Information$")),
                             "Information")
            accessible.press(accessible.find(program, "push button", "OK"))
            harness.wait_for(lambda: not accessible.find_all(program, "label", ONE_INSTANCE),
                             10, what="the message to close")
            self.assertEqual(bin_and_cues(accessible, program), shown)

            # Saved: quitting asks nothing.
            session.key(window, "alt+F4")
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])

            again = session.start([program_path, project], cwd=session.root)
            session.window("^Slicewell 4 - Show$")
            program = accessible.restarted_application("slicewell")
            harness.wait_for(lambda: bin_and_cues(accessible, program) == shown, 30,
                             what=f"the saved files and cues {shown}")
            session.key(session.window("^Slicewell 4 - Show$"), "alt+F4")
            self.assertEqual(again.wait(15), 0, harness.output(again)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
