"""The real game's window on an X display: the window class that groups it
with its desktop entry, and the game's icon."""

import os
import subprocess
import unittest

from harness import BUILD_DIR

HERE = os.path.dirname(os.path.abspath(__file__))
DESKTOP_ENTRY = os.path.join(HERE, "..", "..", "packaging", "io.munchora.Munchora.desktop")


class WindowTest(unittest.TestCase):
    def test_window_class_matches_the_desktop_entry_and_the_icon_is_set(self):
        with open(DESKTOP_ENTRY) as f:
            wm_class = [line.split("=", 1)[1].strip() for line in f if line.startswith("StartupWMClass=")][0]
        result = subprocess.run(["xvfb-run", "-a", os.path.join(HERE, "window_probe.sh"),
                                 os.path.join(BUILD_DIR, "munchora"), "NoMidi"],
                                capture_output=True, text=True, timeout=120)
        self.assertIn(f'WM_CLASS(STRING) = "{wm_class}", "{wm_class}"', result.stdout, result.stderr)
        self.assertIn("_NET_WM_ICON(CARDINAL) = 128, 128", result.stdout)
        # Closed by the desktop, the game ends normally.
        self.assertIn("exit 0", result.stdout)


if __name__ == "__main__":
    unittest.main()
