"""The installed game: where `cmake --install` puts each file, that the
desktop files and the manual page pass their checkers, and where the game
keeps its settings when run from a build directory or a read-only install."""

import os
import shutil
import subprocess
import tempfile
import unittest

from harness import BUILD_DIR, NOBODY

# The real executable cannot open a window here: it ends at once with its
# message, after having chosen where its settings live.
NO_WINDOW = {"SDL_VIDEODRIVER": "no-such-driver", "SDL_AUDIODRIVER": "dummy"}


class InstallTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.work = tempfile.mkdtemp(prefix="munchora_install_")
        os.chmod(cls.work, 0o755)
        cls.prefix = os.path.join(cls.work, "prefix")
        subprocess.run(["cmake", "--install", BUILD_DIR, "--prefix", cls.prefix],
                       check=True, capture_output=True, text=True)

    @classmethod
    def tearDownClass(cls):
        for root, dirs, _ in os.walk(cls.work):
            for name in dirs:
                os.chmod(os.path.join(root, name), 0o755)
        shutil.rmtree(cls.work, ignore_errors=True)

    def path(self, *parts):
        return os.path.join(self.prefix, *parts)

    def test_files_go_where_the_layout_puts_them(self):
        self.assertTrue(os.access(self.path("bin", "munchora"), os.X_OK))
        self.assertTrue(os.access(self.path("libexec", "munchora", "munchora"), os.X_OK))
        for entry in ("Munchora.ini", "Levels", "Music", "Data"):
            self.assertTrue(os.path.exists(self.path("share", "munchora", entry)), entry)
        for entry in (("applications", "io.munchora.Munchora.desktop"),
                      ("metainfo", "io.munchora.Munchora.metainfo.xml"),
                      ("icons", "hicolor", "128x128", "apps", "io.munchora.Munchora.png"),
                      ("man", "man6", "munchora.6"),
                      ("doc", "munchora", "LICENSE")):
            self.assertTrue(os.path.isfile(self.path("share", *entry)), entry)
        self.assertFalse(os.path.exists(self.path("lib")))

    def test_desktop_files_and_manual_pass_their_checkers(self):
        for command in (["desktop-file-validate", self.path("share", "applications", "io.munchora.Munchora.desktop")],
                        ["appstreamcli", "validate", "--no-net",
                         self.path("share", "metainfo", "io.munchora.Munchora.metainfo.xml")]):
            result = subprocess.run(command, capture_output=True, text=True)
            self.assertEqual(result.returncode, 0, result.stdout + result.stderr)
        manual = self.path("share", "man", "man6", "munchora.6")
        result = subprocess.run(["man", "--warnings", "-l", manual], capture_output=True, text=True,
                                env=dict(os.environ, MANWIDTH="80"))
        self.assertEqual(result.returncode, 0)
        self.assertEqual(result.stderr, "")
        # The manual names the data directory of this installation.
        with open(manual, encoding="utf-8") as f:
            self.assertIn(self.path("share", "munchora"), f.read())

    def run_real_game(self, executable, home, unprivileged=False):
        prefix = []
        if unprivileged and os.geteuid() == 0:
            os.chown(home, NOBODY, NOBODY)
            prefix = ["setpriv", f"--reuid={NOBODY}", f"--regid={NOBODY}", "--clear-groups"]
        env = dict(os.environ, HOME=home, **NO_WINDOW)
        env.pop("XDG_DATA_HOME", None)
        result = subprocess.run(prefix + [executable], capture_output=True, text=True, env=env, timeout=60)
        self.assertIn("Can't initialize the display", result.stderr)

    def test_read_only_install_keeps_settings_with_the_user(self):
        home = os.path.join(self.work, "home-installed")
        os.makedirs(home)
        data = self.path("share", "munchora")
        os.chmod(data, 0o555)
        try:
            self.run_real_game(self.path("bin", "munchora"), home, unprivileged=True)
        finally:
            os.chmod(data, 0o755)
        with open(os.path.join(data, "Munchora.ini"), "rb") as f:
            shipped = f.read()
        with open(os.path.join(home, ".local", "share", "munchora", "Munchora.ini"), "rb") as f:
            self.assertEqual(f.read(), shipped)

    def test_build_directory_creates_nothing_in_the_users_home(self):
        home = os.path.join(self.work, "home-build")
        os.makedirs(home)
        self.run_real_game(os.path.join(BUILD_DIR, "munchora"), home)
        self.assertFalse(os.path.exists(os.path.join(home, ".local", "share", "munchora")))


if __name__ == "__main__":
    unittest.main()
