#!/usr/bin/env bash
# Starts the program on a virtual display with the accessibility bus on and prints what a screen
# reader sees after the given keystrokes. Run inside its own D-Bus session:
#     dbus-run-session -- tools/a11y_session.sh PROGRAM [xdotool key arguments...]
set -euo pipefail
program=$1
shift
export DISPLAY=${DISPLAY:-:97}
Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 &
xvfb=$!
sleep 1
/usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
sleep 1
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$program" >/dev/null 2>&1 &
app=$!
sleep 3
for keys in "$@"; do
    xdotool $keys
    sleep 1
done
/usr/bin/python3 "$(dirname "$0")/a11y_tree.py" || true
kill $app $xvfb 2>/dev/null || true
