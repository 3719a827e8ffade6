#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks the installed program: its metadata, its
# command line, and that the help page it would open is a file inside that prefix.
set -uo pipefail
build=$1
source_dir=$2
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
prefix="$work/prefix with space"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 || { cat "$work/install.log"; exit 1; }
bin="$prefix/bin/orvalin"
[ -x "$bin" ] || { echo "FAIL: no installed binary"; exit 1; }

for f in share/applications/orvalin.desktop share/metainfo/app.orvalin.Orvalin.metainfo.xml \
         share/icons/hicolor/scalable/apps/orvalin.svg share/icons/hicolor/symbolic/apps/orvalin-symbolic.svg \
         share/orvalin/help/index.html share/orvalin/help/fr/index.html share/man/man1/orvalin.1.gz \
         share/man/fr/man1/orvalin.1.gz share/doc/orvalin/copyright share/ibus/component/orvalin.xml; do
  [ -f "$prefix/$f" ] || fail "not installed: $f"
done
if command -v rsvg-convert >/dev/null; then
  for size in 16 22 24 32 48 64 128 256; do
    [ -f "$prefix/share/icons/hicolor/${size}x${size}/apps/orvalin.png" ] || fail "no ${size}px icon"
  done
fi
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/orvalin.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$prefix/share/metainfo/app.orvalin.Orvalin.metainfo.xml" \
    >"$work/appstream.log" 2>&1 || { cat "$work/appstream.log"; fail "appstreamcli validate"; }
fi

# Command line: no display needed for these, and nothing may start. The texts in French, then
# in English.
french=(env -u DISPLAY -u WAYLAND_DISPLAY LANGUAGE= LC_ALL= LC_MESSAGES= LANG=fr_FR.UTF-8)
english=(env -u DISPLAY -u WAYLAND_DISPLAY LANGUAGE= LC_ALL= LC_MESSAGES= LANG=en_US.UTF-8)
out=$("${french[@]}" "$bin" --version) || fail "--version exit $?"
[[ $out =~ ^Orvalin\ Version\ [0-9.]+\ beta\ \(build\ .+\)$ ]] || fail "--version printed '$out'"
out=$("${french[@]}" "$bin" --help) || fail "--help exit $?"
[[ $out == *--show* ]] || fail "--help lacks --show"
[[ $out == *"Affiche cette aide."* ]] || fail "French --help printed '$out'"
"${french[@]}" "$bin" --no-such-option >"$work/out" 2>"$work/err"
status=$?
[ $status -eq 2 ] || fail "unknown option exit $status"
[ -s "$work/out" ] && fail "unknown option wrote on standard output"
grep -q -- "--version" "$work/err" || fail "unknown option: no usage on standard error"
grep -q "^orvalin : option inconnue : --no-such-option$" "$work/err" || fail "French error: $(head -1 "$work/err")"
out=$("${english[@]}" "$bin" --help) || fail "English --help exit $?"
[[ $out == *"Shows this help."* && $out != *Affiche* ]] || fail "English --help printed '$out'"
"${english[@]}" LANG=C "$bin" --no-such-option 2>"$work/err"
grep -q "^orvalin: unknown option: --no-such-option$" "$work/err" || fail "English error: $(head -1 "$work/err")"
"${english[@]}" "$bin" 2>"$work/err"
grep -q "^orvalin: cannot open the X display" "$work/err" || fail "English display error: $(cat "$work/err")"

# Starts the program with --show on a private X server (extra server options in $2), then starts
# it again with --show, which must reach the first and end; leaves $work/$1.{panel,second,stderr}.
show_twice() {
  "${french[@]}" xvfb-run -a -s "$2 -noreset" bash -c '
    "$1" --show 2>"$2.stderr" &
    pid=$!
    for _ in $(seq 100); do
      xdotool search --onlyvisible --name "^Orvalin\$" >/dev/null 2>&1 && break
      sleep 0.1
    done
    xdotool search --onlyvisible --name "^Orvalin\$" >/dev/null 2>&1 && echo shown >"$2.panel"
    timeout 20 "$1" --show; echo $? >"$2.second"
    kill -TERM $pid; wait $pid
  ' _ "$bin" "$work/$1"
}

# The help page it would open, the French one: an X server without RECORD makes it say where help is.
command -v xvfb-run >/dev/null || { echo "SKIP: xvfb-run missing"; exit 77; }
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
show_twice help "-extension RECORD"
[ -f "$work/help.panel" ] || fail "--show without a running instance did not open the panel"
[ "$(cat "$work/help.second" 2>/dev/null)" = 0 ] || fail "--show with a running instance: $(cat "$work/help.second" 2>/dev/null)"
url=$(grep -o '(aide : [^)]*)' "$work/help.stderr" | sed 's/^(aide : //; s/)$//')
[ -n "$url" ] || { cat "$work/help.stderr"; fail "no help address reported"; }
[[ $url == */help/fr/index.html ]] || fail "the French interface opens $url"
page=$(python3 -c 'import sys, urllib.parse as u; p = u.urlparse(sys.argv[1]); print(u.unquote(p.path) if p.scheme == "file" else "")' "$url")
case "$page" in
  "$prefix"/*) [ -f "$page" ] || fail "help page $page does not exist" ;;
  *) fail "help address $url is not inside the prefix" ;;
esac

# Without XDG_RUNTIME_DIR, whatever another user made first in the temporary folder, under the
# name the program once used there, does not keep it from starting.
as_nobody=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
if [ "$(id -u)" = 0 ] && "${as_nobody[@]}" true 2>/dev/null; then
  chmod 711 "$work"
  mkdir -m 1777 "$work/shared"
  "${as_nobody[@]}" mkdir -m 777 "$work/shared/orvalin-0"
  (
    unset XDG_RUNTIME_DIR XDG_CACHE_HOME
    export TMPDIR="$work/shared"
    show_twice fallback ""
  )
  [ -f "$work/fallback.panel" ] || { cat "$work/fallback.stderr"; fail "no start without XDG_RUNTIME_DIR"; }
  [ "$(cat "$work/fallback.second" 2>/dev/null)" = 0 ] || fail "second start without XDG_RUNTIME_DIR"
else
  echo "SKIP (one check): acting as another user through setpriv needs root"
fi

[ $failures -eq 0 ] && echo "installed program: all checks passed"
exit $((failures > 0))
