"""A random player on every screen, with the test keys on: the run must end
normally (no crash, and under the sanitizers no report) with a sane state.
MUNCHORA_MONKEY_FRAMES sets the length, 20,000 frames unless given."""

import os
import unittest

from harness import HeadlessTest
from monkey import monkey_script

FRAMES = int(os.environ.get("MUNCHORA_MONKEY_FRAMES", "20000"))


class MonkeyTest(HeadlessTest):
    def test_random_keys_everywhere(self):
        for seed in (1, 2):
            # Quitting is one of the things a monkey does: keep going until
            # the frames are used up, one run after another.
            frames_left = FRAMES // 2
            run_seed = seed * 1000
            while frames_left > 0:
                run = self.run_game(monkey_script(run_seed, frames_left), frames=frames_left, words=["Debug"])
                self.assertIsNotNone(run.final, run.stderr)
                self.assertNotIn("runtime error", run.stderr)
                self.assertNotIn("Sanitizer", run.stderr)
                self.assertGreater(run.final["frame"], 0)
                self.assertGreaterEqual(run.final["lives"], -1)
                frames_left -= run.final["frame"]
                run_seed += 1


if __name__ == "__main__":
    unittest.main()
