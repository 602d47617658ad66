#!/usr/bin/env python3
"""The online table under load: CLIENTS at once post valid two-minute games
to one munchora-server for SECONDS and wait for each verdict; prints games
verified a second, the time to a verdict at p50 and p99, and the processor
time a verification costs (the server with its runners).

    bench/server_load.py [--build build] [--clients 50] [--seconds 60] [--db sqlite|postgresql]

With --db postgresql it runs inside a throwaway cluster (pg_virtualenv). Run
from the source tree after a build; it changes nothing there."""

import argparse
import hashlib
import hmac
import os
import secrets
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.error
import urllib.request
import zlib

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))


def online_copy(offline, token, player="BENCH", player_id="0123456789abcdef"):
    """The game as version 2 with its online play, its checksum made good."""
    body = bytearray(offline[:-4])
    body[8:10] = struct.pack("<H", 2)
    for text in (token.encode(), player.encode(), player_id.encode()):
        body += bytes([len(text)]) + text
    return bytes(body) + struct.pack("<I", zlib.crc32(bytes(body)))


def processor_seconds(pid):
    """User and system time of a process and all its descendants, living or
    reaped, in seconds."""
    ticks = os.sysconf("SC_CLK_TCK")
    total = 0
    children = {}
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open(f"/proc/{entry}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
        except OSError:
            continue
        children.setdefault(int(fields[1]), []).append((int(entry), fields))
    todo = [pid]
    with open(f"/proc/{pid}/stat") as f:
        fields = f.read().rsplit(")", 1)[1].split()
    total += sum(int(x) for x in fields[11:15])
    while todo:
        for child, fields in children.get(todo.pop(), []):
            total += sum(int(x) for x in fields[11:15])
            todo.append(child)
    return total / ticks


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--build", default=os.path.join(ROOT, "build"))
    parser.add_argument("--clients", type=int, default=50)
    parser.add_argument("--seconds", type=float, default=60)
    parser.add_argument("--db", choices=("sqlite", "postgresql"), default="sqlite")
    options = parser.parse_args()
    if options.db == "postgresql" and "PGHOST" not in os.environ:
        os.execvp("pg_virtualenv", ["pg_virtualenv", sys.executable, *sys.argv])

    work = tempfile.mkdtemp(prefix="munchora-load-")
    try:
        data = os.path.join(work, "data")
        os.makedirs(data)
        for entry in ("Munchora.ini", "Data", "Levels", "Music"):
            source = os.path.join(options.build, entry)
            (shutil.copytree if os.path.isdir(source) else shutil.copy2)(source, os.path.join(data, entry))
        game = os.path.join(work, "two-minutes.mnr")
        subprocess.run([os.path.join(options.build, "bench", "replay_bench"), data, game, "2"], check=True,
                       capture_output=True)
        with open(game, "rb") as f:
            offline = f.read()
        secret = secrets.token_hex(32)
        with open(os.path.join(data, "server-secret"), "w") as f:
            f.write(secret + "\n")
        os.chmod(os.path.join(data, "server-secret"), 0o600)
        if options.db == "postgresql":
            subprocess.run(["psql", "-qc", "CREATE DATABASE load"], check=True)
            database = "postgresql:///load"
        else:
            database = "sqlite:" + os.path.join(work, "table.db")
        server = subprocess.Popen([os.path.join(options.build, "munchora-server"), "--data", data, "--db", database,
                                   "--port", "0", "--rate", "100000"], stdout=subprocess.PIPE, text=True)
        base = server.stdout.readline().split("listening on ")[1].split("/,")[0]

        def signed_game():
            # Issued as if the game had just been played through.
            issued = int(time.time() * 1000) - 121000
            text = f"{issued}.{secrets.token_hex(16)}"
            token = text + "." + hmac.new(secret.encode(), text.encode(), hashlib.sha256).hexdigest()
            return online_copy(offline, token)

        latencies, outcomes, lock = [], {}, threading.Lock()
        end = time.time() + options.seconds

        def client():
            while time.time() < end:
                request = urllib.request.Request(base + "/api/scores", data=signed_game(), method="POST")
                started = time.time()
                try:
                    with urllib.request.urlopen(request, timeout=30) as answer:
                        status, body = answer.status, answer.read()
                except urllib.error.HTTPError as error:
                    status, body = error.code, error.read()
                except OSError:
                    status, body = "no answer", b""
                took = time.time() - started
                with lock:
                    if status == 201 and b'"listed"' in body:
                        latencies.append(took)
                        outcome = "listed"
                    else:
                        outcome = f"{status} {body[:80]!r}"
                    outcomes[outcome] = outcomes.get(outcome, 0) + 1

        cpu_before = processor_seconds(server.pid)
        threads = [threading.Thread(target=client) for _ in range(options.clients)]
        began = time.time()
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        elapsed = time.time() - began
        cpu = processor_seconds(server.pid) - cpu_before
        server.terminate()
        server.wait()
        latencies.sort()
        listed = len(latencies)
        print(f"{options.db}, {options.clients} clients, {elapsed:.0f} s, two-minute games "
              f"({len(offline)} bytes each):")
        print(f"  verified and listed: {listed} ({listed / elapsed:.1f} a second)")
        if listed:
            print(f"  time to a verdict: p50 {latencies[listed // 2] * 1000:.0f} ms, "
                  f"p99 {latencies[min(listed - 1, listed * 99 // 100)] * 1000:.0f} ms")
            print(f"  processor time a verification, the server and its runners: {cpu / listed * 1000:.1f} ms")
        for outcome, count in sorted(outcomes.items()):
            if outcome != "listed":
                print(f"  other answers: {count} x {outcome}")
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
