"""The real program under a real X server: the sample named at start lands in the bin, a
double-click opens it in the cutter, the keypad plays it, sets marks while it plays, puts the
selection on the cue list; the wheel over the seek bar moves what Current shows and Set mark-in
takes that frame; the program quits cleanly."""

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
            status = accessible.find_described(cutter, "label", "Status file")
            # A screen reader hears the panel's text, not what the panel is.
            self.assertEqual(status.name, "sample")
            session.click(status)
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

            # Paused, the wheel over the seek bar moves the player, so the mark set next is the
            # frame Current shows, not one the thumb alone went to.
            session.key(window, "KP_3")
            current = accessible.find_described(cutter, "label", "Current position")
            mark_in = accessible.find_described(cutter, "label", "Mark-in position")
            before = current.name
            seek_bar = accessible.find(cutter, "scroll bar", "Seek bar")
            box = seek_bar.queryComponent().getExtents(accessible.pyatspi.DESKTOP_COORDS)
            session.xdotool("mousemove", "--sync", str(box.x + box.width // 2),
                            str(box.y + box.height // 2))
            session.xdotool("click", "--repeat", "3", "--delay", "80", "5")  # three notches back
            harness.wait_for(lambda: current.name != before, 10,
                             what="Current to follow the wheel over the seek bar")
            session.click(accessible.find(cutter, "push button", "Set mark-in position"))
            harness.wait_for(lambda: mark_in.name == current.name, 10,
                             what=f"mark-in {mark_in.name!r} at Current {current.name!r}")

            # Quit from the keyboard: pressing the menu item through the accessibility bus
            # would wait for the reply until the modal question below is answered.
            session.key(window, "alt+F4")
            # The cue made the project modified: quitting asks first.
            accessible.press(accessible.find(program, "push button", "Yes"))
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
