#!/usr/bin/env bash
# Checks a built package as a user would meet it: unpacked into a temporary root, its
# programs answer --version and --help without a display, the desktop entry and the
# metainfo validate, the four manuals are PDFs with pages, the programs find logos and
# manuals from the installed prefix alone, and no path of the build machine is compiled in.
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
         share/vantel/assets/logo_about.jpg; do
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

src=$(cd "$(dirname "$0")/.." && pwd)
for b in vantel vantel-sim vantel-cli; do
  if grep -q -a -F "$src" "$usr/bin/$b"; then bad "$b holds the path $src"; else ok "$b holds no source path"; fi
done

[ $fail -eq 0 ] && echo "package check: all passed" || echo "package check: FAILED"
exit $fail
