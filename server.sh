#!/usr/bin/env bash
# Builds the game, its browser version and the online table's server, and
# starts the server on http://127.0.0.1:8020/: the game in the page and the
# table's API on one origin, the table kept with SQLite in the user's data
# folder. --port N chooses the port; --db URL another database.
set -euo pipefail
cd "$(dirname "$0")"
port=8020
db="sqlite:${XDG_DATA_HOME:-$HOME/.local/share}/munchora/online-table.db"
while [ $# -gt 0 ]; do
  case "$1" in
    --port) port="$2"; shift 2 ;;
    --db) db="$2"; shift 2 ;;
    *) echo "usage: ./server.sh [--port N] [--db URL]" >&2; exit 2 ;;
  esac
done
./web.sh --build-only
cmake --build build -j"$(nproc)" --target munchora-server
case "$db" in sqlite:*) mkdir -p "$(dirname "${db#sqlite:}")" ;; esac
echo "Open http://127.0.0.1:$port/ (Ctrl+C ends the server)"
exec build/munchora-server --data build --db "$db" --static build-web --port "$port"
