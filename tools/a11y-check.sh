#!/usr/bin/env bash
# Opens each dialog of Tesselpad with the keyboard alone on a private X display and lists, through
# the desktop's accessibility bus (AT-SPI, as screen readers see it), every field, list and button
# shown with its name; fails when one has none.
# Usage: tools/a11y-check.sh [path/to/tesselpad]   (needs xvfb, openbox, xdotool, dbus,
# at-spi2-core and python3-pyatspi)
set -euo pipefail
frame='' wm='' xvfb=''
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] || [ "${1:-}" != --inside ]; then
  exec dbus-run-session -- "$0" --inside "${1:-$(dirname "$0")/../build-test/tesselpad}"
fi
program=$(realpath "$2")
tools=$(dirname "$(realpath "$0")")
scratch=$(mktemp -d)
trap 'kill $frame $wm $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/run"
export DISPLAY=:$((90 + RANDOM % 9)) XDG_RUNTIME_DIR=$scratch/run XDG_CONFIG_HOME=$scratch/config \
       XDG_STATE_HOME=$scratch/state XDG_DATA_HOME=$scratch/data QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
Xvfb "$DISPLAY" -screen 0 1280x800x24 >/dev/null 2>&1 & xvfb=$!
sleep 1
openbox >/dev/null 2>&1 & wm=$!
cd "$scratch"
"$program" --new-instance >/dev/null 2>&1 & frame=$!
sleep 3
names() { /usr/bin/python3 "$tools/a11y-names.py"; }
names >/dev/null 2>&1 || true   # the first call starts the accessibility bus
failed=0
# Find (closed with Tab to Cancel and Space), Replace, Go to Line, Find in Files, Options.
for keys in "ctrl+f" "Tab space ctrl+shift+h" "Escape ctrl+g" "Escape ctrl+shift+f" "alt+f o o Return"; do
  for k in $keys; do xdotool key "$k"; sleep 0.7; done
  echo "== $keys"
  names || failed=1
done
exit $failed
