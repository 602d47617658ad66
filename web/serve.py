#!/usr/bin/env python3
"""Serves the browser build on 127.0.0.1: the right types for WebAssembly and
the game's data, everything compressed with gzip where the browser takes it
(compressed once at start, so the first visit is as fast as the next)."""

import argparse
import gzip
import http.server
import os
import sys

TYPES = {
    ".html": "text/html; charset=utf-8",
    ".js": "text/javascript; charset=utf-8",
    ".wasm": "application/wasm",
    ".data": "application/octet-stream",
    ".sf2": "application/octet-stream",
    ".png": "image/png",
    ".txt": "text/plain; charset=utf-8",
    ".webmanifest": "application/manifest+json",
}
COMPRESSED = {".html", ".js", ".wasm", ".data", ".sf2", ".txt", ".webmanifest"}


def load(root):
    """Every servable file under root: its type, bytes and gzip bytes."""
    files = {}
    for directory, _, names in os.walk(root):
        for name in names:
            path = os.path.join(directory, name)
            kind = os.path.splitext(name)[1]
            if kind not in TYPES:
                continue
            with open(path, "rb") as f:
                body = f.read()
            packed = gzip.compress(body, compresslevel=6, mtime=0) if kind in COMPRESSED else None
            files["/" + os.path.relpath(path, root).replace(os.sep, "/")] = (TYPES[kind], body, packed)
    return files


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("root", help="the directory to serve (build-web/)")
    parser.add_argument("--port", type=int, default=8019, help="0: any free port")
    args = parser.parse_args()
    files = load(args.root)

    class Handler(http.server.BaseHTTPRequestHandler):
        def do_GET(self):
            self.answer(True)

        def do_HEAD(self):
            self.answer(False)

        def answer(self, with_body):
            path = self.path.split("?", 1)[0]
            if path.endswith("/"):
                path += "index.html"
            if path not in files:
                self.send_error(404)
                return
            kind, body, packed = files[path]
            if packed is not None and "gzip" in self.headers.get("Accept-Encoding", ""):
                body = packed
                self.send_response(200)
                self.send_header("Content-Encoding", "gzip")
            else:
                self.send_response(200)
            self.send_header("Content-Type", kind)
            self.send_header("Content-Length", str(len(body)))
            self.send_header("Cache-Control", "no-cache")
            self.send_header("Vary", "Accept-Encoding")
            self.end_headers()
            if with_body:
                self.wfile.write(body)

        def log_message(self, *_):
            pass

    server = http.server.ThreadingHTTPServer(("127.0.0.1", args.port), Handler)
    print(f"Munchora: http://127.0.0.1:{server.server_address[1]}/", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
