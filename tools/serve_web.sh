#!/usr/bin/env bash
# Serves a web build's site on 127.0.0.1 with npm's serve (tests/web's lockfile) and the headers
# of web/serve.json: gzip or brotli, Cache-Control (the content-named program for a year, the rest
# revalidated), text/plain for the mesh files, the manifest's type, and the page at the root. It
# prints the address once it listens.
#   bash tools/serve_web.sh SITE_FOLDER [PORT]   (PORT 0 or none: a free one)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
site="$(cd "$1" && pwd)"
exec node "$root/tests/web/node_modules/serve/build/main.js" --config "$root/web/serve.json" \
  --no-clipboard --no-request-logging --listen "tcp://127.0.0.1:${2:-0}" "$site"
