#!/bin/sh
# Draws the two logo pictures (and each at twice the size) into assets/: a dark band with the VANTEL-9
# lettering, an advance curve rising over the engine speed and a spark; and renders
# the program's icon from packaging/icons for the window.
# Needs ImageMagick's convert. Run from anywhere: scripts/make-logos.sh
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
out="$here/assets"
mkdir -p "$out"

font=DejaVu-Sans-Bold
small=DejaVu-Sans

# make_logo FILE WIDTH HEIGHT [SCALE]: the picture for a screen of SCALE device pixels to a
# pixel (1 or 2), WIDTH x HEIGHT times SCALE, the same drawing at every scale.
make_logo() {
  file=$1 s=${4:-1}
  w=$(($2 * s)) h=$(($3 * s))
  # The curve: flat base advance, a steady rise, then flat again at the top,
  # drawn in the right-hand part of the band.
  x0=$((w - 118 * s)) x1=$((w - 92 * s)) x2=$((w - 46 * s)) x3=$((w - 12 * s))
  yb=$((h - 10 * s)) yt=$((12 * s))
  sx=$((x0 - 22 * s))
  convert -size "${w}x${h}" gradient:'#10243f-#020509' \
    -fill none -stroke '#1f3b5e' -strokewidth "$s" \
    -draw "line $x0,$yb $x3,$yb" -draw "line $x0,$yb $x0,$((yt - 4 * s))" \
    -stroke '#ff8c1a' -strokewidth $((3 * s)) \
    -draw "line $x0,$((yb - 6 * s)) $x1,$((yb - 6 * s))" -draw "line $x1,$((yb - 6 * s)) $x2,$yt" \
    -draw "line $x2,$yt $x3,$yt" \
    -fill '#ffd23f' -stroke none \
    -draw "polygon $((sx + 6 * s)),$((4 * s)) $((sx - 4 * s)),$((h / 2 + 2 * s)) $((sx + 2 * s)),$((h / 2 + 2 * s)) $((sx - 4 * s)),$((h - 8 * s)) $((sx + 8 * s)),$((h / 2 - 3 * s)) $((sx + 2 * s)),$((h / 2 - 3 * s)) $((sx + 10 * s)),$((4 * s))" \
    -fill '#e8eef7' -font "$font" -pointsize $((28 * s)) -gravity West \
    -annotate +$((10 * s))-$((6 * s)) 'VANTEL-9' \
    -fill '#8fa8c8' -font "$small" -pointsize $((10 * s)) \
    -annotate +$((12 * s))+$((15 * s)) 'ignition setup' \
    -fill '#ff8c1a' -stroke none -draw "rectangle $((10 * s)),$((h - 4 * s)) $((w - 10 * s)),$((h - 3 * s))" \
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
# For screens at twice the density: drawn at twice the size, not enlarged.
make_logo "$out/logo_main@2x.jpg" 311 50 2
make_logo "$out/logo_about@2x.jpg" 313 49 2
make_icon "$out/vantel.png"
echo "written: $out/logo_main.jpg $out/logo_about.jpg, their @2x pictures, $out/vantel.png"
