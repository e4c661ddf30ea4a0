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

# Wine's output goes to a file, not to the caller: its background processes
# would hold a pipe open. It is shown when wineboot fails.
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# wineboot also starts Wine's background services; started here, detached,
# they cannot inherit the pipes of the first test that would otherwise start
# them. Every time, not only for a new prefix: a restarted wineserver has none.
boot() {
  /usr/lib/wine/wineserver -p </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$prefix/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot -i </dev/null >"$log" 2>&1
  else
    /usr/lib/wine/wine64 wineboot </dev/null >"$log" 2>&1
  fi
}

# Making a new prefix has failed within seconds on a loaded machine, though
# the same run passes again; what is half made is removed and made once more.
status=0
boot || status=$?
if [ "$status" -ne 0 ]; then
  echo "wineboot failed (exit $status); making the prefix again. Wine said:"
  cat "$log"
  /usr/lib/wine/wineserver -k </dev/null >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w </dev/null >/dev/null 2>&1 || true
  if [ ! -f "$prefix/system.reg" ] || [ ! -d "$prefix/drive_c" ]; then
    rm -rf "$prefix" && mkdir -p "$prefix"
  fi
  status=0
  boot || status=$?
  if [ "$status" -ne 0 ]; then
    echo "wineboot failed again (exit $status). Wine said:"
    cat "$log"
    exit 1
  fi
fi

# Windows resolves the 8.3 name C:\Progra~1 to "Program Files"; Wine does not
# make short names, so the prefix gets a link of that name.
ln -sfn "Program Files" "$prefix/drive_c/Progra~1"
# The folder the installer creates for the drive-mapping script.
mkdir -p "$prefix/drive_c/Program Files/Rerevure"
echo "wine prefix ready: $prefix"
