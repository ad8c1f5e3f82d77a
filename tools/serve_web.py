#!/usr/bin/env python3
"""Serves the web build's site on 127.0.0.1 and prints the page's address.

Usage: serve_web.py SITE_FOLDER [PORT]   (PORT 0 or none: a free one)
"""
import functools
import http.server
import sys


def main():
    site = sys.argv[1]
    port = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    class Handler(http.server.SimpleHTTPRequestHandler):
        extensions_map = {**http.server.SimpleHTTPRequestHandler.extensions_map,
                          ".wasm": "application/wasm"}

    handler = functools.partial(Handler, directory=site)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        print(f"Open http://127.0.0.1:{server.server_address[1]}/crane.html "
              "(Ctrl+C stops the server)", flush=True)
        try:
            server.serve_forever()
        except KeyboardInterrupt:
            pass


if __name__ == "__main__":
    main()
