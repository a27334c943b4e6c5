#!/usr/bin/env bash
# Installs what is missing, builds 墨舟, starts the demo portal on 127.0.0.1:8086 (on a free port
# when 8086 is taken) and opens 墨舟 on it with a fresh program folder of its own (your real data
# folder is left alone).
#   tools/demo.sh [program-folder]
# The portal stops when the window is closed.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target mozhou mozhou-portal
folder="${1:-$(mktemp -d /tmp/mozhou-demo.XXXXXX)}"
mkdir -p "$folder"
# The portal prints its address once it listens, or exits when it cannot. 墨舟's delivered
# settings name 127.0.0.1:8086; when another program holds that port, the portal takes a free one
# and a fresh program folder gets settings naming it (a given folder with settings of its own is
# left alone), so that 墨舟 never talks to whatever else answers on 8086.
started=$(mktemp /tmp/mozhou-portal.XXXXXX)
portal=
trap 'kill $portal 2>/dev/null || true; rm -f "$started"' EXIT
for port in 8086 0; do
    ./build/portal/mozhou-portal --port "$port" >"$started" &
    portal=$!
    while kill -0 "$portal" 2>/dev/null && [ ! -s "$started" ]; do sleep 0.1; done
    [ -s "$started" ] && break
    wait "$portal" || true
    portal=
done
[ -n "$portal" ] || { echo "demo: the demo portal could not start" >&2; exit 1; }
base=$(head -n 1 "$started" | tr -d '\r\n')
base=${base%/}
echo "Demo portal: $base"
if [ "$base" != "http://127.0.0.1:8086" ]; then
    if [ ! -e "$folder/option.ini" ]; then
        LC_ALL=C sed "s|http://127.0.0.1:8086|$base|" data/option.ini >"$folder/option.ini"
    else
        echo "Port 8086 is taken: set [新闻网站] in $folder/option.ini to $base" >&2
    fi
fi
echo "Program folder: $folder"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display: running under Xvfb on :99 (screenshot with: DISPLAY=:99 import -window root shot.png)"
    Xvfb :99 -screen 0 1280x800x24 -nolisten tcp &
    xvfb=$!
    trap 'kill $portal $xvfb 2>/dev/null || true; rm -f "$started"' EXIT
    export DISPLAY=:99
    sleep 1
fi
DBUS_SESSION_BUS_ADDRESS="${DBUS_SESSION_BUS_ADDRESS:-disabled:}" ./build/app/mozhou --folder "$folder"
