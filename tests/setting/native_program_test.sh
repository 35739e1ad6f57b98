#!/usr/bin/env bash
# The real native QV27-518 on a private Xvfb, driven like a user with
# xdotool: mouse clicks at the controls' places (the template's dialog units
# at the Liberation Sans base units, 6 by 12 pixels) and keys. Set in both
# modes against a print server of its own, with HOME, XDG_CONFIG_HOME and
# CUPS_SERVERROOT in a throwaway folder; then the configuration file, the
# user's CUPS default (lpstat -d) and the started program are checked.
# Usage: native_program_test.sh <QV27-518> <argv_writer> <artifacts folder>
set -uo pipefail
program=$1 writer=$2 artifacts=$3
for tool in Xvfb xdotool cupsd lpadmin lpstat import; do
  command -v "$tool" >/dev/null || { echo "native_program_test: $tool is missing" >&2; exit 1; }
done

# The private display and print server come from the scripts' shared set-up.
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-env.sh" || exit 1

work=$(mktemp -d /tmp/qv-native.XXXXXX)
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null
  qv_stop_cups
  qv_stop_xvfb
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# Waiting for another process is bounded, so a program that never shows its
# window fails the test instead of hanging it.
wait_for() { # <seconds> <command...>
  local limit=$(( $1 * 10 )); shift
  for ((i = 0; i < limit; i++)); do "$@" && return 0; sleep 0.1; done
  return 1
}

# --- display
qv_start_xvfb || exit 1
export QT_QPA_PLATFORM=xcb

# --- print server and the user's own folders
qv_start_print_server || exit 1
mkdir -p "$work/client" "$work/home" "$work/config/qv27-518"
# The user's lpoptions land in CUPS_SERVERROOT for root, under HOME for others.
export CUPS_SERVERROOT=$work/client HOME=$work/home XDG_CONFIG_HOME=$work/config
for p in QV_A QV_B; do lpadmin -p "$p" -E -v file:/dev/null || exit 1; done
lpadmin -d QV_A || exit 1
ini=$work/config/qv27-518/QV27-518.ini

# --- the user
mulx() { echo $(( ($1 * 6 + 2) / 4 )); }
muly() { echo $(( ($1 * 12 + 4) / 8 )); }
# Clicks inside the control at dialog units x,y (a few units in from its corner).
click() { # <window> <x> <y>
  xdotool mousemove --window "$1" "$(mulx $(($2 + 4)))" "$(muly $(($3 + 4)))" click 1
}
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1; }
# Waits for the window and gives it the keyboard (no window manager here).
await() { # <title>
  local id
  wait_for 20 shown "$1" || { fail "no window \"$1\""; return 1; }
  id=$(window_named "$1")
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  echo "$id"
}
shown() { [ -n "$(window_named "$1")" ]; }
gone() { ! shown "$1"; }
box_title="QV27-518 Software Setting Program"
main_title="QV27-518 Setting Program"

start_program() {
  "$program" >"$work/stdout" 2>"$work/stderr" &
  app_pid=$!
}
end_program() { # the close box path: Escape, then OK on the confirmation
  local main box
  main=$(await "$main_title") || return
  xdotool key --clearmodifiers Escape
  box=$(await "$box_title") || return
  xdotool key Return
  wait_for 20 bash -c "! kill -0 $app_pid 2>/dev/null" || fail "the program did not end"
  wait "$app_pid" 2>/dev/null
  app_pid=
}

# --- one PC, two printers: Select B, Set
printf '[Configuration]\nPortCount=3\nMode=Mode1-2\n[Printer Alias]\nPrinter1=Front\nPrinter2=Back\n[Printer Name]\nPrinter1=QV_A\nPrinter2=QV_B\n' >"$ini"
start_program
main=$(await "$main_title") && {
  import -window "$main" "$artifacts/linux-native-setting-dialog.png" 2>/dev/null
  click "$main" 19 95   # Select B
  click "$main" 116 201 # Set
  box=$(await "$box_title") && {
    import -window "$box" "$artifacts/linux-native-set-success.png" 2>/dev/null
    xdotool key Return
    wait_for 20 gone "$box_title" || fail "the success message stayed"
  }
  end_program
}
grep -q '^Mode1-2=PB' "$ini" || fail "Mode1-2=PB not saved: $(cat "$ini")"
lpstat -d | grep -q 'QV_B' || fail "the default is not QV_B: $(lpstat -d)"

# --- two PCs, one printer: Enable transfer, the program path, Set
printf '[Configuration]\nPortCount=3\nMode=Mode2-1\n[Printer Alias]\nPrinter1=Front\nPrinter2=Back\n[Printer Name]\nPrinter1=QV_A\nPrinter2=QV_B\n' >"$ini"
lpadmin -d QV_B
export QV_ARGV_FILE=$work/argv
start_program
main=$(await "$main_title") && {
  click "$main" 19 151   # Enable
  click "$main" 132 167  # the program path
  xdotool key ctrl+a
  xdotool type --delay 2 "$writer \"two words\""
  click "$main" 116 201  # Set
  box=$(await "$box_title") && { xdotool key Return; wait_for 20 gone "$box_title"; }
  end_program
}
grep -q '^Mode2-1=FtpON' "$ini" || fail "Mode2-1=FtpON not saved: $(cat "$ini")"
grep -qF "FtpPath=$writer \"two words\"" "$ini" || fail "the program path not saved: $(cat "$ini")"
lpstat -d | grep -q 'QV_A' || fail "the shared printer (A) is not the default: $(lpstat -d)"
wait_for 20 test -s "$QV_ARGV_FILE" || fail "the transfer program did not start"
tr '\0' '\n' <"$QV_ARGV_FILE" 2>/dev/null | grep -qx 'two words' || fail "the program's argument did not arrive"

[ "$failures" -eq 0 ] && echo "native_program_test: both modes set" && exit 0
cat "$work/stderr" >&2
exit 1
