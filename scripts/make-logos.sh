#!/bin/sh
# Draws the two logo pictures into assets/: a dark band with the VANTEL-9
# lettering, an advance curve rising over the engine speed and a spark; and renders
# the program's icon from packaging/icons for the window.
# Needs ImageMagick's convert. Run from anywhere: scripts/make-logos.sh
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/assets"
mkdir -p "$out"

font=DejaVu-Sans-Bold
small=DejaVu-Sans

# make_logo FILE WIDTH HEIGHT
make_logo() {
  file=$1 w=$2 h=$3
  # The curve: flat base advance, a steady rise, then flat again at the top,
  # drawn in the right-hand part of the band.
  x0=$((w - 118)) x1=$((w - 92)) x2=$((w - 46)) x3=$((w - 12))
  yb=$((h - 10)) yt=12
  sx=$((x0 - 22))
  convert -size "${w}x${h}" gradient:'#10243f-#020509' \
    -fill none -stroke '#1f3b5e' -strokewidth 1 \
    -draw "line $x0,$yb $x3,$yb" -draw "line $x0,$yb $x0,$((yt - 4))" \
    -stroke '#ff8c1a' -strokewidth 3 \
    -draw "line $x0,$((yb - 6)) $x1,$((yb - 6))" -draw "line $x1,$((yb - 6)) $x2,$yt" \
    -draw "line $x2,$yt $x3,$yt" \
    -fill '#ffd23f' -stroke none \
    -draw "polygon $((sx + 6)),4 $((sx - 4)),$((h / 2 + 2)) $((sx + 2)),$((h / 2 + 2)) $((sx - 4)),$((h - 8)) $((sx + 8)),$((h / 2 - 3)) $((sx + 2)),$((h / 2 - 3)) $((sx + 10)),4" \
    -fill '#e8eef7' -font "$font" -pointsize 28 -gravity West \
    -annotate +10-6 'VANTEL-9' \
    -fill '#8fa8c8' -font "$small" -pointsize 10 \
    -annotate +12+15 'ignition setup' \
    -fill '#ff8c1a' -stroke none -draw "rectangle 10,$((h - 4)) $((w - 10)),$((h - 3))" \
    -quality 90 -strip -sampling-factor 2x2 "$file"
}

# make_icon FILE: 256 x 256, transparent corners.
# The window icon is the program's one icon, drawn in packaging/icons, at 256 pixels.
# Needs rsvg-convert (librsvg2-bin).
make_icon() {
  rsvg-convert -w 256 -h 256 "$here/packaging/icons/io.github.vantel9.setup.svg" -o "$1"
}

make_logo "$out/logo_main.jpg" 311 50
make_logo "$out/logo_about.jpg" 313 49
make_icon "$out/vantel.png"
echo "written: $out/logo_main.jpg $out/logo_about.jpg $out/vantel.png"
