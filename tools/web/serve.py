#!/usr/bin/env python3
"""Serves the web page's folder on 127.0.0.1 and prints its address.

    serve.py PAGE_DIR [PORT]

PORT defaults to 8080 (or CINDRA_WEB_PORT); when it is taken, a free one is used instead.
"""
import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = {
        **http.server.SimpleHTTPRequestHandler.extensions_map,
        ".wasm": "application/wasm",
        ".data": "application/octet-stream",
        ".js": "text/javascript",
    }

    def log_message(self, format, *args):  # noqa: A002 - the base class's name
        pass


def main():
    if len(sys.argv) not in (2, 3) or not os.path.isdir(sys.argv[1]):
        print("usage: serve.py PAGE_DIR [PORT]", file=sys.stderr)
        return 2
    port = int(sys.argv[2] if len(sys.argv) == 3 else os.environ.get("CINDRA_WEB_PORT", 8080))
    handler = functools.partial(Handler, directory=sys.argv[1])
    try:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", port), handler)
    except OSError:
        server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    print(f"Marrowfield in the browser: http://127.0.0.1:{server.server_port}/"
          " (Ctrl+C stops the server)", flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main())
