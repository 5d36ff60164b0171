#!/usr/bin/env bash
# The real program on a real X server, used as a person would use it: starts tesselpad on a
# private Xvfb display with the openbox window manager (the xcb platform, not offscreen), drives it
# with X key events through xdotool and checks what it leaves: the bytes on disk, an exit status
# of 0, and no Qt warning about destroyed objects on its error output. Files named on the command
# line open, also when a second launch hands them to the frame already running; those that cannot
# be opened are reported in one message. Work left by a killed program (a journal, a save in place
# cut short) is offered at the next start. Tabs and a second view of a page save the page once.
# Usage: tests/smoke/smoke.sh PATH/TO/tesselpad   (SMOKE_SECONDS: the bound on the whole run, 240)
# Needs Xvfb, openbox and xdotool; tools/deps.sh test installs them.
set -u
program=$(realpath "$1")
deadline=$((SECONDS + ${SMOKE_SECONDS:-240}))
work=$(mktemp -d)
server="" wm="" app=""

for tool in Xvfb openbox xdotool; do
  command -v "$tool" >/dev/null || { echo "smoke: $tool is missing (tools/deps.sh test installs it)"; exit 1; }
done

cleanup() {
  for pid in $app $wm $server; do kill "$pid" 2>/dev/null; done
  sleep 0.2
  for pid in $app $wm $server; do kill -9 "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

step() { echo "smoke: $*"; }
fail() {
  echo "smoke: FAILED: $*"
  [ -s "$work/stderr" ] && sed 's/^/  tesselpad: /' "$work/stderr" | tail -n 30
  exit 1
}

# Runs the command until it succeeds; fails the test when the time is up.
wait_for() {   # description command...
  local what=$1; shift
  until "$@" >/dev/null 2>&1; do
    [ "$SECONDS" -lt "$deadline" ] || fail "timed out waiting for $what"
    sleep 0.1
  done
}

# ---- The program's windows
visible_windows() { xdotool search --onlyvisible --class tesselpad 2>/dev/null | wc -l; }
active_is() { [ "$(xdotool getactivewindow getwindowname 2>/dev/null)" = "$1" ]; }
wait_window() { wait_for "the window \"$1\" to be active" active_is "$1"; }
windows_are() { [ "$(visible_windows)" -eq "$1" ]; }

# ---- Input: X key events to the focused window, with time for the program to take each one
key() { xdotool key --delay 60 "$@"; sleep 0.2; }
type_text() { xdotool type --delay 30 -- "$1"; sleep 0.2; }

# Opens a menu of the menu bar with its access key and closes it with one Escape.
open_menu() {   # letter
  key "alt+$1"
  wait_for "the menu Alt+$1 to open" windows_are 2
  key Escape
  wait_for "the menu Alt+$1 to close" windows_are 1
}

# ---- Files
bytes_are() { printf "$2" | cmp -s - "$1"; }   # file printf-format
expect_bytes() {   # file printf-format
  until bytes_are "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || { od -c "$1" | head -n 8; fail "$1 does not hold the expected bytes"; }
    sleep 0.1
  done
}

# ---- The program
start() {   # [argument...]
  : >"$work/stderr"
  (cd "$work" && exec env QT_QPA_PLATFORM=xcb XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$program" "$@" 2>>"$work/stderr") &
  app=$!
  wait_window Tesselpad
}

# Waits for the program to end; fails unless it ended with status 0 and without warnings about
# objects destroyed at the wrong time.
expect_clean_exit() {
  wait_for "the program to end" eval "! kill -0 $app"
  wait "$app"
  local status=$?
  app=""
  [ "$status" -eq 0 ] || fail "exit status $status"
  if grep -E -i 'destroy|QObject|QWidget|QBasicTimer|QSocketNotifier|AddressSanitizer|LeakSanitizer' "$work/stderr"; then
    fail "warnings on the error output"
  fi
}

# ---- An X server of our own, with a window manager
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp >/dev/null 2>&1 &
server=$!
exec 3>&-
wait_for "the X server" test -s "$work/display"
export DISPLAY=":$(head -n1 "$work/display")"
openbox >/dev/null 2>&1 &
wm=$!
wait_for "the window manager" xdotool get_desktop
step "display $DISPLAY"

step "without a display, an unknown option is named, status 2"
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb "$program" --bogus 2>"$work/bogus"
status=$?
[ "$status" -eq 2 ] && grep -q -- "--bogus" "$work/bogus" || fail "--bogus without a display: status $status"

# A pipe where Qt's file dialog keeps its state must not hang the Save and Open dialogs below.
mkdir -p "$work/config"
mkfifo "$work/config/QtProject.conf"

step "start, open each menu, type"
start
for m in f e s v w h; do open_menu "$m"; done
type_text "Hello smoke"
key Return
type_text "line 2"

step "save through the Save dialog"
key ctrl+s
wait_window "Save As"
type_text "$work/saved.htm"
key Return
wait_window Tesselpad
expect_bytes "$work/saved.htm" 'Hello smoke\r\nline 2\r\n'

step "open the saved file again, change it, save it"
key ctrl+o
wait_window Open
type_text "$work/saved.htm"
key Return
wait_window Tesselpad
key ctrl+End
type_text "!"
key ctrl+s
expect_bytes "$work/saved.htm" 'Hello smoke\r\nline 2\r\n!\r\n'

step "View > Indent with Spaces, then Tab and Enter keep the indentation in spaces"
key Return
key alt+v
wait_for "the View menu" windows_are 2
key s
wait_for "the View menu to close" windows_are 1
key Tab
type_text "x"
key Return
type_text "y"
key ctrl+s
expect_bytes "$work/saved.htm" 'Hello smoke\r\nline 2\r\n!\r\n    x\r\n    y\r\n'

step "a UTF-8 page: type é at its end, save"
printf '<p>Caf\xc3\xa9</p>\n' >"$work/utf8.htm"
key ctrl+o
wait_window Open
type_text "$work/utf8.htm"
key Return
wait_window Tesselpad
key ctrl+End
# xdotool binds é to a spare key only while it types it: a long delay gives a busy program the time
# to read the key while it is still bound.
xdotool type --delay 1000 -- "é"
sleep 0.2
key ctrl+s
expect_bytes "$work/utf8.htm" '<p>Caf\xc3\xa9</p>\n\xc3\xa9\n'

step "Edit > Toggle Comment (Ctrl+/) comments the caret's line out, then in again"
key ctrl+slash
key ctrl+s
expect_bytes "$work/utf8.htm" '<p>Caf\xc3\xa9</p>\n<!-- \xc3\xa9 -->\n'
key ctrl+slash
key ctrl+s
expect_bytes "$work/utf8.htm" '<p>Caf\xc3\xa9</p>\n\xc3\xa9\n'

step "an LF file: Enter types LF, and a text ending in a line end is saved as it is"
printf 'one\ntwo\n' >"$work/lf.txt"
key ctrl+o
wait_window Open
type_text "$work/lf.txt"
key Return
wait_window Tesselpad
key ctrl+End
type_text "three"
key Return
type_text "four"
key Return
key ctrl+s
expect_bytes "$work/lf.txt" 'one\ntwo\nthree\nfour\n'

step "a new .html page: typing '<p>' closes the tag, Tab expands an abbreviation"
: >"$work/new.html"
key ctrl+o
wait_window Open
type_text "$work/new.html"
key Return
wait_window Tesselpad
type_text "<p>x"
key End
key Return
type_text "ul>li"
key Tab
type_text "y"
key ctrl+s
expect_bytes "$work/new.html" '<p>x</p>\r\n<ul>\r\n    <li>y</li>\r\n</ul>\r\n'

step "File > Exit"
key alt+f
wait_for "the File menu" windows_are 2
key x
expect_clean_exit

step "tesselpad FILE opens FILE; a second launch hands its file to the first frame"
export XDG_RUNTIME_DIR=$work/runtime XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -m 700 "$XDG_RUNTIME_DIR"
printf 'first' >"$work/first.htm"
printf 'second' >"$work/second.htm"
latest_is() { [ "$(head -n1 "$XDG_CONFIG_HOME/Tesselpad/recent-files")" = "$1" ]; }
start first.htm
wait_for "first.htm to open" latest_is "$work/first.htm"
key ctrl+End
type_text "!"
key ctrl+s
expect_bytes "$work/first.htm" 'first!\r\n'
(cd "$work" && QT_QPA_PLATFORM=xcb "$program" second.htm 2>>"$work/stderr") || fail "the second launch ended with status $?"
wait_for "the first frame to open second.htm" latest_is "$work/second.htm"
key ctrl+End
type_text "?"
key ctrl+s
expect_bytes "$work/second.htm" 'second?\r\n'

step "a name that is not text and 30 missing files: one message, no namesake opened"
printf 'namesake' >"$work/n$(printf '\357\277\275').htm"
(cd "$work" && QT_QPA_PLATFORM=xcb "$program" "n$(printf '\377').htm" $(seq -f 'gone%g.htm' 30) 2>>"$work/stderr") ||
  fail "the launch ended with status $?"
wait_for "the message" windows_are 2
key Return
wait_for "the message to close" windows_are 1
sleep 1
windows_are 1 || fail "more than one message"
latest_is "$work/second.htm" || fail "another file was opened"
key alt+f
wait_for "the File menu" windows_are 2
key x
expect_clean_exit

step "menus opened, then the frame's close box"
start
for m in e w; do open_menu "$m"; done
key alt+F4
expect_clean_exit

step "killed while typing: the next start offers the work back, Enter recovers it"
start
type_text "precious words"
sleep 1.5
kill -9 "$app"
wait "$app" 2>/dev/null
app=""
start
wait_for "the recovery offer" windows_are 2
key Return
wait_for "the offer to close" windows_are 1
key ctrl+s
wait_window "Save As"
type_text "$work/recovered.htm"
key Return
wait_window Tesselpad
expect_bytes "$work/recovered.htm" 'precious words\r\n'
key alt+F4
expect_clean_exit

step "saves in place interrupted by a kill: the next start asks; Enter restores the old content, Alt+K keeps the file"
saves=$work/state/tesselpad/saves
plant() {   # file old-bytes file-bytes time: the copy and record a killed save left, its process gone
  local stem="$saves/$1~$(date -d "$4" +%Y%m%d-%H%M%S)-999999999"
  printf "$3" >"$work/$1"
  printf "$2" >"$stem.old"
  printf '%s\nnew-text 99 0 999999999 0\n' "$work/$1" >"$stem.path"
  touch -d "$4" "$stem.old"
}
mkdir -p "$saves"
plant half.htm 'old text\r\n' 'new text, half' '2026-01-01 12:00'
plant mixed.htm 'old words\r\n' 'mixed words' '2026-01-01 12:01'
start
wait_for "the first question" windows_are 2
key Return
expect_bytes "$work/half.htm" 'old text\r\n'
wait_for "the second question" windows_are 2
key alt+k
wait_for "the questions to close" windows_are 1
expect_bytes "$work/mixed.htm" 'mixed words'
[ -z "$(ls -A "$saves")" ] || fail "copies left in $saves: $(ls -A "$saves")"
key alt+F4
expect_clean_exit

step "tabs, a second view of the page typed in, the page saved once"
start
key alt+v
wait_for "the View menu" windows_are 2
key d
wait_for "the View menu to close" windows_are 1
type_text "abc"
key alt+w
wait_for "the Window menu" windows_are 2
key n
wait_for "the Window menu to close" windows_are 1
type_text "XY"
key ctrl+Tab
key ctrl+Tab
key ctrl+s
wait_window "Save As"
type_text "$work/views.htm"
key Return
wait_window Tesselpad
expect_bytes "$work/views.htm" 'abcXY\r\n'
key alt+F4
expect_clean_exit

step "passed in $SECONDS s"
