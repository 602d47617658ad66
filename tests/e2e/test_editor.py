"""The level editor end to end: a small level built with the keyboard and
the mouse, test-played to a clear (kept as its proof), saved and exported;
the exported set imported into a fresh program directory, its proof played
again there."""

import os
import shutil

from harness import HeadlessTest

# Main menu: Up twice from New Game is the Editor. The blank level shrinks to
# 5 x 3 (Shift+Down picks a header value, Shift+Left lowers it), keeps no
# monsters, and the mouse puts the hero in its first cell.
BUILD = ["3 key Space", "12 key Up", "14 key Up", "16 key Enter", "20 key Shift+Down"]
BUILD += [f"{21 + i} key Shift+Left" for i in range(12)]
BUILD += ["33 key Shift+Down"] + [f"{34 + i} key Shift+Left" for i in range(14)]
BUILD += ["48 key Shift+Down", "49 key Shift+Left", "50 key Shift+Left", "60 key 7", "62 click 45 58", "70 dump"]
# Test-play: right along the corridor, a key after the clear; then save and export.
PLAY = ["80 key T", "90 down Right", "200 up Right", "210 key Space", "300 dump", "310 key E", "320 dump"]


class EditorTest(HeadlessTest):
    def test_a_level_built_played_and_exported_imports_with_its_proof(self):
        run = self.run_game("\n".join(BUILD + PLAY) + "\n", frames=330)
        built = run.state_at(70)["editor"]
        self.assertTrue(built["level"].endswith("[Map]\nBBBBB\nBAAAB\nBBBBB\n"), built["level"])
        self.assertIn("PlayerPointX=1\nPlayerPointY=1\n", built["level"])
        self.assertEqual(run.state_at(300)["editor"]["status"], "Cleared: the recording is kept as the level's proof")
        self.assertEqual(run.state_at(300)["editor"]["undo_steps"], built["undo_steps"])  # kept across the play
        exported = self.data_path("exports", "MyLevels.mnl")
        self.assertEqual(run.state_at(320)["editor"]["status"], "Exported to " + exported)
        self.assertEqual(sorted(os.listdir(self.data_path("levels", "MyLevels"))),
                         ["Level01.bmp", "Level01.map", "Level01.mnr"])

        # A friend's fresh program directory: the set imports and its proof holds.
        fresh = os.path.join(self.work, "fresh")
        shutil.copytree(self.data, fresh, ignore=shutil.ignore_patterns("levels", "exports", "sets", "editor-test"))
        shared = os.path.join(self.work, "From a friend.mnl")
        shutil.copy(exported, shared)
        self.data = fresh
        imported = self.run_game("3 key Space\n6 key Enter\n20 dump\n", frames=25, args=["--levels", shared])
        self.assertIn("level set Fromafriend: level 1 of 1 is proven", imported.stdout)
        self.assertEqual(imported.state_at(20)["game"]["map_width"], 5)

    def test_the_bot_estimates_how_hard_the_level_plays_while_the_editor_goes_on(self):
        os.makedirs(self.data_path("levels", "MyLevels"))
        shutil.copy(self.data_path("Levels", "Level01.map"), self.data_path("levels", "MyLevels", "Level01.map"))
        # The editor's frames run on, many to the bot's second, until it has played.
        dumps = "".join(f"{frame} dump\n" for frame in range(100000, 8000001, 100000))
        run = self.run_game("3 key Space\n12 key Up\n14 key Up\n16 key Enter\n20 key D\n" + dumps, frames=8000000,
                            args=["--no-draw", "--estimates"], repeatable=False)
        estimates = [state["editor"]["estimate"] for state in run.states]
        self.assertEqual(estimates[0], "The playtest bot plays the level...")
        self.assertRegex(estimates[-1], r"^Cleared by expert \d+% regular \d+% casual \d+% \(20% at least\); "
                                        r"a still player caught after [\d.]+ s")
