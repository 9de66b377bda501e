#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The Windows build as a person would use it, in a fresh Wine prefix on a virtual X display:
# the portable folder runs from where it was unpacked; the installer installs silently, and the
# program started from its Start-menu entry shows its window and cells, lights them in reading
# order, judges typed answers with both verdicts whole, ends a level-4 display after about a
# second, and ends with status 0 when its window is closed; the silent uninstall removes it.
# Usage: check_wine.sh BUILD-WINDOWS-DIR VERSION
set -euo pipefail
out=$1 version=$2
here=$(cd "$(dirname "$0")/.." && pwd)
setup=$out/punktblick-$version-setup.exe
zip=$out/punktblick-$version-windows-x86_64.zip
for tool in wine xvfb-run xdotool import; do
    command -v $tool >/dev/null || { echo "$tool is not installed: skipped"; exit 77; }
done
[ -f "$setup" ] && [ -f "$zip" ] || { echo "no Windows build in $out (scripts/build-windows): skipped"; exit 77; }

if [ -z "${PUNKTBLICK_WINE_DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" env PUNKTBLICK_WINE_DISPLAY=1 bash "$0" "$@"
fi

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
# No Mono or Gecko installer dialogs: the program needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
    wineserver -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
say() { echo "wine: $*"; }
fail() { echo "wine: FAILED: $*" >&2; exit 1; }

wine wineboot -i >/dev/null 2>&1
wineserver -w
# A new prefix lacks the TrueType faces that Windows has in its Fonts folder; Wine's own (with
# its "MS Sans Serif") stand in for them.
cp /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/"

pid= wid= left= top=
start() {
    wine "$1" >"$work/program.log" 2>&1 &
    pid=$!
    wid=$("$here/support/wait-window" 15) || fail "no window appeared for $1"
    sleep 0.5
}
shot() { import -window root "$work/shot.png"; }
# PUNKTBLICK_WINE_SHOTS names a folder to keep the screenshots of the verdicts in.
keep() {
    if [ -n "${PUNKTBLICK_WINE_SHOTS:-}" ]; then cp "$work/shot.png" "$PUNKTBLICK_WINE_SHOTS/$1.png"; fi
}
# The client area: the one stretch of the window's colour on the screen.
find_client_area() {
    shot
    local area
    area=$("$here/support/colour-box" "$work/shot.png" "rgb(255,224,192)")
    [ "${area%%+*}" = 582x423 ] || fail "the client area is $area, not 582x423"
    IFS=+ read -r _ left top <<<"$area"
}
# Colours at client-area points, one per line, from the last screenshot.
pixels() {
    local format="" point
    for point in "$@"; do format+="%[pixel:p{$((left + ${point%,*})),$((top + ${point#*,}))}]\n"; done
    convert "$work/shot.png" -format "$format" info:
}
click() { xdotool mousemove $((left + $1)) $((top + $2)) click 1; sleep 0.3; }
# Waits until the uninstaller, which runs on from a copy of itself, has removed both files.
wait_gone() {
    for _ in $(seq 100); do
        [ -e "$1" ] || [ -e "$2" ] || return 0
        sleep 0.2
    done
}
close_and_wait() {
    "$here/support/close-window" "$wid"
    local status=0
    wait "$pid" || status=$?
    [ "$status" -eq 0 ] || fail "the program ended with status $status"
}

# Cell centres in reading order, at 96 dpi.
cells=()
for row in $(seq 0 9); do
    for column in $(seq 0 9); do
        cells+=("$((72 + 24 * column + (column >= 5 ? 16 : 0) + 8)),$((48 + 24 * row + (row >= 5 ? 8 : 0) + 8))")
    done
done
# How many cells are lit; fails unless they are the first ones in reading order.
lit_count() {
    shot
    local colours n=0 i=0 colour
    mapfile -t colours < <(pixels "${cells[@]}")
    for colour in "${colours[@]}"; do
        if [ "$colour" = "srgb(0,192,0)" ]; then
            [ $n -eq $i ] || fail "cell $i is lit after a dark one"
            n=$((i + 1))
        elif [ "$colour" != "srgb(0,0,0)" ]; then
            fail "cell $i shows $colour"
        fi
        i=$((i + 1))
    done
    echo $n
}
# The verdict's text must stand inside its label with a margin on every side, or it was cut.
text_in_label() { # y of the label, text colour
    local box
    box=$("$here/support/colour-box" "$work/shot.png" "$2" "113x33+$((left + 392))+$((top + $1))")
    [ "${box%%x*}" -gt 0 ] 2>/dev/null || fail "no $2 text in the label at y $1"
    IFS='x+' read -r w h x y <<<"$box"
    ((x >= 2 && y >= 1 && x + w <= 111 && y + h <= 32)) || fail "text $box cut by its label at y $1"
    echo "$box"
}
answer() {
    click 416 192
    xdotool type --delay 50 "$1"
    click 480 192 # OK
    shot
}

# The portable folder, unpacked anywhere.
unzip -q "$zip" -d "$work/usb"
start "$work/usb/punktblick-$version-windows-x86_64/punktblick.exe"
find_client_area
close_and_wait
say "the portable folder runs from where it was unpacked and closes with status 0"

# The installer, silently, for the current user.
wine "$setup" /S
wineserver -w
link=$(find "$WINEPREFIX/drive_c" -path '*Start Menu/Programs/Punktblick.lnk' | head -1)
[ -n "$link" ] || fail "no Start-menu entry"
target=$("$here/support/lnk-target" "$link")
program=$(winepath -u "$target" 2>/dev/null)
[ -f "$program" ] || fail "the Start-menu entry points to $target, which is not there"
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Punktblick'
wine reg query "$uninstall_key" /v DisplayVersion |
    grep -q "$version" || fail "no uninstaller under Apps, or another version"
say "installed to $target, Start-menu entry and uninstaller registered"

start "$program"
find_client_area
mapfile -t corners < <(pixels "${cells[0]}" "${cells[9]}" "${cells[90]}" "${cells[99]}")
[ "${corners[*]}" = "srgb(0,0,0) srgb(64,0,0) srgb(64,0,0) srgb(64,0,0)" ] ||
    fail "the cells before a trial show ${corners[*]}"
say "client area 582x423 at +$left+$top, cells in their places and colours"

click 436 68 # Start, at level 1
n=$(lit_count)
((n >= 1 && n <= 100)) || fail "Start lit $n cells"
answer "$n"
verdict=$(text_in_label 240 'rgb(0,192,0)')
count=$(text_in_label 288 'rgb(255,128,255)')
keep right
say "level 1: $n cells lit in reading order; answered $n: green text $verdict in the verdict"
say "  label, count text $count in the count label"

click 436 124 # Stop
click 436 68  # Start
n=$(lit_count)
wrong=$((n == 100 ? 1 : n + 1))
answer "$wrong"
verdict=$(text_in_label 240 'rgb(255,0,0)')
keep wrong
say "answered $wrong to $n cells: red text $verdict in the verdict label"
click 436 124 # Stop

click 256 352 # level 4
[ "$(lit_count)" -eq 0 ] || fail "Stop left cells lit"
begin=$(date +%s%N)
click 436 68
seen=0
while :; do
    now=$(date +%s%N)
    ((now - begin < 5000000000)) || fail "the level-4 display did not end within 5 s"
    n=$(lit_count)
    if ((n > 0)); then
        seen=$now
    elif ((seen)); then
        break
    fi
done
dark_ms=$(((now - begin) / 1000000)) last_lit_ms=$(((seen - begin) / 1000000))
((dark_ms >= 900 && dark_ms <= 2000)) || fail "level 4 went dark after $dark_ms ms"
say "level 4: lit at $last_lit_ms ms, dark at $dark_ms ms after the click (screenshots)"

close_and_wait
say "closed: status 0"

uninstaller=$(dirname "$program")/uninstall.exe
wine "$uninstaller" /S
wait_gone "$program" "$link"
[ -e "$program" ] && fail "the uninstall left $program"
[ -e "$link" ] && fail "the uninstall left the Start-menu entry"
wine reg query "$uninstall_key" >/dev/null 2>&1 && fail "the uninstall left its entry under Apps"
say "the silent uninstall removed the program, its Start-menu entry and its entry under Apps"

# For all users: into Program Files, the entry in the common Start menu, the uninstaller in the
# machine's registry.
wine "$setup" /S /AllUsers
wineserver -w
program=$WINEPREFIX/drive_c/Program\ Files/Punktblick/punktblick.exe
link=$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start\ Menu/Programs/Punktblick.lnk
[ -f "$program" ] && [ -f "$link" ] || fail "the install for all users put no program or entry in place"
quiet=$(wine reg query "${uninstall_key/HKCU/HKLM}" /v QuietUninstallString | sed -n 's/.*REG_SZ *//p' | tr -d '\r')
[ -n "$quiet" ] || fail "no uninstaller for all users under Apps"
exe=${quiet#\"} # "C:\...\uninstall.exe" /AllUsers /S
exe=${exe%%\"*}
read -ra arguments <<<"${quiet##*\"}"
wine "$exe" "${arguments[@]}"
wait_gone "$program" "$link"
[ -e "$program" ] || [ -e "$link" ] && fail "the uninstall for all users left files"
say "for all users: installed into Program Files and removed again by its quiet uninstall string"
