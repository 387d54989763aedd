#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# Takes docs/disc.png: a disc added through "フォルダを追加…", its name shown as
# a value tab of "備考", on a virtual X display (Xvfb) with a window manager
# (openbox), driven by xdotool.
#
#   tools/screenshot-disc.sh [build-dir]      (default: build)
set -euo pipefail
source "$(dirname "$0")/x-session.sh" "$@"

data="$work/data"
mkdir -p "$data"
crlf() { sed 's/$/\r/'; }
crlf > "$data/List.txt" <<'ROWS'
となりの森の物語.avi#702,435.712#AVI#640×480#01:26:40#DivX#2003/05/01#2003/05/20#アニメ#ファンタジー#DVD-R 01####
夏休みの思い出.mpg#1,254,003.200#MPG#720×480#00:42:15#MPEG2#2002/08/14#2003/05/20#ホームビデオ##DVD-R 02####
ROWS
printf 'アニメ\nホームビデオ\n写真\n' | crlf > "$data/List01.txt"
: > "$data/List02.txt"
printf 'DVD-R 01\nDVD-R 02\n' | crlf > "$data/List03.txt"
: > "$data/List04.txt"
: > "$data/List05.txt"
printf '[Options]\r\nWidth=12600\r\nHeight=7200\r\nX_WindowPosition=300\r\nY_WindowPosition=300\r\n' > "$data/test.ini"

# The disc: a folder named as the disc, with photos and a few clips.
disc="$work/CD-R 07"
mkdir -p "$disc/京都" "$disc/奈良" "$disc/動画"
for i in 1 2 3 10 11; do head -c $((150000 + i * 997)) /dev/zero > "$disc/京都/桜 $i.jpg"; done
for i in 1 2; do head -c $((180000 + i * 991)) /dev/zero > "$disc/奈良/鹿 $i.jpg"; done
ffmpeg -loglevel error -f lavfi -i testsrc=size=320x240:rate=25:duration=3 -c:v mpeg4 -vtag DIVX "$disc/動画/嵐山.avi"
ffmpeg -loglevel error -f lavfi -i testsrc=size=352x240:rate=25:duration=2 -c:v mpeg1video -f mpeg "$disc/動画/金閣寺.mpg"

start_desktop 1024x640
ZARUMI_DATA_DIR="$data" QT_QPA_PLATFORM=xcb LANG=ja_JP.UTF-8 "$program" &
pids+=($!)
sleep 3
window=$(xdotool search --sync --name '^Zarumi$' | head -n1)
xdotool windowactivate --sync "$window"
# The "備考" category tab: the third of five tabs at the top left (the window
# lies at 20,20 pixels, as test.ini places it).
xdotool mousemove 205 82 click 1
sleep 0.5
xdotool key ctrl+o
sleep 2
xdotool type --delay 20 "$disc"
xdotool key Return
sleep 2
xdotool key Return # the disc name dialog: the folder's name, recorded in 備考
sleep 3
# The disc's new value tab, the last one; then the pointer out of the way.
xdotool mousemove 287 104 click 1
xdotool mousemove 1000 600
sleep 1
mkdir -p docs
ffmpeg -loglevel error -y -f x11grab -video_size 1024x640 -i "$display" -vf crop=842:505:20:20 -frames:v 1 docs/disc.png
echo "docs/disc.png written"
