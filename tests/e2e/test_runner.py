"""The headless runner's own interface: words, dumps, ending."""

import shutil
import unittest

from harness import HeadlessTest


class RunnerTest(HeadlessTest):
    def test_words_are_compared_exactly(self):
        run = self.run_game("1 dump\n", frames=50, words=["Debug", "debug", "NoSound"])
        self.assertEqual(run.final["start_options"], ["Debug", "NoSound"])
        self.assertEqual(run.final["settings"], {"wave_volume": -1000, "midi_volume": 200, "timer": 10,
                                                 "game_type": "gtFeatures"})

    def test_frames_limit_and_virtual_time(self):
        run = self.run_game("10 dump\n20 dump\n", frames=50)
        self.assertEqual(run.final["frame"], 50)
        # The frame interval is 10 ms: time moves 10 ms per runner frame.
        self.assertEqual(run.state_at(10)["time_ms"], 100)
        self.assertEqual(run.state_at(20)["time_ms"], 200)

    def test_missing_levels_end_the_program_with_a_message(self):
        shutil.rmtree(self.data_path("Levels"), ignore_errors=True)
        run = self.run_game("", frames=50)
        self.assertIn((0, "Munchora|No levels were found"), run.events_of("message"))
        self.assertLess(run.final["frame"], 50)

    def test_bad_script_is_a_usage_error(self):
        run = self.run_game("1 jump\n", frames=5, expect_ok=False)
        self.assertEqual(run.returncode, 2)
        self.assertIn("script line 1", run.stderr)


if __name__ == "__main__":
    unittest.main()
