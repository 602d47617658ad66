"""The keys beyond the original keyboard design: P pauses, M mutes the
music, both only on the game screen; the window mode is remembered; the key
strip in the panel."""

import os
import unittest

from harness import HeadlessTest, read_png, region_differs, write_level

CORRIDOR = dict(PlayerPointX=1, PlayerPointY=1, EnemyCount=0, BossCount=0, GhostCount=0, BonusLevel=0)
START = "3 key Space\n6 key Enter\n"


def settings(path):
    with open(path, encoding="latin-1") as f:
        general = f.read().split("[General]")[1].split("[")[0]
    return dict(line.split("=", 1) for line in general.split() if "=" in line)


class PauseAndMuteTest(HeadlessTest):
    def test_p_pauses_without_the_prompt_and_y_does_not_quit(self):
        write_level(self.data, 1, ["BBBBBBBBBB", "BCAAAAAAAB", "BBBBBBBBBB"], **CORRIDOR)
        script = START + "10 key Right\n12 key P\n13 dump\n13 shot paused\n20 key Y\n21 dump\n"
        script += "22 key P\n23 dump\n23 shot playing\n30 dump\n32 key P\n33 key Escape\n34 dump\n35 key N\n36 dump\n"
        run = self.run_game(script, frames=40)
        paused = run.state_at(13)
        self.assertTrue(paused["paused"])
        self.assertNotIn("ExitPrompt", [s["image"] for s in paused["sprites"]])
        # Y answers only the exit prompt: during P's pause it leaves nothing.
        still = run.state_at(21)
        self.assertEqual((still["screen"], still["paused"]), ("scGame", True))
        player = [s for s in still["sprites"] if s["class"] == "TPlayerSprite"][0]
        self.assertEqual(player["x"], [s for s in paused["sprites"] if s["class"] == "TPlayerSprite"][0]["x"])
        self.assertFalse(run.state_at(23)["paused"])
        self.assertGreater(run.state_at(30)["score"], run.state_at(23)["score"])
        # The panel says "Paused" below its five lines.
        shots = [read_png(os.path.join(run.out_dir, name + ".png")) for name in ("paused", "playing")]
        self.assertTrue(region_differs(*shots, 590, 170, 800, 200))
        # Escape during P's pause asks whether to quit; N plays on.
        prompt = run.state_at(34)
        self.assertIn("ExitPrompt", [s["image"] for s in prompt["sprites"]])
        self.assertFalse(run.state_at(36)["paused"])

    def test_m_mutes_the_music_and_keeps_the_setting(self):
        write_level(self.data, 1, ["BBBBBB", "BCAAAB", "BBBBBB"], **CORRIDOR)
        before = settings(self.data_path("Munchora.ini"))
        run = self.run_game(START + "10 key M\n11 dump\n20 key M\n21 dump\n", frames=25)
        muted = run.state_at(11)
        self.assertTrue(muted["music_muted"])
        self.assertEqual(muted["settings"]["midi_volume"], int(before["MidiVolume"]))
        self.assertFalse(run.state_at(21)["music_muted"])
        self.assertEqual(settings(self.data_path("Munchora.ini")), before)
        self.assertEqual(run.events_of("settings-written"), [])

    def test_p_and_m_are_letters_on_the_text_screens(self):
        # Main menu: Down to the password button, Enter, then type.
        run = self.run_game("3 key Space\n6 key Down\n8 key Enter\n10 key P\n11 key M\n12 dump\n", frames=15)
        state = run.state_at(12)
        self.assertEqual(state["screen"], "scPassword")
        self.assertEqual(state["input_line"], "PM")
        self.assertFalse(state["paused"] or state["music_muted"])


class WindowModeTest(HeadlessTest):
    def test_alt_enter_remembers_the_mode_for_the_next_start(self):
        run = self.run_game("5 key Alt+Enter\n6 dump\n", frames=8)
        self.assertTrue(run.state_at(6)["full_screen"])
        self.assertEqual(settings(self.data_path("Munchora.ini"))["FullScreen"], "1")
        run = self.run_game("2 dump\n4 key Alt+Enter\n", frames=6)
        self.assertTrue(run.state_at(2)["full_screen"])
        self.assertEqual(settings(self.data_path("Munchora.ini"))["FullScreen"], "0")

    def test_a_file_without_the_key_starts_in_a_window_unless_the_word_asks(self):
        self.assertNotIn("FullScreen", settings(self.data_path("Munchora.ini")))
        self.assertFalse(self.run_game("2 dump\n", frames=3).state_at(2)["full_screen"])
        self.assertTrue(self.run_game("2 dump\n", frames=3, words=["FullScreen"]).state_at(2)["full_screen"])


class KeyStripTest(HeadlessTest):
    def test_the_key_strip_lies_below_the_life_icons(self):
        run = self.run_game(START + "10 dump\n", frames=12)
        sprites = run.state_at(10)["sprites"]
        strip = [s for s in sprites if s["image"] == "KeyHints"]
        self.assertEqual(len(strip), 1)
        lives = [s for s in sprites if s["image"] == "ChomperLife"]
        self.assertTrue(lives)
        # Seven lives fill two rows of icons; fifteen would fill three.
        self.assertGreaterEqual(strip[0]["y"], lives[0]["y"] + 4 * lives[0]["h"])


if __name__ == "__main__":
    unittest.main()
