#!/bin/bash
# SPDX-FileCopyrightText: The Punktblick authors
# SPDX-License-Identifier: GPL-3.0-or-later
#
# The program as a native Wayland client of a headless Weston: its client area and cells stand
# in their places and colours in Weston's own screenshot, and when the compositor goes away the
# program ends and leaves no process behind. Headless Weston takes no input from outside, so
# nothing is clicked here; the X11 and widget tests drive the window.
set -euo pipefail
program=$1
support=$(cd "$(dirname "$0")/../support" && pwd)
command -v weston >/dev/null || { echo "weston is not installed: skipped"; exit 77; }
run=$(mktemp -d)
chmod 700 "$run"
export XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=punktblick-test QT_QPA_PLATFORM=wayland
unset DISPLAY
weston_pid= program_pid=
cleanup() {
    kill "$program_pid" "$weston_pid" 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT
fail() { echo "wayland: $*"; [ -f "$run/program.log" ] && cat "$run/program.log"; exit 1; }

# --debug lets a client take screenshots; pixman renders in software.
weston --backend=headless-backend.so --use-pixman --width=1024 --height=768 --idle-time=0 \
    --socket="$WAYLAND_DISPLAY" --debug --log="$run/weston.log" 2>/dev/null &
weston_pid=$!
for _ in $(seq 50); do [ -S "$run/$WAYLAND_DISPLAY" ] && break; sleep 0.1; done
[ -S "$run/$WAYLAND_DISPLAY" ] || fail "Weston did not start: $(tail -5 "$run/weston.log")"

# The protocol log shows what the program tells the compositor about its window.
WAYLAND_DEBUG=client "$program" 2>"$run/protocol.log" >"$run/program.log" &
program_pid=$!

# The client area is the one stretch of the window's colour on the screen.
area=
for _ in $(seq 40); do
    sleep 0.25
    rm -f "$run"/wayland-screenshot-*.png
    (cd "$run" && weston-screenshooter >/dev/null 2>&1) || continue
    shot=$(ls "$run"/wayland-screenshot-*.png 2>/dev/null | head -1)
    [ -n "$shot" ] || continue
    area=$("$support/colour-box" "$shot" "rgb(255,224,192)" || true)
    [ "${area%%+*}" = 582x423 ] && break
done
[ "${area%%+*}" = 582x423 ] || fail "no 582x423 client area on the screen (found '$area')"
for request in 'set_app_id("de.punktblick.Punktblick")' 'set_min_size(582, 423)' \
    'set_max_size(582, 423)'; do
    grep -qF ".$request" "$run/protocol.log" || fail "the window did not ask for $request"
done
IFS=+ read -r _ left top <<<"$area"

# Cell centres (first, last of the first row, first of the last row, last) and their colours
# before any trial: the first cell dark, the others untouched.
pixel() { convert "$shot" -format "%[pixel:p{$((left + $1)),$((top + $2))}]" info:; }
for spot in "80 56 srgb(0,0,0)" "312 56 srgb(64,0,0)" "80 280 srgb(64,0,0)" "312 280 srgb(64,0,0)"; do
    read -r x y colour <<<"$spot"
    [ "$(pixel "$x" "$y")" = "$colour" ] || fail "at ($x, $y) of the client area $(pixel "$x" "$y"), not $colour"
done
echo "wayland: a native 582x423 window at +$left+$top, its cells in place and colour, app id"
echo "wayland: de.punktblick.Punktblick, fixed at 582x423"

kill "$weston_pid"
wait "$weston_pid" 2>/dev/null || true
for _ in $(seq 50); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$program_pid" 2>/dev/null && fail "the program outlived the compositor"
status=0
wait "$program_pid" || status=$?
echo "wayland: the compositor went away; the program ended with status $status:"
grep -v '^\[' "$run/protocol.log" | tail -1
