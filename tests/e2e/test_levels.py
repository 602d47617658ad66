"""The shipped levels on the real data: levels 1 to 9 reached with the Debug
keys Ctrl+1 to Ctrl+9, levels 7, 13, 19 and 25 with their passwords, each
screenshot; the game's dot total and level name are those of the file."""

import os
import unittest

from harness import HeadlessTest, read_png, region_differs

PASSWORDS = {7: "TOQ", 13: "BRAMWEL", 19: "KIV", 25: "DUNSTOR"}


def level_file(data, number):
    """Name and dot count of a level file, read here independently of the game."""
    with open(os.path.join(data, "Levels", f"Level{number:02d}.map"), encoding="latin-1") as f:
        lines = f.read().splitlines()
    general = dict(line.split("=", 1) for line in lines if "=" in line)
    height = int(general["MapHeight"])
    width = int(general["MapWidth"])
    rows = lines[lines.index("[Map]") + 1:][:height]
    return general["Name"], sum(row[:width].count("A") for row in rows)


class LevelsTest(HeadlessTest):
    def check_level(self, state, number):
        name, dots = level_file(self.data, number)
        self.assertEqual(state["screen"], "scGame")
        self.assertEqual(state["current_level"], number)
        self.assertEqual(state["game"]["level_name"], name)
        self.assertEqual(state["game"]["dot_total"], dots)
        self.assertGreaterEqual(dots, 60)

    def test_debug_keys_start_levels_one_to_nine(self):
        script = "3 key Space\n6 key Enter\n"
        frames = {}
        for number in range(1, 10):
            frame = 10 + 20 * number
            frames[number] = frame + 10
            script += f"{frame} key Ctrl+{number}\n{frame + 10} dump\n{frame + 10} shot level{number}\n"
        run = self.run_game(script, frames=frames[9] + 1, words=["Debug"])
        shots = {}
        for number, frame in frames.items():
            self.check_level(run.state_at(frame), number)
            shots[number] = read_png(os.path.join(run.out_dir, f"level{number}.png"))
        # Each maze looks different from the one before it.
        for number in range(2, 10):
            self.assertTrue(region_differs(shots[number - 1], shots[number], 20, 20, 564, 564), number)
        # Each level plays its own tune.
        music = [value for _, value in run.events_of("music")]
        for number in range(1, 10):
            self.assertTrue(any(f"{number:02d}.mid" in value for value in music), number)

    def test_passwords_start_levels_seven_thirteen_nineteen_and_twenty_five(self):
        for number, password in PASSWORDS.items():
            # Leave the intro, choose the password button, type, confirm.
            script = "5 key Escape\n10 key Down\n12 key Enter\n"
            frame = 20
            for letter in password:
                script += f"{frame} key {letter}\n"
                frame += 2
            script += f"{frame} key Enter\n{frame + 10} dump\n{frame + 10} shot password{number}\n"
            run = self.run_game(script, frames=frame + 11, words=["NoMidi"])
            self.check_level(run.state_at(frame + 10), number)
            self.assertTrue(os.path.exists(os.path.join(run.out_dir, f"password{number}.png")))


if __name__ == "__main__":
    unittest.main()
