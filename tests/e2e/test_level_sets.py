"""Level sets of the player's: a folder or a shared .mnl file played with
--levels, pictures made for levels without one, high scores and recordings
kept per set, and a damaged or hostile pack refused with the game's message
before anything of it is written."""

import json
import os
import struct
import zlib

import test_editor
import test_server
from harness import HeadlessTest

# Two small levels: a corridor of dots, the hero at one end.
LEVEL = "[General]\nName={name}\nTheme=Candy\nMapWidth=7\nMapHeight=3\nPlayerPointX=1\nPlayerPointY=1\n" \
        "KeyExist=0\nEnemyPointX=5\nEnemyPointY=1\nEnemyCount=0\nBossCount=0\nGhostCount=0\nBonusLevel=0\n" \
        "[Map]\nBBBBBBB\nBCAAAAB\nBBBBBBB\n"
# Right along the corridor: level 1 is cleared, a key and level 2 starts.
CLEAR_ONE = "3 key Space\n6 key Enter\n40 down Right\n120 up Right\n150 key Space\n210 dump\n"


def pack(files):
    """A .mnl file of {name: bytes} (docs/level-set-format.md)."""
    out = b"MNLS" + struct.pack("<HI", 1, len(files))
    for name in sorted(files):
        out += struct.pack("<H", len(name)) + name.encode() + struct.pack("<I", len(files[name])) + files[name]
    return out + struct.pack("<I", zlib.crc32(out))


class LevelSetTest(HeadlessTest):
    @staticmethod
    def set_files(_=None):
        return {f"Level0{n}.map": LEVEL.format(name=f"Corridor {n}").encode() for n in (1, 2)}

    def test_a_folder_plays_with_its_own_pictures_scores_and_recordings(self):
        folder = os.path.join(self.work, "Corridors")
        os.makedirs(folder)
        for name, data in self.set_files().items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
        run = self.run_game(CLEAR_ONE + "400 key Escape\n402 key Y\n", frames=420, args=["--levels", folder])
        state = run.state_at(210)
        self.assertEqual((state["screen"], state["current_level"]), ("scGame", 2))
        self.assertTrue(os.path.exists(os.path.join(folder, "Level01.bmp")))  # made by the game
        self.assertTrue(os.path.exists(os.path.join(folder, "Level02.bmp")))
        own = self.data_path("sets", "Corridors")
        recordings = os.listdir(os.path.join(own, "replays"))
        self.assertEqual(recordings, ["game-000001.mnr"])
        self.assertFalse(os.path.exists(self.data_path("replays", "game-000001.mnr")))
        # The recording plays again on its own set, and not on the shipped one.
        replay = os.path.join(own, "replays", "game-000001.mnr")
        self.run_game(frames=2000, args=["--replay", replay, "--verify", "--levels", folder])
        other = self.run_game(frames=50, args=["--replay", replay, "--verify"], expect_ok=False)
        self.assertIn("recorded with other levels", other.stdout)

    def test_a_shared_file_is_kept_among_the_sets_and_played(self):
        shared = os.path.join(self.work, "Two Corridors!.mnl")
        with open(shared, "wb") as f:
            f.write(pack(self.set_files()))
        run = self.run_game(CLEAR_ONE, frames=220, args=["--levels", shared])
        self.assertEqual(run.state_at(210)["current_level"], 2)
        kept = self.data_path("levels", "TwoCorridors")
        self.assertEqual(sorted(os.listdir(kept)),
                         ["Level01.bmp", "Level01.map", "Level02.bmp", "Level02.map", "proven.txt"])
        self.assertIn("level set TwoCorridors: no level of 2 is proven", run.stdout)

    def test_a_damaged_or_hostile_pack_is_refused_before_anything_is_written(self):
        good = pack(self.set_files())
        hostile = pack({**self.set_files(), "../../escape.map": b"x"})
        cases = {
            "damaged": (good[:-5] + bytes([good[-5] ^ 1]) + good[-4:], "This level set file is damaged"),
            "hostile": (hostile, "This level set holds a file no level set may hold"),
            "no first level": (pack({"Level02.map": self.set_files()["Level02.map"]}),
                               "The level set has no first level"),
            "a broken level": (pack({"Level01.map": b"[General]\nMapWidth=99\n[Map]\n"}), "Error file Level01.map"),
        }
        for name, (data, message) in cases.items():
            with self.subTest(name):
                path = os.path.join(self.work, "set.mnl")
                with open(path, "wb") as f:
                    f.write(data)
                run = self.run_game(frames=5, args=["--levels", path], expect_ok=False)
                self.assertEqual(run.returncode, 1)
                self.assertIn(message, run.stderr)
                self.assertFalse(os.path.exists(self.data_path("levels", "set")))
                self.assertFalse(os.path.exists(os.path.join(self.work, "escape.map")))


class SharedOnTheTableTest(test_server.ServerFixture):
    def test_a_proven_set_is_stored_listed_and_served_and_an_unproven_one_refused(self):
        # A level made, cleared and exported in the editor carries its proof.
        self.run_game("\n".join(test_editor.BUILD + test_editor.PLAY) + "\n", frames=330)
        with open(self.data_path("exports", "MyLevels.mnl"), "rb") as f:
            proven = f.read()
        status, stored = self.call("/api/levelsets?name=My%20first%20maze", proven)
        self.assertEqual(status, 201, stored)
        self.assertEqual((stored["name"], stored["levels"]), ("My first maze", 1))
        self.assertEqual(self.call("/api/levelsets", None)[1], [stored])
        self.assertEqual(self.call("/api/levelsets?name=again", proven)[0], 200)  # the same set, kept once
        status, served = self.call(f"/api/levelsets/{stored['digest']}")
        self.assertEqual(status, 200)
        shared = os.path.join(self.work, "served.mnl")
        with open(shared, "wb") as f:
            f.write(served)
        run = self.run_game("", frames=5, args=["--levels", shared])
        self.assertIn("level 1 of 1 is proven", run.stdout)

        # A game played online on the set is verified on it and gets a table of its own.
        self.set_frame_interval(20)
        ranked = self.run_game("3 key Space\n6 key Enter\n60 key Escape\n62 key Y\n", frames=80,
                               args=["--levels", shared, "--online", self.base, "--player", "ANN"])
        (answer,) = [json.loads(line[len("online: "):]) for line in ranked.stdout.splitlines()
                     if line.startswith("online: ")]
        self.assertEqual((answer["status"], answer["board"], answer["rank"]), ("listed", stored["digest"], 1))
        boards = {board["digest"]: board for board in self.call("/api/boards")[1]}
        self.assertEqual((boards[stored["digest"]]["name"], boards[stored["digest"]]["entries"]),
                         ("My first maze", 1))
        self.assertEqual(len(self.call(f"/api/boards/{stored['digest']}")[1]["entries"]), 1)

        status, refused = self.call("/api/levelsets", pack(LevelSetTest.set_files(None)))
        self.assertEqual((status, refused["error"]), (422, "not every level is proven: no level of 2 is proven"))
        self.assertEqual(self.call("/api/levelsets/0123456789abcdef")[0], 404)
