#!/usr/bin/env bash
# Makes the Wine prefix of the launch tests: a fresh prefix holding the sample game with the stub as its
# LockOn.exe, the game's registry key, LoTATC (the stub again as its client and server) and a LoTATC .NET
# entry. Usage: make_wine_prefix.sh PREFIX STUB SAMPLE_GAME
set -euo pipefail
prefix=$1 stub=$2 sample=$3

export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
rm -rf "$prefix"
start=$(date +%s%N)
wineboot -i >/dev/null 2>&1
wineserver -w
echo "wineboot: $(( ($(date +%s%N) - start) / 1000000 )) ms"

game="$prefix/drive_c/Games/Lock On"
mkdir -p "$game" "$prefix/drive_c/Program Files/LoTATC"
cp -r "$sample"/. "$game"/
cp "$stub" "$game/LockOn.exe"
cp "$stub" "$prefix/drive_c/Program Files/LoTATC/LoTATC.exe"
cp "$stub" "$prefix/drive_c/Program Files/LoTATC/lotatcsrv.exe"

uninstall='Software\Microsoft\Windows\CurrentVersion\Uninstall'
wine reg add 'HKCU\Software\Eagle Dynamics\Lock On 1.1' /v Path /d 'C:\Games\Lock On\' /f >/dev/null
wine reg add "HKLM\\$uninstall\\LOTATC" /v UninstallString /d '"C:\Program Files\LoTATC\uninst.exe"' /f >/dev/null
wine reg add "HKCU\\$uninstall\\5f1b2c3d4e" /v DisplayName /d 'LoTATC .NET' /f >/dev/null
# Values Wine writes in its own ways: control characters in octal, a multi-string, a number where a game
# key's path would be.
wine reg add 'HKCU\Software\KESTA test' /v Control /d $'A\x015B\x1b' /f >/dev/null
wine reg add 'HKCU\Software\KESTA test' /v Multi /t REG_MULTI_SZ /d 'a\0b' /f >/dev/null
wine reg add 'HKCU\Software\KESTA test' /v Path /t REG_DWORD /d 5 /f >/dev/null
# Wine writes its registry files when the wineserver ends.
wineserver -w
echo "prefix ready: $(( ($(date +%s%N) - start) / 1000000 )) ms"
