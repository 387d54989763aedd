#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Copyright (C) 2026 The Zarumi developers
# tools/spdx-headers on a small throw-away repository: --check finds exactly
# the files without the licence line, a run adds it in the right comment form
# (after a #! line, keeping the file's mode), a second run changes nothing,
# and files it must not touch stay byte for byte the same.
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
git init -q .

fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p src tools gen
printf 'int main() { return 0; }\n' >src/main.cpp
printf '#pragma once\nint f();\n' >src/f.h
printf '// SPDX-License-Identifier: GPL-3.0-or-later\n// Copyright (C) 2020 Someone\nint g();\n' >src/done.h
printf 'add_subdirectory(src)\n' >CMakeLists.txt
printf '#!/usr/bin/env bash\necho hi\n' >tools/run
chmod 755 tools/run
printf '0x0001, 0x0002,\n' >gen/Table.inc
printf '# Title\n' >README.md
printf 'build/\n' >.gitignore
mkdir -p build && printf 'int ignored;\n' >build/ignored.cpp
git add src/main.cpp CMakeLists.txt # tracked and new files alike

untouched=(src/done.h gen/Table.inc README.md build/ignored.cpp)
before=$(cat "${untouched[@]}" | md5sum)

set +e
listed=$("$tool" --check . 2>/dev/null)
status=$?
set -e
[ "$status" -eq 1 ] || fail "--check gave status $status on files without the line"
expected=$'CMakeLists.txt\nsrc/f.h\nsrc/main.cpp\ntools/run'
[ "$(echo "$listed" | sort)" = "$expected" ] || fail "--check listed: $listed"

SPDX_YEAR=2026 "$tool" . >/dev/null
[ "$(head -n 2 src/main.cpp)" = $'// SPDX-License-Identifier: GPL-3.0-or-later\n// Copyright (C) 2026 The Zarumi developers' ] \
  || fail "C++ header: $(head -n 2 src/main.cpp)"
[ "$(tail -n +3 src/main.cpp)" = 'int main() { return 0; }' ] || fail "C++ body changed"
[ "$(head -n 1 CMakeLists.txt)" = '# SPDX-License-Identifier: GPL-3.0-or-later' ] || fail "CMake header: $(head -n 1 CMakeLists.txt)"
[ "$(head -n 1 tools/run)" = '#!/usr/bin/env bash' ] || fail "the #! line is no longer first"
[ "$(sed -n 2p tools/run)" = '# SPDX-License-Identifier: GPL-3.0-or-later' ] || fail "script header: $(sed -n 2p tools/run)"
[ "$(bash tools/run)" = hi ] || fail "script no longer runs"
[ -x tools/run ] || fail "script lost its mode"
[ "$(cat "${untouched[@]}" | md5sum)" = "$before" ] || fail "a file that must stay was changed"

after=$(cat src/main.cpp src/f.h CMakeLists.txt tools/run | md5sum)
"$tool" . >/dev/null
[ "$(cat src/main.cpp src/f.h CMakeLists.txt tools/run | md5sum)" = "$after" ] || fail "a second run changed files"
"$tool" --check . >/dev/null || fail "--check fails after a run"
echo "spdx-headers: ok"
