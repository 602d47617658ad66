"""Whole games on small hand-made mazes: winning a level, losing the last
life, the exit prompt, and the high-score entry at the end."""

import os
import unittest

from harness import HeadlessTest, read_png, write_level

NO_MONSTERS = dict(EnemyCount=0, BossCount=0, GhostCount=0, BonusLevel=0)


class GameTest(HeadlessTest):
    def start_game(self):
        # Fire leaves the intro; Enter on the first menu button starts a game.
        return "3 key Space\n6 key Enter\n"

    def test_eating_every_dot_completes_the_level_and_the_next_one_starts(self):
        write_level(self.data, 1, ["BBBBBB", "BCAAAB", "BBBBBB"], Name="Corridor", PlayerPointX=1,
                    PlayerPointY=1, **NO_MONSTERS)
        write_level(self.data, 2, ["BBBBB", "BCAAB", "BBBBB"], Name="Second", PlayerPointX=1, PlayerPointY=1,
                    **NO_MONSTERS)
        run = self.run_game(self.start_game() + "8 dump\n10 key Right\n60 dump\n60 shot done\n70 key Space\n"
                            "72 dump\n", frames=80)
        start = run.state_at(8)
        self.assertEqual(start["screen"], "scGame")
        self.assertEqual((start["lives"], start["score"], start["game"]["dot_total"]), (3, 0, 3))
        done = run.state_at(60)
        self.assertEqual(done["score"], 30)
        self.assertTrue(done["game"]["all_dots_eaten"])
        self.assertTrue(done["game"]["level_done"])
        self.assertIn("LevelComplete", [s["image"] for s in done["sprites"]])
        sounds = [value.split()[0] for _, value in run.events_of("sound")]
        self.assertEqual(sounds.count("EatDot"), 3)
        self.assertIn("LevelComplete", sounds)
        following = run.state_at(72)
        self.assertEqual(following["game"]["level_name"], "Second")
        self.assertEqual((following["current_level"], following["score"], following["lives"]), (2, 30, 3))

    def test_the_last_life_lost_leads_through_game_over_to_the_name_entry(self):
        write_level(self.data, 1, ["BBBBBBB", "BCAAACB", "BBBBBBB"], PlayerPointX=1, PlayerPointY=1,
                    EnemyPointX=5, EnemyPointY=1, EnemyCount=1, BossCount=0, GhostCount=0, BonusLevel=0)
        script = self.start_game() + "8 key Ctrl+Enter\n9 dump\n200 dump\n200 shot over\n"
        script += "210 key Space\n212 dump\n220 key A\n221 key C\n222 key E\n223 shot entry\n230 key Enter\n"
        script += "232 dump\n232 shot list\n"
        run = self.run_game(script, frames=240, words=["Debug"])
        self.assertEqual(run.state_at(9)["lives"], 1)
        over = run.state_at(200)
        self.assertEqual(over["screen"], "scGameOver")
        self.assertEqual(over["lives"], 0)
        self.assertIn("Death", [v.split()[0] for _, v in run.events_of("sound")])
        self.assertIn("GameOver", [v.split()[0] for _, v in run.events_of("sound")])
        self.assertEqual(run.state_at(212)["screen"], "scNewHighScore")
        final = run.state_at(232)
        self.assertEqual(final["screen"], "scHighScores")
        self.assertEqual(final["high_scores"][0]["name"], "ACE")
        with open(self.data_path("Munchora.hsc"), "rb") as f:
            record = f.read()
        self.assertEqual(len(record), 40)
        self.assertEqual(record[:4], b"\x03ACE")

    def test_exit_prompt_pauses_and_answers_y_or_n(self):
        write_level(self.data, 1, ["BBBBBBBBBB", "BCAAAAAAAB", "BBBBBBBBBB"], PlayerPointX=1, PlayerPointY=1,
                    **NO_MONSTERS)
        script = self.start_game() + "10 key Right\n12 key Escape\n13 dump\n20 dump\n21 key Escape\n22 dump\n"
        script += "25 key N\n26 dump\n30 dump\n32 key Escape\n33 key Y\n34 dump\n"
        run = self.run_game(script, frames=40)
        paused = run.state_at(13)
        self.assertTrue(paused["paused"])
        self.assertIn("ExitPrompt", [s["image"] for s in paused["sprites"]])
        # Nothing moves while paused, and a second Escape changes nothing.
        self.assertEqual(run.state_at(20)["score"], paused["score"])
        self.assertEqual(len([s for s in run.state_at(22)["sprites"] if s["image"] == "ExitPrompt"]), 1)
        resumed = run.state_at(26)
        self.assertFalse(resumed["paused"])
        self.assertGreater(run.state_at(30)["score"], resumed["score"])
        quit = run.state_at(34)
        self.assertEqual(quit["screen"], "scMainMenu")
        self.assertEqual(quit["selected_button"], 1)
        self.assertIn(33, [frame for frame, _ in run.events_of("music-stop")])

    def test_status_panel_shows_the_level(self):
        write_level(self.data, 1, ["BBBBB", "BCAAB", "BBBBB"], Name="Tiny", PlayerPointX=1, PlayerPointY=1,
                    **NO_MONSTERS)
        run = self.run_game(self.start_game() + "20 shot panel\n21 key Escape\n25 shot paused\n", frames=30)
        panel = read_png(os.path.join(run.out_dir, "panel.png"))
        paused = read_png(os.path.join(run.out_dir, "paused.png"))
        green = [(x, y) for y in range(20, 170) for x in range(590, 800) if panel[y][x][1] > 200 > panel[y][x][0]]
        self.assertGreater(len(green), 200)
        # While paused the game frame draws no panel.
        self.assertFalse(any(paused[y][x][1] > 200 > paused[y][x][0] for x, y in green))


if __name__ == "__main__":
    unittest.main()
