#!/usr/bin/env bash
# Draws the splash picture (splash.bmp) and the icon (zelvora.ico) of the resource script with
# ImageMagick and Python, both from Debian; run it from anywhere and commit what it writes.
# The splash must be a 480x350 8-bit BMP whose header fields the resource format fixes, and the
# icon must hold five images of given sizes and colour depths in a given order; ImageMagick
# draws and quantises, pack_artwork.py writes the exact file layouts.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bold=DejaVu-Sans-Bold
light=DejaVu-Sans-ExtraLight
for f in "$bold" "$light"; do
  # The list is read whole: a "grep -q" on the pipe could end it early, which pipefail takes as
  # a failure.
  grep -q "Font: $f\$" <<<"$(convert -list font)" || { echo "make_artwork: font $f missing (apt-get install fonts-dejavu-core fonts-dejavu-extra)" >&2; exit 1; }
done

# A camera lens seen from the front, centred in a square of side $1, on a transparent ground:
# a dark barrel with a silver rim, a knurled focus ring, blue coated glass, a six-bladed iris.
lens() {
  local s=$1 out=$2
  local c=$((s / 2))
  local r1=$((s * 48 / 100)) r2=$((s * 42 / 100)) r3=$((s * 36 / 100)) r4=$((s * 31 / 100))
  local r5=$((s * 12 / 100))
  local iris="" a
  for a in 0 60 120 180 240 300; do
    iris+=" $(awk -v c="$c" -v r="$r5" -v a="$a" 'BEGIN { t = (a + 15) * 3.14159265 / 180;
      printf "%.1f,%.1f", c + r * cos(t), c + r * sin(t) }')"
  done
  convert -size "${s}x${s}" xc:none \
    -fill '#121318' -stroke '#b9c2d3' -strokewidth "$((s / 90 + 1))" \
    -draw "circle $c,$c $((c + r1)),$c" \
    -stroke '#3b3f4c' -strokewidth "$((s / 120 + 1))" -fill '#23252e' \
    -draw "circle $c,$c $((c + r2)),$c" \
    -stroke none -fill '#0b0c10' -draw "circle $c,$c $((c + r3)),$c" \
    \( -size "${s}x${s}" radial-gradient:'#5fd0f0'-'#0d1545' \
       \( -size "${s}x${s}" xc:black -fill white -draw "circle $c,$c $((c + r4)),$c" \) \
       -alpha off -compose CopyOpacity -composite \) -compose Over -composite \
    -fill none -stroke '#7fe3ff30' -strokewidth "$((s / 150 + 1))" \
    -draw "circle $c,$c $((c + r4 * 3 / 4)),$c" -draw "circle $c,$c $((c + r4 / 2)),$c" \
    -stroke none -fill '#05060aee' -draw "polygon$iris" \
    -fill '#ffffff90' -draw "ellipse $((c - r4 * 2 / 5)),$((c - r4 * 2 / 5)) $((r4 / 4)),$((r4 / 8)) 0,360" \
    -fill '#ffffff45' -draw "circle $((c + r4 / 3)),$((c + r4 / 3)) $((c + r4 / 3 + r4 / 14)),$((c + r4 / 3))" \
    -fill '#d08cff30' -draw "ellipse $((c + r4 / 5)),$((c - r4 / 2)) $((r4 / 3)),$((r4 / 10)) 0,360" \
    "$out"
}

# The splash: a dusk sky behind the lens, the product name, a quiet line about what is going on.
lens 250 "$work/lens.png"
convert \( -size 480x190 gradient:'#081233'-'#4b2f6e' \) \( -size 480x160 gradient:'#4b2f6e'-'#f0944e' \) \
  -append \
  \( -size 480x350 radial-gradient:'#ffd9a0'-'#00000000' -channel A -evaluate multiply 0.45 +channel \
     -geometry +150+200 \) -compose Over -composite \
  \( "$work/lens.png" -background none -shadow 75x9+6+10 \) -gravity center -geometry +120+8 \
  -compose Over -composite \
  "$work/lens.png" -gravity center -geometry +120-4 -compose Over -composite \
  -gravity northwest \
  -font "$bold" -pointsize 58 -fill '#00000070' -annotate +33+93 'Zelvora' \
  -fill white -annotate +30+90 'Zelvora' \
  -font "$light" -pointsize 20 -fill '#e6ecfb' -annotate +34+162 'p h o t o   s t u d i o' \
  -fill '#ffffff70' -draw 'rectangle 34,200 190,201' \
  -font "$light" -pointsize 13 -fill '#fff6ec' -annotate +34+306 'Preparing the setup, please wait ...' \
  -alpha off "$work/splash.png"
convert "$work/splash.png" -dither FloydSteinberg -colors 256 -type Palette -compress None BMP3:"$work/splash.bmp"

# Icon images: the lens alone, quantised to 16 or 256 colours; the alpha gives the mask.
for size in 16 32 48; do
  lens $((size * 4)) "$work/lens$size.big.png"
  convert "$work/lens$size.big.png" -resize "${size}x${size}" "$work/lens$size.png"
  convert "$work/lens$size.png" -alpha extract -threshold 50% -depth 8 "$work/mask$size.pgm"
  for colours in 16 256; do
    convert "$work/lens$size.png" -background black -alpha remove -dither None -colors "$colours" \
      -type Palette -compress None BMP3:"$work/icon${size}_$colours.bmp"
  done
done

python3 "$here/pack_artwork.py" splash "$work/splash.bmp" "$here/splash.bmp"
python3 "$here/pack_artwork.py" icon "$here/zelvora.ico" \
  32:16:"$work/icon32_16.bmp":"$work/mask32.pgm" \
  48:256:"$work/icon48_256.bmp":"$work/mask48.pgm" \
  16:16:"$work/icon16_16.bmp":"$work/mask16.pgm" \
  32:256:"$work/icon32_256.bmp":"$work/mask32.pgm" \
  16:256:"$work/icon16_256.bmp":"$work/mask16.pgm"
