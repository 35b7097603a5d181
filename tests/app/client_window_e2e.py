#!/usr/bin/env python3
"""Starts the built duskshell.exe under Wine as a player would and checks, from the X display,
what the player sees: the frame's window, its size and place, dragging, the hidden start and
the boss key. Runs inside the environment of tools/test.sh (WINEPREFIX, DISPLAY)."""
import os
import shutil
import subprocess
import sys
import tempfile
import time
import unittest

EXE = sys.argv.pop(1) if len(sys.argv) > 1 else None
SRC = os.environ.get("DUSK_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
TITLE = "^KorvaneDuskreign$"


def xdotool(*args, check=False):
    r = subprocess.run(["xdotool", *args], capture_output=True, text=True, timeout=30)
    if check and r.returncode != 0:
        raise AssertionError("xdotool %s failed: %s" % (" ".join(args), r.stderr))
    return r.stdout.split()


def wait_for(predicate, timeout, step=0.2):
    end = time.time() + timeout
    while time.time() < end:
        value = predicate()
        if value:
            return value
        time.sleep(step)
    return predicate()


def geometry(window):
    out = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                         capture_output=True, text=True, timeout=30).stdout
    values = dict(line.split("=", 1) for line in out.split() if "=" in line)
    return int(values["X"]), int(values["Y"]), int(values["WIDTH"]), int(values["HEIGHT"])


def screen_size():
    w, h = xdotool("getdisplaygeometry", check=True)
    return int(w), int(h)


def pixel(png, x, y):
    convert = "/usr/bin/convert-im6.q16" if os.path.exists("/usr/bin/convert-im6.q16") else "/usr/bin/convert"
    out = subprocess.run([convert, png, "-alpha", "off", "-crop", "1x1+%d+%d" % (x, y), "-depth", "8", "txt:-"],
                         capture_output=True, text=True, timeout=30).stdout
    return out.strip().splitlines()[-1].split()[2]


class Client:
    """One client process started from its own folder inside the prefix."""

    def __init__(self, folder, args=()):
        with open(os.path.join(folder, "wine.log"), "w") as log:
            self.proc = subprocess.Popen(["wine", os.path.join(folder, "duskshell.exe"), *args], cwd=folder,
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log)

    def stop(self):
        if self.proc.poll() is None:
            self.proc.kill()
        self.proc.wait(timeout=30)


@unittest.skipUnless(EXE and os.path.exists(EXE), "duskshell.exe not built")
class ClientWindow(unittest.TestCase):
    def setUp(self):
        drive = os.path.join(os.environ["WINEPREFIX"], "drive_c")
        self.folder = tempfile.mkdtemp(prefix="e2e_client_", dir=drive)
        shutil.copy(EXE, os.path.join(self.folder, "duskshell.exe"))
        self.client = None

    def tearDown(self):
        if self.client:
            self.client.stop()
        shutil.rmtree(self.folder, ignore_errors=True)

    def start(self, *args):
        self.client = Client(self.folder, args)

    def visible_frames(self):
        return xdotool("search", "--onlyvisible", "--name", TITLE)

    def test_frame_is_centred_and_draggable(self):
        self.start()
        windows = wait_for(self.visible_frames, 60)
        self.assertEqual(len(windows), 1, "one visible frame")
        x, y, w, h = geometry(windows[0])
        sw, sh = screen_size()
        self.assertEqual((w, h), (1190, 700))
        self.assertEqual((x, y), ((sw - 1190) // 2, (sh - 700) // 2))

        # What the player sees inside the web area is the opaque skin as drawn.
        shot = os.path.join(self.folder, "screen.png")
        time.sleep(1)
        subprocess.run(["import", "-window", "root", shot], check=True, timeout=60)
        skin = os.path.join(SRC, "resources", "client", "art", "149.png")
        for px, py in [(600, 300), (450, 160), (1030, 515)]:
            self.assertEqual(pixel(shot, x + px, y + py), pixel(skin, px, py), (px, py))

        # Pressing on the skin outside the buttons drags the frame.
        xdotool("mousemove", "--sync", str(x + 700), str(y + 400), check=True)
        xdotool("mousedown", "1", check=True)
        for step in range(1, 11):
            xdotool("mousemove", "--sync", str(x + 700 + 12 * step), str(y + 400 + 5 * step))
            time.sleep(0.05)
        xdotool("mouseup", "1", check=True)
        moved = wait_for(lambda: geometry(windows[0])[:2] != (x, y) and geometry(windows[0]), 10)
        self.assertTrue(moved, "the frame did not move")
        nx, ny, _, _ = moved
        self.assertEqual((nx - x, ny - y), (120, 50))

        # The close button asks first; OK ends the program.
        xdotool("mousemove", "--sync", str(nx + 1080), str(ny + 140), check=True)
        time.sleep(0.3)
        xdotool("click", "1", check=True)
        box = wait_for(lambda: xdotool("search", "--onlyvisible", "--name", "^退出提示$"), 20)
        self.assertTrue(box, "the exit confirmation did not appear")
        xdotool("windowfocus", "--sync", box[0])
        xdotool("key", "Return", check=True)
        self.assertTrue(wait_for(lambda: self.client.proc.poll() is not None, 20), "OK ends the program")
        self.assertEqual(self.client.proc.returncode, 0)

    def test_hidden_start_shows_nothing_until_the_boss_key(self):
        self.start("-hh")
        hidden = wait_for(lambda: xdotool("search", "--name", TITLE), 60)
        self.assertTrue(hidden, "the frame window exists")
        time.sleep(2)
        self.assertEqual(self.visible_frames(), [])

        # Hot keys reach Wine programs only while a Wine window has the focus.
        tray = wait_for(lambda: xdotool("search", "--name", "Wine System Tray"), 20)
        self.assertTrue(tray, "no Wine window to give the focus to")
        xdotool("windowfocus", "--sync", tray[0])
        xdotool("key", "F10", check=True)
        shown = wait_for(self.visible_frames, 20)
        self.assertEqual(len(shown), 1, "F10 shows the frame")
        xdotool("windowfocus", "--sync", shown[0])
        xdotool("key", "F10", check=True)
        self.assertTrue(wait_for(lambda: self.visible_frames() == [], 20), "F10 hides it again")

        # The tray icon (below the tray window's caption, 20 px wide from its left): a
        # double-click shows the frame, and the only item of its menu ends the program. Icons of
        # clients that other tests killed may still stand before ours.
        tx, ty, _, th = geometry(tray[0])
        for slot in range(8):
            xdotool("mousemove", "--sync", str(tx + 10 + 20 * slot), str(ty + th - 12), check=True)
            xdotool("click", "--repeat", "2", "--delay", "80", "1", check=True)
            if wait_for(self.visible_frames, 3):
                break
        self.assertEqual(len(self.visible_frames()), 1, "double-click shows the frame")
        before = set(xdotool("search", "--onlyvisible", "--name", ".*"))
        xdotool("click", "3", check=True)
        menu = wait_for(lambda: list(set(xdotool("search", "--onlyvisible", "--name", ".*")) - before), 10)
        self.assertEqual(len(menu), 1, "right-click opens the tray menu")
        mx, my, mw, mh = geometry(menu[0])
        xdotool("mousemove", "--sync", str(mx + mw // 2), str(my + mh // 2), check=True)
        xdotool("click", "1", check=True)
        self.assertTrue(wait_for(lambda: self.client.proc.poll() is not None, 20), "退出 ends the program")
        self.assertEqual(self.client.proc.returncode, 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
