#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# Takes docs/value-tabs-2x.png: the value tabs at twice the scale
# (QT_SCALE_FACTOR=2) with captions that hold "&", Latin, kana, kanji and
# single letters, on a virtual X display (Xvfb) with a window manager.
# It also checks that the window carries its icon (_NET_WM_ICON).
#
#   tools/screenshot-tabs.sh [build-dir]      (default: build)
set -euo pipefail
source "$(dirname "$0")/x-session.sh" "$@"

data="$work/data"
mkdir -p "$data"
crlf() { sed 's/$/\r/'; }
printf 'R&B\nTom & Jerry\nJ-POP\nライブ\nA\ni\nW\n' | crlf > "$data/List01.txt"
# 9000 x 5000 twips: 600 x 333 pixels, 1200 x 666 at twice the scale.
printf '[Options]\r\nWidth=9000\r\nHeight=5000\r\nX_WindowPosition=0\r\nY_WindowPosition=0\r\n' > "$data/test.ini"

start_desktop 1400x800
DISPLAY="$display" ZARUMI_DATA_DIR="$data" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 LANG=ja_JP.UTF-8 "$program" &
pids+=($!)
sleep 3
id="$(DISPLAY="$display" wmctrl -l | awk '/Zarumi$/ && !found { print $1; found = 1 }')"
if DISPLAY="$display" xprop -id "$id" _NET_WM_ICON | grep -c '_NET_WM_ICON(CARDINAL) = ' >/dev/null; then
    echo "window icon: present"
else
    echo "window icon: missing" >&2
fi
mkdir -p docs
# The top of the window: the category tabs, the search box and the value
# tabs, grabbed by ffmpeg (already installed for the media probe).
x="$(DISPLAY="$display" xwininfo -id "$id" | awk '/Absolute upper-left X/ { print $4 }')"
y="$(DISPLAY="$display" xwininfo -id "$id" | awk '/Absolute upper-left Y/ { print $4 }')"
ffmpeg -loglevel error -y -f x11grab -video_size 1200x200 -i "$display+$x,$y" -frames:v 1 docs/value-tabs-2x.png
echo "docs/value-tabs-2x.png written"
