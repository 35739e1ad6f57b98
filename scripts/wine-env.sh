# Shared by the project's scripts: what this machine can execute, the Wine
# environment of a 32-bit or 64-bit prefix, the prefix's first-time set-up,
# a private Xvfb and print server, and the clean-up that stops them all.
# Source it; it defines functions and changes nothing by itself.

QV_SCRIPTS=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
QV_LD32=/lib/ld-linux.so.2
QV_WINE32_LOADER=/usr/lib/wine/wine
QV_WINE64_LOADER=/usr/lib/wine/wine64
# The 64-bit server serves the prefixes of both loaders; called directly it
# takes no persistence option that the Debian wrapper would add.
QV_WINESERVER=/usr/lib/wine/wineserver64

# ------------------------------------------------------------ the probe

# Can this machine execute 32-bit x86 programs, and so a 32-bit Wine
# prefix? Sets QV_I386 (yes or no) and QV_I386_REASON once; QV_NO_I386=1
# makes the answer no, so that the 64-bit-only path can be tried anywhere.
QV_I386=
QV_I386_REASON=
qv_probe_i386() {
  [ -n "$QV_I386" ] && return 0
  local out
  if [ "${QV_NO_I386:-}" = 1 ]; then
    QV_I386=no QV_I386_REASON="QV_NO_I386=1 is set"
  elif [ ! -e "$QV_LD32" ]; then
    QV_I386=no QV_I386_REASON="no 32-bit C library is installed ($QV_LD32)"
  elif ! out=$("$QV_LD32" --version 2>&1 >/dev/null); then
    QV_I386=no QV_I386_REASON="$QV_LD32 does not run: ${out:-no message}"
  elif [ ! -e "$QV_WINE32_LOADER" ]; then
    QV_I386=no QV_I386_REASON="the 32-bit Wine loader $QV_WINE32_LOADER is not installed"
  elif ! out=$("$QV_WINE32_LOADER" --version 2>&1 >/dev/null); then
    QV_I386=no QV_I386_REASON="$QV_WINE32_LOADER does not run: ${out:-no message}"
  else
    QV_I386=yes QV_I386_REASON="$QV_LD32 and $QV_WINE32_LOADER run"
  fi
  # One line, without the shell's own "file: line N:" in front of an error.
  QV_I386_REASON=$(printf '%s' "$QV_I386_REASON" | tr '\n' ' ' | sed 's/[^ ]*: line [0-9]*: //; s/ *$//')
}

# The probe's answer as one line.
qv_report_i386() {
  qv_probe_i386
  if [ "$QV_I386" = yes ]; then
    echo "arch-probe: this machine can execute 32-bit x86 programs ($QV_I386_REASON)"
  else
    echo "arch-probe: this machine cannot execute 32-bit x86 programs ($QV_I386_REASON)"
  fi
}

# ------------------------------------------------------------ the prefix

# qv_wine_env PREFIX [win32|win64]: the environment of the prefix. The 64-bit
# loader is called directly: Debian's `wine` wrapper takes the 32-bit one
# whenever it is installed, whatever the prefix.
qv_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=${2:-win32}
  case "$WINEARCH" in
    win32) QV_WINE=$QV_WINE32_LOADER ;;
    win64) QV_WINE=$QV_WINE64_LOADER ;;
    *) echo "wine-env: unknown Wine architecture $WINEARCH" >&2; return 2 ;;
  esac
  export WINELOADER=$QV_WINE
  export WINESERVER=$QV_WINESERVER
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko prompts, and no menu entries on the host for what the
  # programs put into Wine's start menu.
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
}

qv_wine() { "$QV_WINE" "$@"; }
qv_winepath() { "$QV_WINE" winepath.exe -w "$1" 2>/dev/null; }

# One attempt at setting up the prefix; says what went wrong on stdout, with
# wineboot's and regedit's own words. A failing wineboot or regedit must not
# end the caller's `set -e` shell before the checks below can say why.
qv_wine_prefix_attempt() {
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX" && touch "$WINEPREFIX/.qv-made" || { echo "cannot create $WINEPREFIX"; return 0; }
  local log rc=0
  log=$(mktemp)
  qv_wine wineboot.exe -i >"$log" 2>&1 </dev/null 9>&- || rc=$?
  # wineboot returns before the wineserver has written the registry files;
  # importing before they exist would skip the settings below.
  "$QV_WINESERVER" -w 9>&- || true
  local reg
  reg=$(mktemp --suffix=.reg)
  # Without a window manager Wine waits for every managed window that
  # closes; crash dialogs would block an unattended run.
  cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
"Decorated"="Y"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  if [ -f "$WINEPREFIX/system.reg" ]; then
    qv_wine regedit.exe /S "$(qv_winepath "$reg")" </dev/null >>"$log" 2>&1 9>&- ||
      echo "(regedit ended with status $?)" >>"$log"
  fi
  rm -f "$reg"
  "$QV_WINESERVER" -w 9>&- || true
  local problem=
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    problem="could not create the $WINEARCH Wine prefix $WINEPREFIX"
  elif ! grep -q '^"Managed"="N"' "$WINEPREFIX/user.reg"; then
    problem="could not set up the $WINEARCH Wine prefix $WINEPREFIX (regedit)"
  fi
  if [ -n "$problem" ]; then
    echo "$problem"
    echo "wineboot ended with status $rc and said:"
    sed 's/^/  /' "$log" | tail -n 20
  fi
  rm -f "$log"
}

# Makes the prefix when it is missing; safe when several runs start at once.
# Only a folder that these scripts made (their marker is in it) or an empty
# one is ever removed or set up: anything else is someone's own prefix.
# A prefix that does not come up is made once more before giving up, so
# that one bad start of Wine does not fail the whole run.
qv_wine_prefix() {
  [ -f "$WINEPREFIX/.qv-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")" || return 1
  (
    flock 9
    [ -f "$WINEPREFIX/.qv-ready" ] && exit 0
    if [ -d "$WINEPREFIX" ] && [ ! -f "$WINEPREFIX/.qv-made" ]; then
      if [ -n "$(ls -A "$WINEPREFIX")" ]; then
        echo "wine-env: $WINEPREFIX exists and was not made by this project's scripts; not touching it" \
             "(remove it yourself, or name a folder that does not exist yet)" >&2
        exit 1
      fi
    fi
    # A half-made prefix of ours from an interrupted run starts over.
    problem=$(qv_wine_prefix_attempt)
    if [ -n "$problem" ]; then
      echo "wine-env: ${problem%%$'\n'*}; making it once more" >&2
      problem=$(qv_wine_prefix_attempt)
    fi
    if [ -n "$problem" ]; then
      echo "wine-env: $problem" >&2
      exit 1
    fi
    touch "$WINEPREFIX/.qv-ready"
  ) 9>"$WINEPREFIX.lock"
}

# Starts Wine's long-lived helpers (services, the desktop process) with
# their output going nowhere. Started by a program under test instead, they
# would keep that program's output pipe open, and CTest would wait for it to
# close until its time-out.
qv_wine_warm_up() {
  qv_wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 200>&- || true
}

# Keeps the prefix's server up between programs, for at most a minute after
# the last one, so that a run that is killed outright leaves it behind no
# longer than that.
qv_wineserver_persist() { "$QV_WINESERVER" -p60 </dev/null >/dev/null 2>&1 200>&- || true; }

qv_wineserver_stop() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] && "$QV_WINESERVER" -k 2>/dev/null || true
}

# ------------------------------------------------------------ display, printer

# qv_wait_until TEST...: runs the test every tenth of a second, for up to
# ten seconds, until it holds; a daemon that never gets ready fails its
# start instead of hanging the script.
qv_wait_until() {
  local i
  for i in $(seq 100); do
    "$@" && return 0
    sleep 0.1
  done
  return 1
}

QV_XVFB_PID=
qv_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp -noreset 9>"$fdfile" >/dev/null 2>&1 </dev/null 200>&- &
  QV_XVFB_PID=$!
  qv_wait_until test -s "$fdfile" || { echo "wine-env: Xvfb did not start" >&2; rm -f "$fdfile"; return 1; }
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

qv_stop_xvfb() {
  if [ -n "$QV_XVFB_PID" ]; then
    kill "$QV_XVFB_PID" 2>/dev/null || true
    wait "$QV_XVFB_PID" 2>/dev/null || true
    QV_XVFB_PID=
  fi
}

# A throwaway print server of our own, without touching the machine's own
# printing: its own folder, its own socket, no printers yet. CUPS_SERVER
# points at it once it listens.
QV_CUPS_PID=
QV_CUPS_DIR=
qv_start_print_server() {
  QV_CUPS_DIR=$(mktemp -d /tmp/qv-cups.XXXXXX)
  local d=$QV_CUPS_DIR
  "$QV_SCRIPTS/print-server" "$d" 200>&- &
  QV_CUPS_PID=$!
  qv_wait_until test -S "$d/cups.sock" || { echo "wine-env: the print server did not start" >&2; return 1; }
  export CUPS_SERVER=$d/cups.sock
}

# The print server with one printer that prints into /dev/null, made the
# server's default, so that Wine has a printer to list (Wine takes its
# printers from CUPS).
qv_start_cups() {
  qv_start_print_server || return
  lpadmin -p QV_Test_Printer -E -v file:/dev/null >/dev/null 2>&1 &&
    lpadmin -d QV_Test_Printer >/dev/null 2>&1 ||
    { echo "wine-env: could not add the test printer" >&2; return 1; }
}

qv_stop_cups() {
  if [ -n "$QV_CUPS_PID" ]; then
    kill "$QV_CUPS_PID" 2>/dev/null || true
    wait "$QV_CUPS_PID" 2>/dev/null || true
    QV_CUPS_PID=
  fi
  [ -n "$QV_CUPS_DIR" ] && rm -rf "$QV_CUPS_DIR"
  QV_CUPS_DIR=
}

# The private display and print server that the Windows suites run under,
# so that nothing appears on the user's desktop and none of the machine's
# printing is touched. With --keep-own, a DISPLAY or CUPS_SERVER that the
# environment already names is used instead.
qv_start_test_services() {
  local keep=
  [ "${1:-}" = --keep-own ] && keep=1
  if [ -z "$keep" ] || [ -z "${DISPLAY:-}" ]; then qv_start_xvfb || return; fi
  if [ -z "$keep" ] || [ -z "${CUPS_SERVER:-}" ]; then qv_start_cups || return; fi
}

# qv_wine_ctest PRESET [ctest arguments]: one target's Windows suites in its
# own prefix (build/PRESET/wineprefix), under the display and print server
# started above; the prefix's server is stopped afterwards. Returns 3 when
# the prefix cannot be made.
qv_wine_ctest() {
  local preset=$1 root
  shift
  root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
  qv_wine_env "$root/build/$preset/wineprefix" "$preset"
  qv_wine_prefix || return 3
  qv_wineserver_persist
  qv_wine_warm_up
  local rc=0
  qv_run ctest --preset "$preset" "$@" 200>&- || rc=$?
  qv_wineserver_stop
  return "$rc"
}

# ------------------------------------------------------------ clean-up, lock

# Runs a command so that a kill of the script reaches it too: the shell
# runs its traps only once a command in the foreground has ended, but at
# once while it waits for one in the background.
QV_CHILD=
qv_run() {
  "$@" &
  QV_CHILD=$!
  local rc=0
  wait "$QV_CHILD" || rc=$?
  QV_CHILD=
  return "$rc"
}

# Ends a process and everything it started, by process id.
qv_kill_tree() {
  local child
  for child in $(ps -o pid= --ppid "$1" 2>/dev/null); do qv_kill_tree "$child"; done
  kill -TERM "$1" 2>/dev/null || true
}

# Stops what this shell started, in order: the command it waits for, then
# Wine's processes (they hold on to the display and the printer list), then
# the print server and the display.
qv_cleanup() {
  if [ -n "$QV_CHILD" ]; then
    qv_kill_tree "$QV_CHILD"
    wait "$QV_CHILD" 2>/dev/null || true
    QV_CHILD=
  fi
  qv_wineserver_stop
  qv_stop_cups
  qv_stop_xvfb
}

# For the scripts that run under `set -e`: a command that fails ends them,
# and this says which one did, once, instead of ending without a word.
QV_FAILED=
qv_trap_failure() {
  set -E
  trap 'qv_report_failure $? "$BASH_COMMAND"' ERR
}
qv_report_failure() {
  [ -z "$QV_FAILED" ] || return 0
  QV_FAILED=1
  echo "$(basename "$0"): stopped, because this ended with status $1: $2" >&2
}

# Cleans up however the script ends: normally, on Ctrl-C or on a kill.
qv_trap_cleanup() {
  trap 'qv_cleanup' EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

# Holds a lock on the build tree for the rest of the script, so that two
# runs in one tree (test and run, or two tests) wait for each other instead
# of ending each other's Wine. The daemons started above close its file
# descriptor (200), so that none of them keeps the tree locked.
qv_lock_build_tree() {
  local root=$1
  mkdir -p "$root/build"
  exec 200>"$root/build/.lock"
  if ! flock -n 200; then
    echo "Another run is using $root/build; waiting for it to finish..."
    flock 200
  fi
}
