"""The real program under a real X server: the sample named at start lands in the bin, a
double-click opens it in the cutter, the keypad plays it, sets marks while it plays, puts the selection on the cue list and quits cleanly."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")


class CutterEndToEnd(unittest.TestCase):
    def test_keys_play_mark_and_put_the_selection_on_the_cue_list(self):
        # Breaks when the keypad does not reach the cutter, marks are not taken from the audible
        # frame, or the program does not shut down cleanly from its own menu.
        with harness.Session(audio=True) as session:
            app, accessible, program = harness.start_program(session, PROGRAM, SAMPLE,
                                                             ["sample.mp3"], CutterKBControl=1)
            window = session.window("^Slicewell")
            cutter = accessible.find(program, "frame", "Cutter (keyboard enabled)")
            cues = accessible.find(program, "tree", "Cues")
            self.assertEqual(harness.cell_texts(accessible, cues), [])

            # Named at start, the file waits in the bin until the user opens it.
            play = accessible.find(cutter, "push button", "Play complete file")
            self.assertFalse(accessible.enabled(play))
            bin_list = accessible.find(program, "tree", "Project files")
            session.click(accessible.find(bin_list, "table cell", "sample"), repeat=2)
            harness.wait_for(lambda: accessible.enabled(play), 10,
                             what="the cutter opening the sample")
            session.click(accessible.find_described(cutter, "label", "Status file"))
            session.key(window, "KP_1")  # play
            time.sleep(1.0)
            session.key(window, "KP_4")  # mark-in at the audible frame
            time.sleep(1.5)
            session.key(window, "KP_6")  # mark-out
            session.key(window, "KP_Divide")  # selection to the cue list

            cells = harness.wait_for(lambda: harness.cell_texts(accessible, cues), 10,
                                     what="a cue in the cue list")
            self.assertEqual(len(cells), 4, cells)
            name, first, last = cells[0], int(cells[1]), int(cells[2])
            self.assertEqual(name, "Cue 1: sample")
            self.assertGreater(first, 0)
            # About one and a half seconds of play lie between the marks.
            self.assertGreater(last - first, 20)
            self.assertLess(last - first, 400)
            session.screenshot(os.path.join(session.root, "cutter.png"))

            # Quit from the keyboard: pressing the menu item through the accessibility bus
            # would wait for the reply until the modal question below is answered.
            session.key(window, "alt+F4")
            # The cue made the project modified: quitting asks first.
            accessible.press(accessible.find(program, "push button", "Yes"))
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
