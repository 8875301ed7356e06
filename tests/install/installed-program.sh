#!/usr/bin/env bash
# Installs Tavrel as a package build does (DESTDIR staging, prefix /usr), then runs the installed
# program under a private Xvfb with a fresh home while its prefix is read-only: the data files
# must appear under ~/.local/share/Tavrel, a keyword added and saved must be in the keyword list,
# and nothing under the prefix may change. `tavrel --version` must answer without a display.
# Usage: installed-program.sh BUILD_DIR DRIVER_PLUGIN_DIR
set -euo pipefail
build=$1
plugins=$2
work=$(mktemp -d)
xvfb_pid=""
program_pid=""
cleanup() {
  set +e # every step runs, whatever the one before it said
  [ -n "$program_pid" ] && kill "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  chmod -R u+w "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# 1. DESTDIR staging puts everything under the staging folder, once.
DESTDIR="$work/stage" cmake --install "$build" --prefix /usr >"$work/install.log"
outside=$(cd "$work/stage" && find . -mindepth 1 -maxdepth 1 ! -name usr)
[ -z "$outside" ] || fail "installed outside the prefix: $outside"
prefix="$work/stage/usr"
tavrel="$prefix/bin/tavrel"
for f in bin/tavrel share/tavrel/Tavrel.aide share/tavrel/Tavrel.wav share/tavrel/ListeUrl.dat \
         share/applications/tavrel.desktop share/man/man1/tavrel.1.gz; do
  [ -e "$prefix/$f" ] || fail "not installed: $f"
done
grep -qx 'Exec="/usr/bin/tavrel"' "$prefix/share/applications/tavrel.desktop" ||
  fail "the launcher does not name /usr/bin/tavrel"

# 2. Without any display: --version answers, a start says why it cannot open, in one line.
nodisplay=(env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET -u QT_QPA_PLATFORM)
version=$("${nodisplay[@]}" "$tavrel" --version) || fail "--version exited with $?"
[[ $version == "Tavrel "[0-9]* ]] || fail "--version printed: $version"
"${nodisplay[@]}" "$tavrel" --help | grep -q -- '--browser' || fail "--help lists no option"
set +e
message=$("${nodisplay[@]}" "$tavrel" 2>&1)
status=$?
set -e
[ "$status" -eq 1 ] || fail "a start without display exited with $status: $message"
[ "$(printf '%s\n' "$message" | wc -l)" -eq 1 ] || fail "not one line: $message"
[[ $message == *affichage* ]] || fail "message: $message"

# 3. The installed program under Xvfb, fresh home, read-only prefix.
snapshot() { (cd "$prefix" && find . -printf '%p %y %s %m %T@\n' | sort && find . -type f -exec sha256sum {} + | sort); }
before=$(snapshot)
home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
exec 3>"$work/display"
# -noreset: without it the server resets when its last client leaves (each xdotool call
# below), and a program connecting at that moment is turned away.
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
# The number is complete with its line's end.
for _ in $(seq 100); do [ "$(wc -l <"$work/display")" -ge 1 ] && break; sleep 0.1; done
[ "$(wc -l <"$work/display")" -ge 1 ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
display=":$(head -n1 "$work/display")"

keyword="motcle-de-l-installation"
# As root, write permissions stop nothing: the prefix is mounted read-only in a private mount
# namespace. Otherwise the prefix loses its write permissions. In both cases a write is refused,
# and the snapshot below tells if anything changed.
if [ "$(id -u)" -eq 0 ] && unshare -m --propagation private true 2>/dev/null; then
  readonly_run=(unshare -m --propagation private sh -c \
    'mount --bind "$0" "$0" && mount -o remount,bind,ro "$0" && ! touch "$0/probe" 2>/dev/null && exec "$@"' \
    "$prefix")
else
  chmod -R a-w "$prefix"
  touch "$prefix/probe" 2>/dev/null && fail "the prefix is still writable"
  readonly_run=()
fi
env -i PATH="$PATH" HOME="$home" XDG_RUNTIME_DIR="$work/run" LANG=C.UTF-8 DISPLAY="$display" \
  QT_QPA_PLATFORM=xcb QT_PLUGIN_PATH="$plugins" QT_QPA_GENERIC_PLUGINS=tavreldriver \
  TAVREL_DRIVER_KEYWORD="$keyword" TAVREL_DRIVER_GO="$work/go" \
  TAVREL_DRIVER_EXPECT="Tavrel ne surveille aucun navigateur" \
  "${readonly_run[@]}" "$tavrel" --browser "$work/no-browser" >"$work/program.log" 2>&1 &
program_pid=$!

# The real window, on the X server, is titled Tavrel; then the driver may begin.
for _ in $(seq 300); do
  DISPLAY="$display" xdotool search --onlyvisible --name '^Tavrel$' >/dev/null 2>&1 && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.1
done
DISPLAY="$display" xdotool search --onlyvisible --name '^Tavrel$' >/dev/null 2>&1 ||
  fail "no window titled Tavrel: $(cat "$work/program.log")"
touch "$work/go"
set +e
wait "$program_pid"
status=$?
set -e
program_pid=""
[ "$status" -eq 0 ] || fail "the program exited with $status: $(cat "$work/program.log")"

data="$home/.local/share/Tavrel"
for f in ListeUrl.dat Statistiques.dat; do
  [ -f "$data/$f" ] || fail "no $f in ~/.local/share/Tavrel: $(ls -A "$data" 2>&1)"
done
grep -q "$keyword" "$data/ListeUrl.dat" || fail "the keyword is not in ListeUrl.dat"
grep -q "$keyword" "$data/Statistiques.dat" || fail "the keyword is not in Statistiques.dat"
# The starter list was copied first: its words are there too.
starter=$(head -n1 "$prefix/share/tavrel/ListeUrl.dat" | tr -d '\r')
grep -qF "$starter" "$data/ListeUrl.dat" || fail "the starter list was not copied"
[ -f "$home/.config/Tavrel/Tavrel.ini" ] || fail "no settings in ~/.config/Tavrel"
after=$(snapshot)
[ "$before" == "$after" ] || fail "the prefix changed: $(diff <(echo "$before") <(echo "$after"))"
echo "installed program: data in ~/.local/share/Tavrel ($(ls "$data" | tr '\n' ' ')), prefix unchanged"
