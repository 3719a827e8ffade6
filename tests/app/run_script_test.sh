#!/usr/bin/env bash
# scripts/run without a session to show the program in says so at once, in the program's words,
# and builds nothing; with an X server or a Wayland compositor answering it goes on to the build.
# Runs a copy of the script beside stand-ins for the dependency installer and for cmake.
set -uo pipefail
source_dir=$1
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

mkdir -p "$work/repo/scripts" "$work/bin" "$work/runtime"
cp "$source_dir/scripts/run" "$work/repo/scripts/run"
printf '#!/bin/sh\necho deps >>"%s/calls"\n' "$work" >"$work/repo/scripts/install-deps"
printf '#!/bin/sh\necho cmake >>"%s/calls"\nexit 3\n' "$work" >"$work/bin/cmake"
chmod +x "$work/repo/scripts/install-deps" "$work/bin/cmake"

# run NAME VAR=VALUE...: scripts/run under exactly these session variables.
run() {
  local name=$1
  shift
  rm -f "$work/calls"
  env -u DISPLAY -u WAYLAND_DISPLAY -u WAYLAND_SOCKET PATH="$work/bin:$PATH" XDG_RUNTIME_DIR="$work/runtime" \
    "$@" timeout 20 "$work/repo/scripts/run" >"$work/$name.out" 2>"$work/$name.err"
  echo $?
}

refused() {
  local name=$1 status=$2 message=$3
  [ "$status" = 1 ] || fail "$name: exit $status"
  grep -qF -- "$message" "$work/$name.err" || fail "$name: said '$(cat "$work/$name.err")'"
  [ -e "$work/calls" ] && fail "$name: went on to $(tr '\n' ' ' <"$work/calls")"
}

went_on() {
  local name=$1 status=$2
  [ "$status" = 3 ] || fail "$name: exit $status, said '$(cat "$work/$name.err")'"
  [ "$(tr '\n' ' ' <"$work/calls" 2>/dev/null)" = "deps cmake " ] || fail "$name: did not go on to the build"
}

refused nothing "$(run nothing)" "orvalin : impossible d'ouvrir l'affichage X (DISPLAY=)"
number=4093
while [ -e "/tmp/.X11-unix/X$number" ]; do number=$((number - 1)); done
refused dead_x "$(run dead_x DISPLAY=":$number.0")" "impossible d'ouvrir l'affichage X (DISPLAY=:$number.0)"
refused dead_tcp "$(run dead_tcp DISPLAY="127.0.0.1:$number")" "(DISPLAY=127.0.0.1:$number)"
refused dead_wayland "$(run dead_wayland WAYLAND_DISPLAY=wayland-9)" \
  "le compositeur Wayland ne répond pas (WAYLAND_DISPLAY=wayland-9)"

# A listening socket in the runtime folder stands for the compositor.
python3 -c 'import socket, sys, time
s = socket.socket(socket.AF_UNIX)
s.bind(sys.argv[1])
s.listen(1)
time.sleep(60)' "$work/runtime/wayland-7" &
for _ in $(seq 50); do [ -S "$work/runtime/wayland-7" ] && break; sleep 0.1; done
went_on wayland "$(run wayland WAYLAND_DISPLAY=wayland-7 DISPLAY=":$number")"

if ! command -v Xvfb >/dev/null; then
  echo "SKIP: Xvfb missing"
  exit 77
fi
mkfifo "$work/displayfd"
Xvfb -displayfd 4 -noreset -nolisten tcp -screen 0 320x200x24 4>"$work/displayfd" 2>/dev/null &
read -r -t 20 display <"$work/displayfd" || { echo "FAIL: Xvfb did not start"; exit 1; }
went_on x11 "$(run x11 DISPLAY=":$display")"

[ $failures -eq 0 ] && echo "scripts/run: all checks passed"
exit $((failures > 0))
