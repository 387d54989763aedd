# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# Sourced by the screenshot scripts: finds the built program, makes a
# work folder, and starts a virtual X display (Xvfb) with a window manager
# (openbox); everything started is ended, and the folder removed, on exit.
#   source tools/x-session.sh [build-dir]    sets program, work, pids
#   start_desktop 1400x800                   sets and exports DISPLAY
cd "$(dirname "${BASH_SOURCE[0]}")/.."
build="${1:-build}"
program="$build/bin/zarumi"
[ -x "$program" ] || { echo "no $program: build first" >&2; exit 1; }

work="$(mktemp -d)"
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

start_desktop() {
    display=":$((90 + RANDOM % 100))"
    Xvfb "$display" -screen 0 "$1x24" -nolisten tcp &
    pids+=($!)
    sleep 1
    export DISPLAY="$display"
    openbox &
    pids+=($!)
    sleep 1
}
