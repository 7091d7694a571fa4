#!/bin/sh
# Prepares a Wine prefix for korvilane's programs: Japanese locale (ANSI code page 932), fonts that
# draw Japanese text, a desktop that gives windows frames, and no crash dialog.
# Usage: wine-prefix.sh PREFIX. The prefix is made in a side folder and moved into place when complete.
set -eu
target=$1
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
work="$target.new"
rm -rf "$work"
mkdir -p "$(dirname "$target")"
export WINEPREFIX="$work"

env -u DISPLAY wine wineboot -i >/dev/null 2>&1
wineserver -w

fonts="$WINEPREFIX/drive_c/windows/Fonts"
for f in tahoma tahomabd marlett symbol webdings wingding; do
    if [ -f "/usr/share/wine/fonts/$f.ttf" ]; then cp "/usr/share/wine/fonts/$f.ttf" "$fonts/"; fi
done

# Multi-string "ipagp.ttf,IPAPGothic" "ipag.ttf,IPAGothic" in the registry's hex notation.
link='hex(7):69,00,70,00,61,00,67,00,70,00,2e,00,74,00,74,00,66,00,2c,00,49,00,50,00,41,00,50,00,47,00,6f,00,74,00,68,00,69,00,63,00,00,00,69,00,70,00,61,00,67,00,2e,00,74,00,74,00,66,00,2c,00,49,00,50,00,41,00,47,00,6f,00,74,00,68,00,69,00,63,00,00,00,00,00'
{
    printf '\377\376'
    iconv -f UTF-8 -t UTF-16LE <<END
Windows Registry Editor Version 5.00

[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]
"MS UI Gothic"="IPAPGothic"
"MS PGothic"="IPAPGothic"
"MS Gothic"="IPAGothic"
"ＭＳ Ｐゴシック"="IPAPGothic"
"ＭＳ ゴシック"="IPAGothic"
"MS Mincho"="IPAMincho"
"MS PMincho"="IPAPMincho"
"ＭＳ 明朝"="IPAMincho"
"ＭＳ Ｐ明朝"="IPAPMincho"

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]
"Tahoma Bold"=$link
"Segoe UI"=$link
"Meiryo UI"=$link
"Arial"=$link

[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes]
"MS Sans Serif"="Tahoma"

[HKEY_CURRENT_USER\\Software\\Wine\\Uniscribe\\Fallback]
"696e6168"="MS UI Gothic"
"616e616b"="MS UI Gothic"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\\Software\\Wine\\Explorer\\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]
"ShowCrashDialog"=dword:00000000
END
} > "$WINEPREFIX/drive_c/korvilane-prefix.reg"
env -u DISPLAY wine regedit /S 'C:\korvilane-prefix.reg'
wineserver -w

touch "$work/.korvilane-ready"
rm -rf "$target"
mv "$work" "$target"
