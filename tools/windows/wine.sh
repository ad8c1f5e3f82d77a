#!/usr/bin/env bash
# Runs a Windows program under Wine in the project's own prefix, quietly: no prompts to install
# Mono or Gecko, no menu entries written into the user's home, no debug channels. The prefix is
# WINEPREFIX when set, else ~/.cache/crane/wine; it is made on first use (about ten seconds).
#   tools/windows/wine.sh PROGRAM.exe [ARGUMENTS...]
set -euo pipefail
export WINEARCH=win64 WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX=${WINEPREFIX:-${HOME:-/tmp}/.cache/crane/wine}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Two builds or tests making the prefix at once would spoil it.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      DISPLAY= wineboot --init </dev/null >/dev/null 2>&1
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec wine "$@"
