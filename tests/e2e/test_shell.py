"""The screen machine from the intro on: fire, Escape routes, pausing."""

import os
import unittest

from harness import HeadlessTest, read_png, region_differs


class IntroTest(HeadlessTest):
    def test_jingle_once_and_blinking_prompt(self):
        # 10 ms frames: the prompt shows for 300 ms and hides for 300 ms.
        run = self.run_game("5 shot shown\n35 shot hidden\n65 shot again\n", frames=70)
        sounds = run.events_of("sound")
        self.assertEqual(sounds[0], (1, "GameStart -1000"))
        self.assertEqual([s for s in sounds if s[1].startswith("GameStart")], [(1, "GameStart -1000")])
        shown = read_png(os.path.join(run.out_dir, "shown.png"))
        hidden = read_png(os.path.join(run.out_dir, "hidden.png"))
        again = read_png(os.path.join(run.out_dir, "again.png"))
        prompt = (330, 500, 480, 530)
        self.assertTrue(region_differs(shown, hidden, *prompt))
        self.assertFalse(region_differs(shown, again, *prompt))
        self.assertFalse(region_differs(shown, hidden, 0, 0, 800, 480))

    def test_fire_or_escape_leads_to_the_main_menu(self):
        for key in ("Space", "Z", "Escape"):
            run = self.run_game(f"3 dump\n10 key {key}\n10 dump\n", frames=20)
            self.assertEqual(run.state_at(3)["screen"], "scIntro")
            self.assertEqual(run.state_at(10)["screen"], "scMainMenu", key)

    def test_escape_on_the_main_menu_ends_the_program(self):
        run = self.run_game("10 key Space\n20 key Escape\n", frames=100)
        self.assertEqual(run.final["screen"], "scQuit")
        self.assertEqual(run.final["frame"], 20)

    def test_the_jingle_does_not_come_back_with_the_intro(self):
        run = self.run_game("10 key Space\n", frames=30)
        self.assertEqual(len([s for s in run.events_of("sound") if s[1].startswith("GameStart")]), 1)


class ActivationTest(HeadlessTest):
    def test_deactivation_stops_frames_and_marks_the_caption(self):
        run = self.run_game("5 deactivate\n6 dump\n15 key Space\n16 dump\n20 activate\n21 dump\n25 key Space\n"
                            "26 dump\n", frames=30)
        self.assertEqual(run.state_at(6)["caption"], "Munchora [Pause]")
        self.assertFalse(run.state_at(6)["active"])
        # Keys and frames wait while the game has no focus.
        self.assertEqual(run.state_at(16)["screen"], "scIntro")
        self.assertEqual(run.state_at(21)["caption"], "Munchora")
        self.assertEqual(run.state_at(26)["screen"], "scMainMenu")

    def test_close_button_ends_the_program(self):
        run = self.run_game("7 close\n", frames=100)
        self.assertEqual(run.final["frame"], 7)


if __name__ == "__main__":
    unittest.main()
