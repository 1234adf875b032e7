#!/usr/bin/env bash
# Checks a built package as a user would meet it: unpacked into a temporary root, its
# programs answer --version and --help without a display, the desktop entry and the
# metainfo validate, the four manuals are PDFs with pages, the programs find logos and
# manuals from the installed prefix alone, a .ign file is known by its type and opens in the
# running window as from a file manager, and no path of the build machine is compiled in.
# usage: scripts/check-package.sh PACKAGE.deb [WHERE_PROGRAM]
set -euo pipefail
deb=$1
where=${2:-}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
fail=0
ok() { echo "ok: $*"; }
bad() { echo "FAIL: $*"; fail=1; }

dpkg-deb -x "$deb" "$root"
usr=$root/usr
id=io.github.vantel9.setup

for f in bin/vantel bin/vantel-sim bin/vantel-cli share/applications/$id.desktop share/metainfo/$id.metainfo.xml \
         share/icons/hicolor/scalable/apps/$id.svg share/icons/hicolor/48x48/apps/$id.png \
         share/man/man1/vantel.1.gz share/man/man1/vantel-sim.1.gz share/man/man1/vantel-cli.1.gz \
         share/doc/vantel/copyright \
         share/doc/vantel/changelog.Debian.gz share/vantel/assets/logo_main.jpg \
         share/vantel/assets/logo_about.jpg share/vantel/assets/logo_main@2x.jpg \
         share/vantel/assets/logo_about@2x.jpg share/mime/packages/$id.xml; do
  [ -f "$usr/$f" ] && ok "$f" || bad "missing /usr/$f"
done

out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/vantel" --version) && \
  grep -q "GPL-3.0-or-later" <<<"$out" && ok "vantel --version: $(head -1 <<<"$out")" || bad "vantel --version"
out=$("$usr/bin/vantel-sim" --help) && grep -q "^Usage: vantel-sim" <<<"$out" && \
  ok "vantel-sim --help" || bad "vantel-sim --help"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$usr/bin/vantel-cli" --help) && \
  grep -q "^Usage: vantel-cli" <<<"$out" && ok "vantel-cli --help" || bad "vantel-cli --help"
status=0; "$usr/bin/vantel-cli" -p "$root/no-such-port" identity 2>/dev/null || status=$?
[ $status -eq 2 ] && ok "vantel-cli without a port: exit 2" || bad "vantel-cli without a port: exit $status"

desktop-file-validate "$usr/share/applications/$id.desktop" && ok "desktop-file-validate" || \
  bad "desktop-file-validate"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" && ok "appstreamcli validate" || \
  bad "appstreamcli validate"

for lang in en de fr cz; do
  pdf=$usr/share/doc/vantel/manual_vantel_$lang.pdf
  pages=$(pdfinfo "$pdf" 2>/dev/null | awk '/^Pages:/ {print $2}')
  [ "${pages:-0}" -gt 0 ] && ok "manual_vantel_$lang.pdf: $pages pages" || bad "manual_vantel_$lang.pdf is no PDF with pages"
done

if [ -n "$where" ]; then
  cp "$where" "$usr/bin/vantel-where"
  found=$(cd / && "$usr/bin/vantel-where")
  rm "$usr/bin/vantel-where"
  share=$(cd "$usr/share" && pwd -P)
  logo=$(awk '/^logo / {print $2}' <<<"$found")
  [ -n "$logo" ] && [ "$(readlink -f "$logo")" = "$share/vantel/assets/logo_main.jpg" ] && \
    ok "logo found under the prefix" || bad "logo not found under the prefix: $found"
  manuals=0
  for m in $(awk '/^manual / {print $2}' <<<"$found"); do
    case "$(readlink -f "$m")" in "$share"/doc/vantel/manual_vantel_??.pdf) manuals=$((manuals + 1)) ;; esac
  done
  [ $manuals -eq 4 ] && ok "the four manuals found under the prefix" || \
    bad "manuals not found under the prefix: $found"
fi

# A .ign file as a file manager meets it: its type from the installed MIME database (by its
# name and, without one, by its first key), and opened by the desktop's opener in the
# window already running, which keeps it as its last file at closing.
home=$root/home
mkdir -p "$home/config" "$home/data" "$home/run"
chmod 700 "$home/run"
printf 'ZANDERIX_KEY  67\r\n\r\nBASE_ADV        9\r\n' >"$home/tune.ign"
cp "$home/tune.ign" "$home/tune"
desktop=(-u DISPLAY -u WAYLAND_DISPLAY -u XDG_CURRENT_DESKTOP -u DESKTOP_SESSION
  PATH="$usr/bin:$PATH" XDG_DATA_DIRS="$usr/share:/usr/share" XDG_DATA_HOME="$home/data"
  XDG_CONFIG_HOME="$home/config" XDG_RUNTIME_DIR="$home/run" VANTEL_HOME="$home/config/vantel"
  QT_QPA_PLATFORM=offscreen)
env "${desktop[@]}" update-mime-database "$usr/share/mime"
env "${desktop[@]}" update-desktop-database "$usr/share/applications"
for f in tune.ign tune; do
  type=$(env "${desktop[@]}" xdg-mime query filetype "$home/$f" 2>&1 || true)
  [ "$type" = application/x-vantel-ign ] && ok "xdg-mime: $f is $type" || bad "xdg-mime: $f is '$type'"
done
mkdir -p "$home/config/vantel"
env "${desktop[@]}" "$usr/bin/vantel-sim" --link "$home/config/vantel/com1" >/dev/null 2>&1 &
sim=$!
env "${desktop[@]}" "$usr/bin/vantel" >"$home/vantel.log" 2>&1 &
window=$!
for _ in $(seq 150); do # until the window listens
  [ -n "$(find "$home/run" -name 'vantel-*' -type s)" ] && break
  sleep 0.2
done
# The opener acts only for a desktop session; the window itself draws offscreen.
if env "${desktop[@]}" WAYLAND_DISPLAY=check BROWSER=false timeout 30 xdg-open "$home/tune.ign"; then
  ok "xdg-open tune.ign handed to the running window"
else
  bad "xdg-open tune.ign"
fi
sleep 1
kill -TERM $window 2>/dev/null || true
wait $window || true
kill -TERM $sim 2>/dev/null || true
wait $sim 2>/dev/null || true
grep -q -F "File=$home/tune.ign" "$home/config/vantel/vantel.ini" 2>/dev/null && \
  ok "the running window opened tune.ign" || { bad "the running window did not open tune.ign"; cat "$home/vantel.log"; }

src=$(cd "$(dirname "$0")/.." && pwd)
for b in vantel vantel-sim vantel-cli; do
  if grep -q -a -F "$src" "$usr/bin/$b"; then bad "$b holds the path $src"; else ok "$b holds no source path"; fi
done

[ $fail -eq 0 ] && echo "package check: all passed" || echo "package check: FAILED"
exit $fail
