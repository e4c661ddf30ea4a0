#!/usr/bin/env bash
# Makes (once) and starts the Wine prefix the Windows programs run in.
# Wine's background processes are started with their output detached: left
# attached, they would hold the caller's pipes (ctest's) open and hang it.
set -eu
prefix=${1:?usage: wine-prefix.sh PREFIX}
mkdir -p "$prefix"
prefix=$(cd "$prefix" && pwd)
export WINEPREFIX=$prefix WINELOADER=/usr/lib/wine/wine64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

/usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
# wineboot also starts Wine's background services; started here, detached,
# they cannot inherit the pipes of the first test that would otherwise start
# them. Every time, not only for a new prefix: a restarted wineserver has none.
if [ ! -f "$prefix/system.reg" ]; then
  /usr/lib/wine/wine64 wineboot -i </dev/null >/dev/null 2>&1
else
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1
fi

# Windows resolves the 8.3 name C:\Progra~1 to "Program Files"; Wine does not
# make short names, so the prefix gets a link of that name.
ln -sfn "Program Files" "$prefix/drive_c/Progra~1"
# The folder the installer creates for the drive-mapping script.
mkdir -p "$prefix/drive_c/Program Files/Rerevure"
echo "wine prefix ready: $prefix"
