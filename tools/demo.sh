#!/usr/bin/env bash
# Installs what is missing, builds 墨舟, starts the demo portal on 127.0.0.1:8086 and opens
# 墨舟 on it with a fresh program folder of its own (your real data folder is left alone).
#   tools/demo.sh [program-folder]
# The portal stops when the window is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target mozhou mozhou-portal
folder="${1:-$(mktemp -d /tmp/mozhou-demo.XXXXXX)}"
./build/portal/mozhou-portal --port 8086 &
portal=$!
trap 'kill $portal 2>/dev/null || true' EXIT
echo "Program folder: $folder"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under Xvfb on :99 (screenshot with: DISPLAY=:99 import -window root shot.png)"
    Xvfb :99 -screen 0 1280x800x24 -nolisten tcp &
    xvfb=$!
    trap 'kill $portal $xvfb 2>/dev/null || true' EXIT
    export DISPLAY=:99
    sleep 1
fi
DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}" ./build/app/mozhou --folder "$folder"
