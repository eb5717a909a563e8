"""Makes the README's screenshots: the real program on Xvfb with the bundled sample, a few cues
on the cue list, one picture of the whole window and one of each child window. The frame starts
at the pictures' size, so the waveform window takes the workspace's width below the cutter, and
the cue list stands beside the cutter."""

import os
import shutil
import subprocess
import sys
import time

root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(root, "tests", "e2e"))
import harness  # noqa: E402

PROGRAM = os.environ.get("SLICEWELL", os.path.join(root, "build", "app", "slicewell"))
OUT = os.path.join(root, "docs", "images")


def extents(node):
    import pyatspi
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.x, box.y, box.width, box.height


def crop(session, source, target, box):
    x, y, w, h = box
    subprocess.run(["convert", source, "-crop", f"{w}x{h}+{x}+{y}", "+repage", "-strip",
                    target], check=True)


def main():
    os.makedirs(OUT, exist_ok=True)
    with harness.Session(width=1100, height=760, audio=True) as session:
        sample = os.path.join(session.root, "sample.mp3")
        shutil.copyfile(os.path.join(root, "samples", "sample.mp3"), sample)
        folder = os.path.join(session.home, ".config", "Harrowlight")
        os.makedirs(folder)
        with open(os.path.join(folder, "Slicewell.conf"), "w") as store:
            store.write("[General]\nCutterKBControl=1\nCutterAutoPlay=0\nSplashDelay=0\n"
                        "[MainForm]\nLeft=0\nTop=0\nWidth=1100\nHeight=760\nVisible=1\n"
                        "[CueListForm]\nLeft=660\nTop=115\nWidth=400\nHeight=190\nVisible=1\n")
        app = session.start([PROGRAM, sample], cwd=session.root)
        window = session.window("^Slicewell")
        session.xdotool("windowmove", window, "0", "0")
        session.xdotool("windowsize", "--sync", window, "1100", "760")
        accessible = session.accessible()
        program = accessible.application("slicewell")
        cutter = accessible.find(program, "frame", "Cutter (keyboard enabled)")
        bin_list = accessible.find(program, "tree", "Project files")
        session.click(accessible.find(bin_list, "table cell", "sample"), repeat=2)
        time.sleep(1.0)
        session.click(accessible.find(cutter, "label", "Status file"))
        # Three cues, each marked while the sample plays.
        session.key(window, "KP_1")
        for _ in range(3):
            time.sleep(0.8)
            session.key(window, "KP_4")
            time.sleep(1.6)
            session.key(window, "KP_6")
            session.key(window, "KP_Divide")
        time.sleep(1.0)
        session.key(window, "KP_3")  # pause, so the picture shows a position
        time.sleep(0.5)
        whole = os.path.join(session.root, "whole.png")
        session.screenshot(whole, window)
        shutil.copyfile(whole, os.path.join(OUT, "main-window.png"))
        x0, y0, _, _ = extents(accessible.find(program, "frame", "Slicewell 4", timeout=2)
                                if accessible.find_all(program, "frame", "Slicewell 4")
                                else program.getChildAtIndex(0))
        for name, file in (("Cutter (keyboard enabled)", "cutter.png"),
                           ("Project bin", "project-bin.png"), ("Cue list", "cue-list.png"),
                           ("Waveform", "waveform.png")):
            x, y, w, h = extents(accessible.find(program, "frame", name))
            crop(session, whole, os.path.join(OUT, file), (x - x0, y - y0, w, h))
        session.key(window, "alt+F4")
        accessible.press(accessible.find(program, "push button", "Yes"))
        app.wait(15)
    for file in sorted(os.listdir(OUT)):
        print(os.path.join("docs", "images", file))


if __name__ == "__main__":
    main()
