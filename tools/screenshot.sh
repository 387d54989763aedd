#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# Takes docs/screenshot.png: the main window with Japanese sample data, on a
# virtual X display (Xvfb) with a window manager (openbox).
#
#   tools/screenshot.sh [build-dir]      (default: build)
set -euo pipefail
source "$(dirname "$0")/x-session.sh" "$@"

data="$work/data"
mkdir -p "$data"
crlf() { sed 's/$/\r/'; }

# The catalogue: name#size#kind#picture#time#codec#modified#registered#
# genre1#genre2#remarks#other1#other2#no.1#no.2
crlf > "$data/List.txt" <<'ROWS'
となりの森の物語.avi#702,435.712#AVI#640×480#01:26:40#DivX#2003/05/01#2003/05/20#アニメ#ファンタジー#DVD-R 01####
夏休みの思い出.mpg#1,254,003.200#MPG#720×480#00:42:15#MPEG2#2002/08/14#2003/05/20#ホームビデオ##DVD-R 02####
北海道旅行2002.mpg#845,120.004#MPG#352×240#00:58:02#MPEG1#2002/09/03#2003/05/20#ホームビデオ#旅行#DVD-R 02####
ピアノ協奏曲第1番.mp3#8,412.633#MP3##00:21:40#MP3#2001/11/22#2003/05/21#音楽#クラシック#CD-R 05####
夜明けのうた.mp3#4,210.880#MP3##00:04:52#MP3#2001/12/02#2003/05/21#音楽#J-POP#CD-R 05####
宇宙戦記 第01話.avi#175,233.408#AVI#512×384#00:24:10#XviD#2003/01/12#2003/05/22#アニメ#SF#CD-R 11####
宇宙戦記 第02話.avi#176,004.992#AVI#512×384#00:24:10#XviD#2003/01/19#2003/05/22#アニメ#SF#CD-R 11####
宇宙戦記 第03話.avi#174,880.256#AVI#512×384#00:24:10#XviD#2003/01/26#2003/05/22#アニメ#SF#CD-R 11####
運動会2003.mpg#530,021.888#MPG#352×240#00:35:44#MPEG1#2003/05/18#2003/05/23#ホームビデオ##DVD-R 03####
京都の桜.jpg#1,842.112#JPG###JPEG#2003/04/02#2003/05/23#写真#旅行#CD-R 07####
金閣寺.jpg#2,011.904#JPG###JPEG#2003/04/02#2003/05/23#写真#旅行#CD-R 07####
嵐山の竹林.jpg#1,733.520#JPG###JPEG#2003/04/03#2003/05/23#写真#旅行#CD-R 07####
ライブ映像_渋谷.mpg#988,300.160#MPG#720×480#01:02:31#MPEG2#2002/12/24#2003/05/24#音楽#ライブ#DVD-R 04####
年賀状デザイン.psd#24,552.448#PSD####2002/12/10#2003/05/24#資料##CD-R 08####
企画書_最終版.doc#312.832#DOC####2003/03/28#2003/05/24#資料#仕事#CD-R 08####
見積書2003.xls#84.480#XLS####2003/04/15#2003/05/24#資料#仕事#CD-R 08####
名探偵の事件簿 前編.avi#350,112.768#AVI#640×480#00:47:12#DivX#2002/10/05#2003/05/25#ドラマ#ミステリー#DVD-R 05####
名探偵の事件簿 後編.avi#349,887.104#AVI#640×480#00:46:58#DivX#2002/10/12#2003/05/25#ドラマ#ミステリー#DVD-R 05####
海辺の町.mov#120,448.000#MOV#320×240#00:12:05#Sorenson#2003/02/11#2003/05/25#ホームビデオ#旅行#CD-R 09####
ゲーム音楽集.zip#45,020.160#ZIP####2002/07/07#2003/05/26#音楽#ゲーム#CD-R 10####
おやすみ前の朗読.wav#60,331.008#WAV##00:05:58#PCM#2003/03/03#2003/05/26#音楽#朗読#CD-R 10####
料理番組_肉じゃが.wmv#88,002.560#WMV#320×240#00:14:20#WMV8#2003/04/20#2003/05/26#ドラマ#料理#CD-R 12####
猫の一日.avi#54,880.256#AVI#320×240#00:06:31#MJPEG#2003/05/05#2003/05/27#ホームビデオ#ペット#CD-R 12####
readme.txt#2.048#TXT####2003/05/01#2003/05/27#資料##CD-R 12####
ROWS
printf 'アニメ\nドラマ\n音楽\nホームビデオ\n写真\n資料\n' | crlf > "$data/List01.txt"
printf 'ファンタジー\nSF\nクラシック\nJ-POP\n旅行\nライブ\nミステリー\n仕事\n' | crlf > "$data/List02.txt"
printf 'CD-R 05\nCD-R 07\nCD-R 08\nDVD-R 01\nDVD-R 02\n' | crlf > "$data/List03.txt"
: > "$data/List04.txt"
: > "$data/List05.txt"
# A window of 12600 x 7200 twips (840 x 480 pixels at 96 DPI).
printf '[Options]\r\nWidth=12600\r\nHeight=7200\r\nX_WindowPosition=300\r\nY_WindowPosition=300\r\n' > "$data/test.ini"

start_desktop 1024x640
DISPLAY="$display" ZARUMI_DATA_DIR="$data" QT_QPA_PLATFORM=xcb LANG=ja_JP.UTF-8 "$program" &
pids+=($!)
sleep 3
mkdir -p docs
DISPLAY="$display" import -window root docs/screenshot.png
echo "docs/screenshot.png written"
