#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# End to end: the real program under Xvfb with a window manager. Each case
# starts build/bin/zarumi on a data folder of its own, waits for its window,
# closes it through the window manager (as a click on the close box does)
# and checks the files it left.
#   tests/e2e/window-e2e.sh BIN_DIR
set -uo pipefail

bin=${1:?usage: window-e2e.sh BIN_DIR}
zarumi="$bin/zarumi"
work=$(mktemp -d)
trap 'kill $wm_pid $xvfb_pid 2>/dev/null; rm -rf "$work"' EXIT

passed=0
failed=0
ok() { passed=$((passed + 1)); echo "PASS   : $*"; }
bad() { failed=$((failed + 1)); echo "FAIL!  : $*"; }
check() { local what=$1; shift; if "$@"; then ok "$what"; else bad "$what"; fi; }

# A display of our own, with openbox to close windows the way a user does.
exec 3<> >(:)
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 20 display <&3 || { echo "Xvfb did not start"; exit 1; }
export DISPLAY=":$display"
openbox >/dev/null 2>&1 &
wm_pid=$!
sleep 1
unset QT_QPA_PLATFORM
export XDG_DATA_HOME="$work/xdg"

wait_window() { # pid
  for _ in $(seq 1 200); do
    if wmctrl -lp 2>/dev/null | awk -v p="$1" '$3 == p' | grep -q "Zarumi"; then return 0; fi
    kill -0 "$1" 2>/dev/null || return 1
    sleep 0.1
  done
  return 1
}

close_and_wait() { # pid
  local id
  id=$(wmctrl -lp | awk -v p="$1" '$3 == p && $0 ~ /Zarumi/ {print $1; exit}')
  wmctrl -i -c "$id"
  for _ in $(seq 1 200); do
    kill -0 "$1" 2>/dev/null || { wait "$1"; return $?; }
    sleep 0.1
  done
  kill "$1"
  return 124
}

run_once() { # data folder; leaves the exit status in $status
  ZARUMI_DATA_DIR="$1" "$zarumi" >/dev/null 2>&1 &
  local pid=$!
  if ! wait_window $pid; then
    bad "window of $1 appeared"
    kill $pid 2>/dev/null
    status=1
    return
  fi
  close_and_wait $pid
  status=$?
}

# 1. First start in an empty folder.
d="$work/first"; mkdir -p "$d"
run_once "$d"
check "first start exits 0" test "$status" -eq 0
check "first start writes no List.txt" test ! -e "$d/List.txt"
for n in 1 2 3 4 5; do
  check "first start writes an empty List0$n.txt" test -f "$d/List0$n.txt" -a ! -s "$d/List0$n.txt"
done
keys=$(grep -c -E '^(Width|Height|X_WindowPosition|Y_WindowPosition|TabLine|EndSave|Item(0[1-9]|1[0-6])|ItemPosition)=' "$d/test.ini" 2>/dev/null)
check "first start writes all 23 keys (found ${keys:-0})" test "${keys:-0}" -eq 23
check "test.ini has the [Options] section" grep -q '^\[Options\]' "$d/test.ini"

ini_value() { # file key: the whole number before any decimals
  tr -d '\r' <"$1" | awk -F= -v k="$2" '$1 == k {split($2, n, "."); print n[1]; exit}'
}
near() { # a b: within one pixel (15 twips) of each other
  local d=$(( ${1:-0} - ${2:-999999} )); test "${d#-}" -le 15
}
check "first start opens 9000 twips wide (Width=$(ini_value "$d/test.ini" Width))" near "$(ini_value "$d/test.ini" Width)" 9000
check "first start opens 5000 twips high (Height=$(ini_value "$d/test.ini" Height))" near "$(ini_value "$d/test.ini" Height)" 5000

# 2. A code page 932 list of 1,000 lines comes back byte for byte.
d="$work/cp932"; mkdir -p "$d"
for i in $(seq 1 1000); do
  printf 'ファイル%04d～①.avi#1,234.567#AVI#640×480#00:01:40#DivX#2003/05/01#2003/05/20#アニメ#####予備#\r\n' "$i"
done | iconv -f UTF-8 -t CP932 >"$d/List.txt"
cp "$d/List.txt" "$work/cp932.orig"
run_once "$d"
check "code page 932 run exits 0" test "$status" -eq 0
check "a 1,000-line code page 932 List.txt is byte-identical after a run" cmp -s "$d/List.txt" "$work/cp932.orig"

# 3. With EndSave=0 the list is not written, the rest is.
d="$work/nosave"; mkdir -p "$d"
printf 'a.txt#0.001#TXT#####2003/05/01#2003/05/20#######\r\n' >"$d/List.txt"
printf '[Options]\r\nEndSave=0\r\n' >"$d/test.ini"
touch -d '2001-01-01' "$d/List.txt"
cp -p "$d/List.txt" "$work/nosave.orig"
run_once "$d"
check "EndSave=0 exits 0" test "$status" -eq 0
check "EndSave=0 leaves List.txt untouched" cmp -s "$d/List.txt" "$work/nosave.orig"
check "EndSave=0 does not even rewrite List.txt" test "$(stat -c %Y "$d/List.txt")" = "$(stat -c %Y "$work/nosave.orig")"
check "EndSave=0 still writes the category files" test -f "$d/List05.txt"
check "EndSave=0 is written back" grep -q '^EndSave=0' "$d/test.ini"

# 4. An emptied catalogue sends List.txt to the trash.
d="$work/emptied"; mkdir -p "$d"
printf '\r\n' >"$d/List.txt"
run_once "$d"
check "emptied catalogue exits 0" test "$status" -eq 0
check "emptied List.txt left the data folder" test ! -e "$d/List.txt"
check "emptied List.txt is in the trash" test -f "$XDG_DATA_HOME/Trash/files/List.txt"

# 5. A second instance on the same folder leaves at once, with status 0.
d="$work/single"; mkdir -p "$d"
ZARUMI_DATA_DIR="$d" "$zarumi" >/dev/null 2>&1 &
first=$!
if wait_window $first; then
  start=$(date +%s%N)
  ZARUMI_DATA_DIR="$d" timeout 10 "$zarumi" >/dev/null 2>&1
  second_status=$?
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  check "second instance exits 0" test "$second_status" -eq 0
  check "second instance leaves at once (${elapsed} ms)" test "$elapsed" -lt 5000
  windows=$(wmctrl -l | grep -c Zarumi)
  check "only one Zarumi window is open" test "$windows" -eq 1
  close_and_wait $first
  check "first instance still exits 0" test $? -eq 0
else
  bad "window of the single-instance case appeared"
fi

# 6. The window keeps its size and place: what an exit writes is what the
# next start shows, the frame of the window manager included.
d="$work/geometry"; mkdir -p "$d"
printf '[Options]\r\nWidth=9600\r\nHeight=6000\r\nX_WindowPosition=1500\r\nY_WindowPosition=1900\r\n' >"$d/test.ini"
for cycle in 1 2 3; do
  run_once "$d"
  check "geometry run $cycle exits 0" test "$status" -eq 0
  for pair in Width=9600 Height=6000 X_WindowPosition=1500 Y_WindowPosition=1900; do
    key=${pair%=*}; want=${pair#*=}; got=$(ini_value "$d/test.ini" "$key")
    check "after run $cycle $key stays $want (found ${got:-none})" near "$got" "$want"
  done
done

echo "$passed passed, $failed failed"
test "$failed" -eq 0
