#!/usr/bin/env bash
# The Debian package as a user and Debian's tools see it: builds it with
# scripts/package, checks it with lintian, the desktop and AppStream
# validators and man, unpacks it into a throwaway root and runs the programs
# from there; as root, and where no copy of the package is installed
# already, installs it with apt, looks for the backend where CUPS looks and
# checks that a purge leaves none of its files behind.
# Prints one line per check and ends with PASS or FAIL.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root"

failures=0
pass() { echo "ok: $*"; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
skip() { echo "skipped: $*"; }
check() {  # check DESCRIPTION COMMAND...: passes when the command succeeds
  local what=$1; shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qv-package.XXXXXX")
program=
cleanup() {
  [ -n "$program" ] && kill "$program" 2>/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT

if ! deb=$(scripts/package | tail -n 1) || [ ! -f "$deb" ]; then
  echo "FAIL: scripts/package wrote no package"
  exit 1
fi
pass "built $deb"
unpacked=$scratch/root
dpkg-deb -x "$deb" "$unpacked"
listing=$(dpkg-deb -c "$deb")
backend=/usr/lib/cups/backend/qv27-518
has_backend=no
grep -q " \.$backend\$" <<<"$listing" && has_backend=yes

# The version in the About box is the package's (major.minor, as "2.00").
version=$(dpkg-deb -f "$deb" Version)
about=$(printf 'Version %d.%02d' "${version%%.*}" "$(cut -d. -f2 <<<"$version")")
check "the About boxes say \"$about\"" \
  grep -q "\"$about\"" resources/setting/QV27-518.rc resources/installer/setup.rc

# lintian: no error, no warning; the informational tags are listed.
lintian_out=$(lintian --info --display-info --tag-display-limit 0 "$deb" 2>&1)
info_tags=$(grep '^I: ' <<<"$lintian_out" | awk '{print $3}' | sort -u | tr '\n' ' ')
if grep -q '^[EW]: ' <<<"$lintian_out"; then
  fail "lintian: errors or warnings"
  grep '^[EW]: ' <<<"$lintian_out"
else
  pass "lintian: no error, no warning (informational: ${info_tags:-none})"
fi

# What the package holds, with the modes and owners that matter.
mode_of() { awk -v p="./$1" '$6 == p {print $1, $2}' <<<"$listing"; }
expect_file() {  # expect_file PATH MODE-AND-OWNER
  local got; got=$(mode_of "$1")
  [ "$got" = "$2" ] || { echo "  $1: '$got', wanted '$2'"; return 1; }
}
contents_ok() {
  local ok=0 size f
  expect_file usr/bin/qv27-518 "-rwxr-xr-x root/root" || ok=1
  for f in usr/share/applications/org.qv27_518.setting.desktop \
           usr/share/metainfo/org.qv27_518.setting.metainfo.xml \
           usr/share/man/man1/qv27-518.1.gz usr/share/man/man8/qv27-518-backend.8.gz \
           usr/share/doc/qv27-518/copyright usr/share/doc/qv27-518/changelog.gz \
           usr/lib/modules-load.d/qv27-518.conf; do
    expect_file "$f" "-rw-r--r-- root/root" || ok=1
  done
  for size in 16 32 48 64 128 256; do
    f=usr/share/icons/hicolor/${size}x${size}/apps/org.qv27_518.setting.png
    expect_file "$f" "-rw-r--r-- root/root" || ok=1
    file -b "$unpacked/$f" | grep -q "PNG image data, $size x $size" || { echo "  $f: not $size x $size"; ok=1; }
  done
  [ "$has_backend" = no ] || expect_file "${backend#/}" "-rwxr-xr-x root/root" || ok=1
  grep -qx ppdev "$unpacked/usr/lib/modules-load.d/qv27-518.conf" || { echo "  no ppdev"; ok=1; }
  return $ok
}
check "contents and modes" contents_ok

control_ok() {
  local ok=0 members
  dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || { echo "  Depends not computed"; ok=1; }
  [ "$(dpkg-deb -f "$deb" Recommends)" = cups-daemon ] || { echo "  Recommends"; ok=1; }
  members=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sed 's|^\./||' | grep -v '^$' | sort | tr '\n' ' ')
  [ "$members" = "control md5sums " ] || { echo "  control members: $members"; ok=1; }
  return $ok
}
check "Depends by shlibdeps, Recommends cups-daemon, no maintainer scripts" control_ok

hardened() {  # stripped PIE with immediate binding and fortified calls
  local f=$1 desc
  desc=$(file -b "$f")
  grep -q 'pie executable' <<<"$desc" && grep -q ', stripped' <<<"$desc" || { echo "  $f: $desc"; return 1; }
  readelf -d "$f" | grep -q 'FLAGS.*BIND_NOW' || { echo "  $f: no BIND_NOW"; return 1; }
  readelf -lW "$f" | grep -q GNU_RELRO || { echo "  $f: no RELRO"; return 1; }
}
check "setting program: stripped, PIE, relro, now" hardened "$unpacked/usr/bin/qv27-518"
[ "$has_backend" = yes ] && check "backend: stripped, PIE, relro, now" hardened "$unpacked$backend"

check "desktop-file-validate" \
  desktop-file-validate "$unpacked/usr/share/applications/org.qv27_518.setting.desktop"
check "appstreamcli validate --no-net" \
  appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.qv27_518.setting.metainfo.xml"

man_clean() {  # renders, without a warning from man or groff (as lintian runs it)
  local out
  out=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$1" 2>&1 >/dev/null)
  [ -z "$out" ] || { echo "$out"; return 1; }
  man -l "$1" 2>/dev/null | grep -q .
}
check "man -l qv27-518.1" man_clean "$unpacked/usr/share/man/man1/qv27-518.1.gz"
check "man -l qv27-518-backend.8" man_clean "$unpacked/usr/share/man/man8/qv27-518-backend.8.gz"

# The setting program from the unpacked root, on Qt's offscreen platform,
# with a home and a print server of its own: its dialog comes from the
# resources inside the program, and it stays in the dialog's loop until
# ended (without them it ends at once with status 1). The wait only lets
# an early exit show; a slow machine cannot make this check fail.
home=$scratch/home
mkdir -p "$home"
HOME=$home XDG_CONFIG_HOME=$home/.config CUPS_SERVER=$scratch/no-cups.sock \
  CUPS_SERVERROOT=$scratch QT_QPA_PLATFORM=offscreen \
  "$unpacked/usr/bin/qv27-518" >"$scratch/program.out" 2>&1 &
program=$!
sleep 3
if kill -0 "$program" 2>/dev/null; then
  kill "$program"; wait "$program" 2>/dev/null; program=
  pass "setting program from the unpacked root opens its dialog offscreen"
else
  wait "$program"; rc=$?; program=
  fail "setting program from the unpacked root ended at once (status $rc)"
  cat "$scratch/program.out"
fi

# The backend from the unpacked root: without arguments it lists the
# choices of every port present, and nothing where there is none.
if [ "$has_backend" = no ]; then
  skip "backend: not built on this branch"
else
  listing_ok() {
    local out
    out=$("$unpacked$backend") || return 1
    if ls /dev/parport* >/dev/null 2>&1; then
      grep -qvE '^direct qv27-518:/dev/parport[0-9]+\?printer=(A|B|Broadcast) ' <<<"$out" && return 1
      return 0
    fi
    [ -z "$out" ] || { echo "  listed: $out"; return 1; }
  }
  check "backend without arguments lists the ports present (none here: nothing)" listing_ok
fi

# apt install and purge, as root where no copy is installed already.
if [ "$(id -u)" -ne 0 ]; then
  skip "apt install: not root"
elif dpkg-query -W -f='${Status}' qv27-518 2>/dev/null | grep -q 'installed'; then
  skip "apt install: a qv27-518 package is installed here already; left as it is"
else
  apt_get() { DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=600 -y -qq "$@" >"$scratch/apt.out" 2>&1; }
  if ! apt_get install --no-install-recommends "$(realpath "$deb")"; then
    fail "apt install"; cat "$scratch/apt.out"
  else
    pass "apt install"
    dpkg -L qv27-518 | while read -r f; do [ -d "$f" ] || echo "$f"; done >"$scratch/files"
    check "installed: /usr/bin/qv27-518" test -x /usr/bin/qv27-518
    if [ "$has_backend" = yes ]; then
      serverbin=$(cups-config --serverbin 2>/dev/null || echo /usr/lib/cups)
      check "installed: the backend in $serverbin/backend, 0755 root" \
        test "$(stat -c '%a %U %G' "$serverbin/backend/qv27-518")" = "755 root root"
    fi
    if apt_get purge qv27-518; then
      left=$(while read -r f; do [ -e "$f" ] && echo "$f"; done <"$scratch/files")
      check "purge leaves no file of the package behind" test -z "$left"
      [ -z "$left" ] || echo "$left"
    else
      fail "apt purge"; cat "$scratch/apt.out"
    fi
  fi
fi

echo
if [ "$failures" -gt 0 ]; then
  echo "FAIL: $failures package checks failed"
  exit 1
fi
echo "PASS: package"
