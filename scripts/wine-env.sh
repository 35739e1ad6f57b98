# Shared by the project's scripts: the Wine environment of a prefix, the
# prefix's first-time set-up, and a private Xvfb. Source it; it defines
# functions and changes nothing by itself.

qv_wine_env() {
  export WINEPREFIX=$1
  export WINEARCH=win32
  export WINEDEBUG=${WINEDEBUG:--all}
  # No Mono or Gecko prompts, and no menu entries on the host for what the
  # programs put into Wine's start menu.
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
}

# Makes the prefix when it is missing; safe when several runs start at once.
qv_wine_prefix() {
  [ -f "$WINEPREFIX/.qv-ready" ] && return 0
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.qv-ready" ]; then
      rm -rf "$WINEPREFIX"
      wineboot -i >/dev/null 2>&1 || true
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
      wine regedit /S "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1 || true
      rm -f "$reg"
      wineserver -w || true
      [ -f "$WINEPREFIX/system.reg" ] || { echo "wine-env: could not create the Wine prefix $WINEPREFIX" >&2; exit 1; }
      touch "$WINEPREFIX/.qv-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Starts Wine's long-lived helpers (services, the desktop process) with
# their output going nowhere. Started by a program under test instead, they
# would keep that program's output pipe open, and CTest would wait for it to
# close until its time-out.
qv_wine_warm_up() {
  wine rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
}

QV_XVFB_PID=
qv_start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$fdfile" >/dev/null 2>&1 &
  QV_XVFB_PID=$!
  local i
  for i in $(seq 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  [ -s "$fdfile" ] || { echo "wine-env: Xvfb did not start" >&2; rm -f "$fdfile"; return 1; }
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

# A throwaway print server of our own, so that Wine has a printer to list
# (Wine takes its printers from CUPS) without touching the machine's own
# printing: its own folder, its own socket, one printer that prints into
# /dev/null, made the server's default.
QV_CUPS_PID=
QV_CUPS_DIR=
qv_start_cups() {
  QV_CUPS_DIR=$(mktemp -d /tmp/qv-cups.XXXXXX)
  local d=$QV_CUPS_DIR
  mkdir -p "$d"/{state,cache,spool,tmp,log,ppd}
  cat >"$d/cupsd.conf" <<CONF
Listen $d/cups.sock
LogLevel warn
Browsing No
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
  </Limit>
</Policy>
CONF
  cat >"$d/cups-files.conf" <<CONF
ServerRoot $d
StateDir $d/state
CacheDir $d/cache
DataDir /usr/share/cups
ServerBin /usr/lib/cups
RequestRoot $d/spool
TempDir $d/tmp
AccessLog $d/log/access_log
ErrorLog $d/log/error_log
PageLog $d/log/page_log
FileDevice Yes
Printcap $d/printcap
CONF
  cupsd -f -c "$d/cupsd.conf" -s "$d/cups-files.conf" >"$d/log/cupsd.out" 2>&1 &
  QV_CUPS_PID=$!
  local i
  for i in $(seq 100); do
    [ -S "$d/cups.sock" ] && break
    sleep 0.1
  done
  [ -S "$d/cups.sock" ] || { echo "wine-env: the print server did not start" >&2; return 1; }
  export CUPS_SERVER=$d/cups.sock
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
