"""The real program under a real X server, as a user works with a project: it starts with two
files, saves the project with Ctrl+S through the real file dialog, refuses a second instance with
exit code 99, quits, and starts again on the saved project with both files and the cue back."""

import os
import shutil
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.path.abspath(os.environ.get("SLICEWELL", "build/app/slicewell"))
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")


def write_settings(session, **values):
    folder = os.path.join(session.home, ".config", "Harrowlight")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Slicewell.conf"), "w") as store:
        store.write("[General]\n")
        for key, value in values.items():
            store.write(f"{key}={value}\n")


def cell_texts(accessible, tree):
    return [cell.name for cell in accessible.find_all(tree, "table cell")]


def visible(session, title_regex):
    try:
        return bool(session.xdotool("search", "--onlyvisible", "--name", title_regex))
    except harness.HarnessError:
        return False


class MainWindowEndToEnd(unittest.TestCase):
    def test_save_with_ctrl_s_refuse_a_second_instance_and_open_the_project_again(self):
        # Breaks when Ctrl+S does not reach the frame or saves without asking, when a second
        # start runs beside the first, or when the saved project loses files or cues.
        with harness.Session() as session:
            names = []
            for name in ("a.mp3", "b.mp3"):
                names.append(os.path.join(session.root, name))
                shutil.copyfile(SAMPLE, names[-1])
            write_settings(session, CutterAutoPlay=0, SplashDelay=0)
            app = session.start([PROGRAM, "a.mp3", "b.mp3"], cwd=session.root)
            window = session.window("^Slicewell 4 - Untitled1$")
            accessible = session.accessible()
            program = accessible.application("slicewell")
            files = accessible.find(program, "tree", "Project files")
            harness.wait_for(lambda: "b" in cell_texts(accessible, files), 20,
                             what="both files in the project bin")
            # The first file is in the cutter with its marks over the whole file.
            accessible.press(accessible.find(program, "push button",
                                             "Put current selection on cue-list"))
            cues = accessible.find(program, "tree", "Cues")
            harness.wait_for(lambda: cell_texts(accessible, cues), 10, what="the cue")
            cue = cell_texts(accessible, cues)

            session.key(window, "ctrl+s")
            dialog = session.window("^Save current project as$")
            session.focus(dialog)
            target = os.path.join(session.root, "Mix.m3p")
            session.xdotool("key", "--clearmodifiers", "ctrl+a")
            session.xdotool("type", "--delay", "5", target)
            session.xdotool("key", "--clearmodifiers", "Return")
            session.window("^Slicewell 4 - Mix$", timeout=15)
            self.assertTrue(os.path.exists(target))

            second = session.run([PROGRAM, "b.mp3"], timeout=30)
            self.assertEqual(second.returncode, 99, second.stderr)
            # The first instance says so in its own window.
            box = session.window("^Information$")
            session.key(box, "Return")
            harness.wait_for(lambda: not visible(session, "^Information$"), 10,
                             what="the message to close")

            # Saved: quitting asks nothing.
            session.key(window, "alt+F4")
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])

            again = session.start([PROGRAM, target], cwd=session.root)
            session.window("^Slicewell 4 - Mix$")
            program = accessible.application("slicewell")
            files = accessible.find(program, "tree", "Project files")
            harness.wait_for(lambda: "b" in cell_texts(accessible, files), 20,
                             what="the project's files")
            texts = cell_texts(accessible, files)
            self.assertLess(texts.index("a"), texts.index("b"))
            cues = accessible.find(program, "tree", "Cues")
            harness.wait_for(lambda: cell_texts(accessible, cues) == cue, 10,
                             what="the project's cue")
            session.key(session.window("^Slicewell 4 - Mix$"), "alt+F4")
            self.assertEqual(again.wait(15), 0, harness.output(again)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
