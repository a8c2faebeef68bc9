#!/usr/bin/env bash
# Starts what the Windows build's tests run in: an X display (Xvfb), a Wine prefix made
# afresh with the fonts and settings of windows/fonts.reg, a wineserver that stays up,
# and the virtual desktop. Source it: `. windows/wine_session.sh PREFIX DISPLAY`;
# `wine_session_end` stops it all again.
prefix=$1
display=$2
export WINEPREFIX=$prefix WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=$display
wine64() { /usr/lib/wine/wine64 "$@"; }
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
wine_session_xvfb=$!
rm -rf "$prefix"
wine64 wineboot -i >/dev/null 2>&1
wineserver -w
cp /usr/share/wine/fonts/{marlett,tahoma,tahomabd}.ttf "$prefix/drive_c/windows/Fonts/"
wine64 regedit /S "Z:$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd | tr '/' '\\')\\fonts.reg"
# The Chinese name of SimSun, and the fallback of the system's own font for Chinese text.
wine64 reg add 'HKCU\Software\Wine\Fonts\Replacements' /v '宋体' /d 'WenQuanYi Micro Hei' /f >/dev/null 2>&1
link='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink'
for font in Tahoma 'Tahoma Bold'; do
  wine64 reg add "$link" /v "$font" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
done
wineserver -w
wineserver -p
wine64 cmd /c exit 0 </dev/null >/dev/null 2>&1
# A desktop that stays up: each program then starts in a fraction of a second.
wine64 explorer /desktop=Default,1280x800 >/dev/null 2>&1 &
sleep 1

wine_session_end() {
  wineserver -k 2>/dev/null || true
  kill "$wine_session_xvfb" 2>/dev/null || true
}
