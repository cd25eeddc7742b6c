#!/usr/bin/env bash
# Starts the real window under Xvfb with the xcb platform, as a user would, takes a screenshot,
# closes it with File > Exit from the keyboard and checks that the settings were written.
#
# usage: smoke-test-window.sh <patchferry binary> <output folder>
set -euo pipefail

binary=$(realpath "$1")
out=${2:-$(pwd)/smoke}
mkdir -p "$out"
if [[ "${PATCHFERRY_SMOKE_INNER:-}" == 1 ]]; then
    home=$HOME
else
    home=$(mktemp -d)
    trap 'rm -rf "$home"' EXIT
fi

export HOME="$home" XDG_CONFIG_HOME="$home/.config" XDG_RUNTIME_DIR="$home/run"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
settings="$XDG_CONFIG_HOME/Patchferry/Patchferry.conf"

run_session() {
    QT_QPA_PLATFORM=xcb "$binary" >"$out/patchferry.log" 2>&1 &
    local pid=$!
    local window=""
    for _ in $(seq 1 300); do
        # Only once it is mapped: focusing a window that is not viewable yet is an X error.
        window=$(xdotool search --onlyvisible --name '^Patchferry$' 2>/dev/null | head -n 1 || true)
        [[ -n "$window" ]] && break
        sleep 0.1
    done
    if [[ -z "$window" ]]; then
        echo "FAIL: no Patchferry window appeared" >&2
        kill "$pid" 2>/dev/null || true
        cat "$out/patchferry.log" >&2
        return 1
    fi
    sleep 1  # let it paint
    import -window root "$out/window.png"
    # There is no window manager under Xvfb, so activation may be refused; focus it directly,
    # retrying while the server catches up.
    for _ in $(seq 1 20); do
        xdotool windowactivate --sync "$window" 2>/dev/null && break
        xdotool windowfocus --sync "$window" 2>/dev/null && break
        sleep 0.2
    done
    xdotool key --window "$window" alt+f
    sleep 0.5
    import -window root "$out/file-menu.png"
    xdotool key x
    for _ in $(seq 1 150); do
        kill -0 "$pid" 2>/dev/null || break
        sleep 0.1
    done
    if kill -0 "$pid" 2>/dev/null; then
        echo "FAIL: File > Exit from the keyboard did not close the window" >&2
        kill "$pid" 2>/dev/null || true
        return 1
    fi
    wait "$pid"
}
if [[ "${PATCHFERRY_SMOKE_INNER:-}" == 1 ]]; then
    run_session
    exit $?
fi

# Run this script again inside the X server for the session itself.
PATCHFERRY_SMOKE_INNER=1 xvfb-run --auto-servernum --server-args="-screen 0 1280x800x24" \
    bash "$(realpath "$0")" "$binary" "$out"

if [[ ! -s "$settings" ]]; then
    echo "FAIL: no settings written to $settings" >&2
    exit 1
fi
for key in top left bottom right chan curdir; do
    grep -q "^$key=" "$settings" || { echo "FAIL: $key missing from settings" >&2; cat "$settings" >&2; exit 1; }
done
echo "PASS: window shown (screenshot $out/window.png), closed from the keyboard, settings written"
cat "$settings"
