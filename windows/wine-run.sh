#!/bin/sh
# Runs a Windows program under Wine in the build's prefix; the exit code is the program's.
: "${WINEPREFIX:=$HOME/.wine-velmora}"; export WINEPREFIX
: "${WINEDEBUG:=-all}"; export WINEDEBUG
: "${DISPLAY:=:91}"; export DISPLAY
export WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
exec /usr/lib/wine/wine64 "$@"
