"""The real program under a real X server: the waveform window shows the sample's sound where the
decoder hears it, a click on it moves the cutter to the frame under the pointer, and a drag marks
a selection that goes to the cue list."""

import array
import os
import subprocess
import sys
import unittest

sys.path.insert(0, os.path.dirname(__file__))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", "build/app/slicewell")
SAMPLE = os.environ.get("SLICEWELL_SAMPLE", "samples/sample.mp3")
SAMPLES_PER_FRAME = 1152


def frame_peaks(path):
    """The decoder's peak of every frame, numbered as the program's index numbers them: lame's
    Info frame, which mpg123 does not put out, is frame 0."""
    raw = subprocess.run(["mpg123", "-q", "--no-gapless", "-s", path], capture_output=True,
                         check=True, timeout=60).stdout
    samples = array.array("h")
    samples.frombytes(raw)
    peaks = [0]
    for start in range(0, len(samples) - SAMPLES_PER_FRAME + 1, SAMPLES_PER_FRAME):
        peaks.append(max(abs(v) for v in samples[start:start + SAMPLES_PER_FRAME]))
    return peaks


def column_colours(session, x, top, height):
    """The colours of one screen column, top to bottom."""
    shot = os.path.join(session.root, "column.png")
    session.screenshot(shot)
    text = subprocess.run(["convert", shot, "-crop", f"1x{height}+{x}+{top}", "+repage", "txt:-"],
                          capture_output=True, text=True, check=True).stdout
    return [line.split()[2] for line in text.splitlines()[1:]]


class WaveformEndToEnd(unittest.TestCase):
    def test_the_waveform_shows_the_sound_and_its_clicks_and_drags_drive_the_cutter(self):
        # Breaks when the window draws levels where the decoder hears none (or none where it
        # hears speech), a click moves the cutter to another frame than the one under the
        # pointer, or a drag's marks are not the ones the cutter hands to the cue list.
        with harness.Session(audio=True) as session:
            app, accessible, program = harness.start_program(session, PROGRAM, SAMPLE,
                                                             ["sample.mp3"], ShowCutterTime=0)
            window = session.window("^Slicewell")
            session.xdotool("windowsize", "--sync", window, "1200", "780")
            files = accessible.find(program, "tree", "Project files")
            session.click(accessible.find(files, "table cell", "sample"), repeat=2)

            cutter = accessible.find(program, "frame", "Cutter (keyboard disabled)")
            frame = accessible.find(program, "frame", "Waveform")
            canvas = [node for node in accessible.find_all(frame, name="Waveform")
                      if node.getRoleName() != "frame" and node.childCount == 0][0]
            summary = accessible.find(frame, "label", "Waveform position")
            levels = accessible.find(frame, "label", "Waveform levels")
            # A label's name says what it is; its description carries what it shows.
            harness.wait_for(lambda: summary.description
                             == "Position 0   Mark-in 0   Mark-out 696", 20,
                             what="the waveform showing the sample")
            harness.wait_for(lambda: levels.description == "", 30,
                             what="the sample's levels decoded")
            self.assertEqual(canvas.description, summary.description)


            import pyatspi
            box = canvas.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            frames = 697

            def x_of(frame_number):
                return box.x + int((frame_number + 0.5) * box.width / frames)

            def frame_at(x):
                return int((x - box.x + 0.5) * frames / box.width)

            # Sound: a loud frame of speech shows ink above and below the middle, the middle of
            # the longest pause shows none.
            peaks = frame_peaks(os.path.join(session.root, "sample.mp3"))
            loud = max(range(40, frames - 40), key=lambda f: peaks[f])
            quiet_runs, start = [], None
            for f in range(1, frames):
                if peaks[f] < 100 and start is None:
                    start = f
                elif peaks[f] >= 100 and start is not None:
                    quiet_runs.append((f - start, start))
                    start = None
            length, start = max(quiet_runs)
            quiet = start + length // 2
            self.assertGreater(length, 20, "the sample's pauses are longer than that")
            top = box.y + box.height // 3
            height = box.height - box.height // 3 - 2
            ground = column_colours(session, x_of(quiet), top, height)
            background = max(set(ground), key=ground.count)
            speech = column_colours(session, x_of(loud), top, height)
            self.assertLessEqual(sum(c != background for c in ground), 3, ground)
            self.assertGreater(sum(c != background for c in speech), height // 10)

            # The cue list, which lies over the waveform where they meet, goes out of the way
            # (F7); the first cue brings it back.
            session.key(window, "F7")
            cue_tree = accessible.find(program, "tree", "Cues")
            harness.wait_for(lambda: not accessible.showing(cue_tree), 10,
                             what="the cue list hidden")

            # "+" from the keyboard zooms in ("Zoom out" becomes available), "w" shows the whole
            # file again.
            zoom_out = accessible.find(frame, "push button", "Zoom out")
            self.assertFalse(accessible.enabled(zoom_out))
            session.click(canvas)
            session.xdotool("key", "--clearmodifiers", "plus")
            harness.wait_for(lambda: accessible.enabled(zoom_out), 10, what="the zoom")
            session.xdotool("key", "--clearmodifiers", "w")
            harness.wait_for(lambda: not accessible.enabled(zoom_out), 10, what="the whole file")

            # A click puts the cutter on the frame under the pointer.
            y = box.y + box.height * 3 // 4
            x = x_of(300)
            session.xdotool("mousemove", "--sync", str(x), str(y))
            session.xdotool("click", "1")
            harness.wait_for(lambda: summary.description.startswith(f"Position {frame_at(x)} "),
                             10, what=f"the waveform's position at frame {frame_at(x)}")

            # A drag from right to left marks the frames under its two ends.
            x1, x2 = x_of(200), x_of(120)
            session.xdotool("mousemove", "--sync", str(x1), str(y))
            session.xdotool("mousedown", "1")
            session.xdotool("mousemove", "--sync", str((x1 + x2) // 2), str(y))
            session.xdotool("mousemove", "--sync", str(x2), str(y))
            session.xdotool("mouseup", "1")
            first, last = frame_at(x2), frame_at(x1)
            harness.wait_for(lambda: summary.description.endswith(
                f"Mark-in {first}   Mark-out {last}"), 10, what="the dragged marks")

            # The cutter's own buttons put its position (where the click put it; the drag left
            # it there) and its selection on the cue list.
            session.click(accessible.find(cutter, "push button",
                                          "Put current position on cue-list"))
            session.click(accessible.find(cutter, "push button",
                                          "Put current selection on cue-list"))
            rows = harness.wait_for(lambda: (lambda r: r if len(r) == 2 else None)(
                harness.rows_of(accessible, cue_tree, 4)), 10, what="the two cues on the cue list")
            self.assertEqual(rows[0][:3], ["Cue 1: sample", str(frame_at(x)), str(frame_at(x))])
            self.assertEqual(rows[1][:3], ["Cue 2: sample", str(first), str(last)])
            session.screenshot(os.path.join(session.root, "waveform.png"), window)

            session.key(window, "alt+F4")
            accessible.press(accessible.find(program, "push button", "Yes"))
            self.assertEqual(app.wait(15), 0, harness.output(app)[1])


if __name__ == "__main__":
    unittest.main(verbosity=2)
