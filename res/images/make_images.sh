#!/usr/bin/env bash
# Draws the installer skin images (every PNG in this folder) with ImageMagick.
# All art is procedural and seeded, so re-running gives byte-identical files.
set -euo pipefail
cd "$(dirname "$0")"

# One thread: seeded noise must not depend on the machine's core count.
export MAGICK_THREAD_LIMIT=1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# No timestamps or profiles in the output, so files stay reproducible.
OUT=(-strip -define png:exclude-chunks=date,time)

# Palette shared by every piece.
GOLD='#e6bf68'
GOLD_HI='#fff0b8'
BRONZE='#8c6a34'
CYAN='#00d5fe'

# Small pieces are drawn at 4x and box-filtered down: soft alpha edges.
S=4
down() { convert "$1" -filter box -resize 25% "$2"; }

# ---------------------------------------------------------------- buttons --

# One button frame: w h radius top-colour bottom-colour border hilite shift out
# A shift of 1 moves the body down a pixel, which reads as "pressed".
button_frame() {
  local w=$1 h=$2 r=$3 top=$4 bot=$5 bd=$6 hi=$7 sh=$8 out=$9
  local W=$((w * S)) H=$((h * S)) R=$((r * S)) y0=$((sh * S))
  local x1=$((W - 1)) y1=$((H - 1))
  convert -size "${W}x$((H - y0))" gradient:"$top-$bot" \
    -background none -gravity south -extent "${W}x${H}" -gravity northwest \
    \( -size "${W}x$(((H - y0) / 2))" gradient:'rgba(255,255,255,0.16)-rgba(255,255,255,0)' \) \
    -geometry "+0+$y0" -composite \
    -fill "$hi" -draw "rectangle 0,$((y0 + S)) $x1,$((y0 + 2 * S - 1))" \
    -fill "rgba(0,0,0,0.25)" -draw "rectangle 0,$((H - 2 * S)) $x1,$((H - S - 1))" \
    \( -size "${W}x${H}" xc:black -fill white \
       -draw "roundrectangle 0,$y0 $x1,$y1 $R,$R" \) \
    -alpha off -compose CopyOpacity -composite -compose Over \
    -fill none -stroke "$bd" -strokewidth $S \
    -draw "roundrectangle $((S / 2)),$((y0 + S / 2)) $((x1 - S / 2)),$((y1 - S / 2)) $((R - S / 2)),$((R - S / 2))" \
    -stroke 'rgba(0,0,0,0.35)' \
    -draw "roundrectangle $((S * 3 / 2)),$((y0 + S * 3 / 2)) $((x1 - S * 3 / 2)),$((y1 - S * 3 / 2)) $((R - S)),$((R - S))" \
    "$tmp/big.png"
  down "$tmp/big.png" "$out"
}

# Four frames: normal, hover, pressed, disabled.  Arguments per style:
# name w h radius, then top/bottom/border/hilite for normal, hover, pressed.
button_strip() {
  local name=$1 w=$2 h=$3 r=$4
  shift 4
  button_frame "$w" "$h" "$r" "$1" "$2" "$3" "$4" 0 "$tmp/f0.png"
  button_frame "$w" "$h" "$r" "$5" "$6" "$7" "$8" 0 "$tmp/f1.png"
  button_frame "$w" "$h" "$r" "$9" "${10}" "${11}" "${12}" 1 "$tmp/f2.png"
  button_frame "$w" "$h" "$r" '#5c5a60' '#38363c' '#77747c' \
    'rgba(255,255,255,0.10)' 0 "$tmp/f3.png"
  convert "$tmp/f0.png" "$tmp/f1.png" "$tmp/f2.png" "$tmp/f3.png" +append \
    "${OUT[@]}" "PNG32:$name"
}

# Main action: warm amber so the white caption stands out.
button_strip DLG_BTN_INSTALL.png 122 42 6 \
  '#c97f2a' '#6e340e' "$GOLD"    'rgba(255,230,170,0.45)' \
  '#eea445' '#8f4b16' "$GOLD_HI" 'rgba(255,245,210,0.70)' \
  '#6a320d' '#9a5a1c' "$BRONZE"  'rgba(0,0,0,0.20)'

# Secondary buttons: violet with a bronze rim.  The radius stays within the
# 3-pixel side margins used when the image is stretched as a nine-grid.
button_strip BACKMAIN.png 94 42 3 \
  '#463672' '#1e1638' "$BRONZE"  'rgba(200,180,255,0.30)' \
  '#5c4794' '#2a1f4e' "$GOLD"    'rgba(220,205,255,0.50)' \
  '#1c1534' '#362a5c' '#6a5228'  'rgba(0,0,0,0.25)'

button_strip SELECTPATH.png 82 28 3 \
  '#463672' '#1e1638' "$BRONZE"  'rgba(200,180,255,0.30)' \
  '#5c4794' '#2a1f4e' "$GOLD"    'rgba(220,205,255,0.50)' \
  '#1c1534' '#362a5c' '#6a5228'  'rgba(0,0,0,0.25)'

# Title-bar glyph buttons (11x12 frames): only the glyph changes per state;
# hover adds an amber halo, pressed moves the glyph down one pixel.
glyph_strip() {
  local name=$1 shape=$2 i col dy glow
  for i in 0 1 2 3; do
    case $i in
      0) col='#cfc3a6'; dy=0; glow=0 ;;
      1) col="$GOLD_HI"; dy=0; glow=1 ;;
      2) col='#a08a5a'; dy=1; glow=0 ;;
      3) col='#5e5b64'; dy=0; glow=0 ;;
    esac
    convert -size 44x48 xc:none -fill none -stroke "$col" -strokewidth 6 \
      -draw "stroke-linecap round translate 0,$((dy * S)) $shape" "$tmp/g.png"
    if [ $glow = 1 ]; then
      convert "$tmp/g.png" \( +clone -fill '#ffb040' -colorize 100 -blur 0x5 \
        -channel A -evaluate multiply 1.6 +channel \) +swap \
        -compose Over -composite "$tmp/g.png"
    fi
    down "$tmp/g.png" "$tmp/g$i.png"
  done
  convert "$tmp/g0.png" "$tmp/g1.png" "$tmp/g2.png" "$tmp/g3.png" +append \
    "${OUT[@]}" "PNG32:$name"
}
glyph_strip DLG_BTN_CLOSE.png 'line 11,13 33,35 line 33,13 11,35'
glyph_strip DLG_BTN_MIN.png 'line 10,32 34,32'

# Check box: dark well with a bronze rim; the checked frame adds a gold tick.
convert -size 80x80 xc:none \
  \( -size 56x56 gradient:'#14101f-#2c2444' \) -geometry +12+12 -composite \
  \( -size 80x80 xc:black -fill white -draw 'roundrectangle 12,12 67,67 8,8' \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -fill none -stroke "$BRONZE" -strokewidth 4 -draw 'roundrectangle 14,14 65,65 7,7' \
  -stroke 'rgba(0,0,0,0.5)' -draw 'line 19,20 60,20' "$tmp/cb.png"
convert "$tmp/cb.png" \
  \( -size 80x80 xc:none -fill none -stroke '#ffd25e' -strokewidth 9 \
     -draw 'stroke-linecap round stroke-linejoin round polyline 23,41 35,54 58,25' \
     \( +clone -fill '#ff9a20' -colorize 100 -blur 0x4 \) +swap -composite \) \
  -composite "$tmp/cb1.png"
down "$tmp/cb.png" "$tmp/c0.png"
down "$tmp/cb1.png" "$tmp/c1.png"
convert "$tmp/c0.png" "$tmp/c1.png" +append "${OUT[@]}" PNG32:CHECK_BOX.png

# Text field: flat dark grey so stretching never shows, a 1-px rim and an
# inner shadow along the top edge.
convert -size 1056x112 xc:none -fill '#454449' -stroke '#5f5d68' -strokewidth 4 \
  -draw 'roundrectangle 2,2 1053,109 8,8' \
  -stroke none -fill 'rgba(0,0,0,0.28)' -draw 'rectangle 6,6 1049,9' \
  -fill 'rgba(0,0,0,0.12)' -draw 'rectangle 6,10 1049,13' "$tmp/e.png"
down "$tmp/e.png" "$tmp/e1.png"
convert "$tmp/e1.png" "${OUT[@]}" PNG32:EDIT_INSTALL_BACK.png

# Light point: a white-hot core inside a cyan halo, stretched a little
# along the bar it sits on.
convert -size 32x30 xc:none \
  \( -size 32x30 xc:none -fill "$CYAN" -draw 'ellipse 16,15 9,7 0,360' -blur 0x4 \) -composite \
  \( -size 32x30 xc:none -fill '#8ff0ff' -draw 'ellipse 16,15 10,1.2 0,360' -blur 0x1.2 \) -composite \
  \( -size 32x30 xc:none -fill white -draw 'circle 16,15 16,17.5' -blur 0x1.3 \) -composite \
  "${OUT[@]}" PNG32:LIGHTPOINT.png

# Logo: the name in a gold-gradient serif with a dark rim, over a small
# ornament rule; drawn large and scaled down for smooth edges.
convert -size 372x204 xc:none -font Liberation-Serif-Bold -pointsize 88 \
  -gravity center -fill white -annotate +0-16 'Velmora' "$tmp/lm.png"
convert -size 372x204 xc:none -fill none -stroke white -strokewidth 4 \
  -draw 'line 40,168 164,168 line 208,168 332,168' \
  -stroke none -fill white -draw 'polygon 186,154 200,168 186,182 172,168' \
  -draw 'circle 36,168 42,168 circle 336,168 342,168' "$tmp/lo.png"
convert "$tmp/lm.png" "$tmp/lo.png" -compose Lighten -composite "$tmp/lmask.png"
convert -size 372x204 gradient:"$GOLD_HI-#b77a26" \
  \( -size 372x204 xc:none -fill 'rgba(255,255,255,0.35)' -draw 'rectangle 0,0 371,80' -blur 0x10 \) \
  -composite "$tmp/lmask.png" -alpha off -compose CopyOpacity -composite "$tmp/lg.png"
convert "$tmp/lmask.png" -alpha off -morphology Dilate Disk:5 \
  -background '#2a1606' -alpha shape "$tmp/lrim.png"
convert "$tmp/lmask.png" -alpha off -morphology Dilate Disk:6 -blur 0x10 \
  -background '#ff9a30' -alpha shape -channel A -evaluate multiply 0.55 +channel "$tmp/lglow.png"
convert "$tmp/lglow.png" "$tmp/lrim.png" -composite "$tmp/lg.png" -composite "$tmp/logo.png"
down "$tmp/logo.png" "$tmp/logo1.png"
convert "$tmp/logo1.png" "${OUT[@]}" PNG32:APPLOGO.png

# Window frame for a nine-grid with 10-px margins: the fill is a plain
# vertical gradient (stretches cleanly), the rim a thin gold line with a dark
# soft halo outside it, so the outermost pixels fade out.
convert -size 400x400 gradient:'#271c44-#110c20' \
  \( -size 400x400 xc:black -fill white -draw 'roundrectangle 8,8 391,391 28,28' \) \
  -alpha off -compose CopyOpacity -composite -compose Over \
  -fill none -stroke "$GOLD" -strokewidth 4 -draw 'roundrectangle 10,10 389,389 26,26' \
  -stroke 'rgba(230,191,104,0.25)' -draw 'roundrectangle 18,18 381,381 20,20' \
  -stroke 'rgba(0,0,0,0.45)' -draw 'roundrectangle 14,14 385,385 23,23' "$tmp/ad.png"
convert -size 400x400 xc:none -fill 'rgba(0,0,0,0.85)' \
  -draw 'roundrectangle 4,4 395,395 32,32' -blur 0x4 "$tmp/adsh.png"
convert "$tmp/adsh.png" "$tmp/ad.png" -composite "$tmp/ad2.png"
down "$tmp/ad2.png" "$tmp/ad3.png"
convert "$tmp/ad3.png" "${OUT[@]}" PNG32:ABOUTDIALOG.png

# ---------------------------------------------------------------- banners --
# 480x240 scenes.  Shapes come from awk with a fixed Park-Miller generator,
# so they are the same with any awk.

AWK_RND='function rnd() { s = (s * 16807) % 2147483647; return s / 2147483647 }'

# Ridge silhouette as a draw polygon: seed base-y amplitude roughness colour
ridge() {
  awk -v s="$1" -v base="$2" -v amp="$3" -v rough="$4" -v col="$5" "$AWK_RND"'
  BEGIN {
    for (i = 0; i < 5; i++) rnd()
    n = 64; y[0] = base + (rnd() - .5) * amp; y[n] = base + (rnd() - .5) * amp
    a = amp
    for (st = n; st > 1; st /= 2) {
      for (i = 0; i < n; i += st) y[i + st / 2] = (y[i] + y[i + st]) / 2 + (rnd() - .5) * a
      a *= rough
    }
    printf "fill %s polygon -10,260", col
    for (i = 0; i <= n; i++) printf " %.1f,%.1f", -10 + i * 500 / n, y[i]
    printf " 490,260\n"
  }'
}

# Star field: seed count max-y [even]; thinner towards the horizon unless
# "even" is given.
stars() {
  awk -v s="$1" -v n="$2" -v maxy="$3" -v even="${4:-0}" "$AWK_RND"'
  BEGIN {
    for (i = 0; i < n; i++) {
      x = rnd() * 480; y = rnd() * (even ? 1 : rnd()) * maxy; b = rnd()
      a = 0.25 + 0.75 * b * b
      printf "fill rgba(235,232,255,%.2f) circle %.1f,%.1f %.1f,%.1f\n", a, x, y, x + 0.45 + b * 0.6, y
    }
  }'
}

# Pine silhouettes: seed count base-y min-h max-h colour
pines() {
  awk -v s="$1" -v n="$2" -v base="$3" -v hmin="$4" -v hmax="$5" -v col="$6" "$AWK_RND"'
  BEGIN {
    printf "fill %s\n", col
    for (i = 0; i < n; i++) {
      x = -20 + (i + rnd() * 0.8) * 520 / n; h = hmin + rnd() * (hmax - hmin)
      w = h * (0.28 + rnd() * 0.08); b = base + rnd() * 6; t = b - h
      printf "polygon %.1f,%.1f", x, t
      for (k = 1; k <= 4; k++) {
        yy = t + h * k / 4.6; ww = w * k / 4 / 2
        printf " %.1f,%.1f %.1f,%.1f", x + ww, yy, x + ww * 0.45, yy
      }
      printf " %.1f,%.1f %.1f,%.1f", x + 1.5, b, x - 1.5, b
      for (k = 4; k >= 1; k--) {
        yy = t + h * k / 4.6; ww = w * k / 4 / 2
        printf " %.1f,%.1f %.1f,%.1f", x - ww * 0.45, yy, x - ww, yy
      }
      printf "\nrectangle %.1f,%.1f %.1f,%.1f\n", x - 1.5, b - 2, x + 1.5, 260
    }
  }'
}

# Two-stop vertical sky: top middle bottom split-y out
sky() {
  convert -size "480x$4" gradient:"$1-$2" \
    \( -size "480x$((240 - $4))" gradient:"$2-$3" \) -append "$5"
}

# Tagline in gold italic serif with a soft dark shadow, plus a vignette that
# ties the six scenes together.
finish() {
  local in=$1 text=$2 out=$3
  convert -size 480x480 radial-gradient:white-'#3a3448' -resize 480x240\! \
    -level 0%,70% "$tmp/vig.png"
  convert "$in" "$tmp/vig.png" -compose Multiply -composite -compose Over \
    \( -size 480x240 xc:none -font Liberation-Serif-Bold-Italic -pointsize 23 \
       -gravity southwest -fill 'rgba(0,0,0,0.9)' -annotate +22+16 "$text" \
       -blur 0x3 \) -composite \
    \( -size 480x240 xc:none -font Liberation-Serif-Bold-Italic -pointsize 23 \
       -gravity southwest -fill "$GOLD_HI" -stroke 'rgba(60,30,8,0.6)' -strokewidth 0.6 \
       -annotate +21+17 "$text" \) -composite \
    -alpha set "${OUT[@]}" "PNG32:$out"
}

# 1: moonlit mountains.
sky '#05051a' '#2a1d55' '#6a3f7c' 150 "$tmp/s1.png"
convert "$tmp/s1.png" \
  \( -size 480x240 xc:none -draw "$(stars 11 260 170)" \( +clone -blur 0x1.5 \) -compose Screen -composite \) \
  -compose Screen -composite -compose Over \
  \( -size 480x240 xc:none -fill 'rgba(190,170,255,0.55)' -draw 'circle 360,64 360,104' -blur 0x18 \) -composite \
  \( -size 480x240 xc:none -fill '#f6efd6' -draw 'circle 360,64 360,88' \
     -fill 'rgba(200,190,170,0.35)' -draw 'circle 352,58 352,63 circle 368,72 368,76 circle 362,52 362,54' \
     \( -size 480x240 xc:none -fill white -draw 'circle 372,56 372,82' \) \
     -compose DstOut -composite \) -compose Over -composite \
  -draw "$(ridge 101 140 150 0.6 '#3b2a68')" \
  \( -size 480x240 xc:none -fill 'rgba(150,120,200,0.35)' -draw 'rectangle 0,170 479,200' -blur 0x10 \) -composite \
  -draw "$(ridge 202 180 100 0.58 '#201840')" \
  \( -size 480x240 xc:none -fill 'rgba(120,90,170,0.30)' -draw 'rectangle 0,200 479,222' -blur 0x8 \) -composite \
  -draw "$(ridge 303 215 45 0.6 '#0c0918')" "$tmp/a1.png"
finish "$tmp/a1.png" 'Enter the realm of Velmora' APP1.png

# 2: misty pine forest under a pale sky, with fireflies.
sky '#07101e' '#1c3346' '#4c6a78' 130 "$tmp/s2.png"
fog() { # seed y height alpha out -> a drifting fog band
  convert -size 480x240 xc:gray50 -seed "$1" +noise Random -colorspace gray \
    -blur 0x12 -auto-level -resize 1000%x100% -crop 480x240+0+0 +repage \
    \( -size 480x240 xc:black -fill white -draw "rectangle 0,$2 479,$(($2 + $3))" -blur 0x$(($3 / 2)) \) \
    -compose Multiply -composite -evaluate multiply "$4" \
    -background '#b8d0da' -alpha shape "$5"
}
fog 21 95 40 0.8 "$tmp/fog1.png"
fog 22 150 40 0.9 "$tmp/fog2.png"
fog 23 195 40 0.7 "$tmp/fog3.png"
flies=$(awk -v s=77 "$AWK_RND"'BEGIN { for (i = 0; i < 26; i++) {
  x = rnd() * 480; y = 120 + rnd() * 105; r = 0.6 + rnd() * 0.9
  printf "fill rgba(255,210,110,%.2f) circle %.1f,%.1f %.1f,%.1f\n", 0.5 + rnd() * 0.5, x, y, x + r, y } }')
convert "$tmp/s2.png" \
  \( -size 480x240 xc:none -fill 'rgba(200,230,255,0.45)' -draw 'circle 385,0 385,40' -blur 0x30 \) -composite \
  \( -size 480x240 xc:none -fill 'rgba(220,240,255,0.10)' \
     -draw 'polygon 330,-10 370,-10 250,240 170,240 polygon 395,-10 420,-10 360,240 310,240' -blur 0x9 \) -composite \
  -draw "$(pines 31 26 140 40 75 '#2c4456')" "$tmp/fog1.png" -composite \
  -draw "$(pines 32 18 190 60 110 '#16283a')" "$tmp/fog2.png" -composite \
  -draw "$(pines 33 11 250 110 170 '#060c16')" "$tmp/fog3.png" -composite \
  \( -size 480x240 xc:none -draw "$flies" \( +clone -blur 0x3 \) -compose Screen -composite \) \
  -compose Screen -composite -compose Over "$tmp/a2.png"
finish "$tmp/a2.png" 'Walk the whispering woods' APP2.png

# 3: castle on a hill against a dusk sun.
sky '#150f33' '#6b2a58' '#f09a48' 140 "$tmp/s3.png"
castle='fill #120a1c
rectangle 300,120 318,200 rectangle 386,112 404,200 rectangle 330,146 390,200
rectangle 340,96 362,150 rectangle 258,150 300,200 rectangle 404,156 440,200
polygon 296,120 309,88 322,120 polygon 382,112 395,78 408,112 polygon 336,96 351,52 366,96
polygon 254,150 263,134 272,150'
for x in 260 270 280 290 332 342 352 362 372 382 406 416 426; do
  castle+=" rectangle $x,$(( x < 300 ? 146 : (x > 400 ? 152 : 142) )) $((x + 5)),160"
done
windows='fill #ffc56a rectangle 348,110 352,118 rectangle 307,134 310,140
rectangle 393,128 396,134 rectangle 356,166 360,174 rectangle 276,164 279,170
rectangle 420,170 423,176'
birds=$(awk -v s=5 "$AWK_RND"'BEGIN { for (i = 0; i < 7; i++) {
  x = 90 + rnd() * 150; y = 40 + rnd() * 60; w = 3 + rnd() * 3
  printf "polyline %.1f,%.1f %.1f,%.1f %.1f,%.1f\n", x - w, y - w * .5, x, y, x + w, y - w * .5 } }')
convert "$tmp/s3.png" \
  \( -size 480x240 xc:none -fill 'rgba(255,190,100,0.75)' -draw 'circle 150,168 150,228' -blur 0x26 \) -composite \
  \( -size 480x240 xc:none -fill '#ffdca0' -draw 'circle 150,168 150,202' -blur 0x1 \) -composite \
  \( -size 480x240 xc:none -fill 'rgba(70,25,60,0.75)' \
     -draw 'ellipse 80,120 120,5 0,360 ellipse 230,150 140,4 0,360 ellipse 420,92 110,5 0,360 ellipse 150,178 160,3 0,360' \
     -blur 0x3 \) -composite \
  -draw "$(ridge 404 190 40 0.5 '#3a1838')" \
  -draw "fill #120a1c polygon -10,260 -10,215 120,212 230,198 300,196 440,196 490,205 490,260" \
  -draw "$castle" -draw "$windows" \
  \( -size 480x240 xc:none -draw "$windows" -blur 0x3 \) -compose Screen -composite -compose Over \
  -fill none -stroke '#1a0d20' -strokewidth 1.2 -draw "$birds" "$tmp/a3.png"
finish "$tmp/a3.png" 'Forge your legend' APP3.png

# 4: aurora over a still northern sea.
sky '#02040e' '#06182c' '#123048' 160 "$tmp/s4.png"
aurora() { # seed colour-rgb height out -> one wavy curtain of vertical rays
  # Too many rays for one argument, so they go in as several -draw chunks.
  local args=() chunk='' n=0 line
  while IFS= read -r line; do
    chunk+="$line"$'\n'
    if (( ++n % 500 == 0 )); then args+=(-draw "$chunk"); chunk=''; fi
  done < <(awk -v s="$1" -v c="$2" -v hh="$3" "$AWK_RND"'BEGIN {
    a = rnd() * 6; b = rnd() * 6; y0 = 82 + rnd() * 25
    for (x = -10; x <= 490; x += 1.5) {
      y = y0 + 24 * sin(x / 75 + a) + 9 * sin(x / 26 + b)
      h = hh * (0.6 + 0.4 * sin(x / 40 + b)) * (0.7 + 0.3 * rnd())
      i = 0.35 + 0.65 * rnd() * rnd()
      for (k = 0; k < 10; k++) {
        f = 1 - k / 10
        printf "stroke rgba(%s,%.3f) line %.1f,%.1f %.1f,%.1f\n", c, i * f * f, x, y - k * h / 10, x, y - (k + 1) * h / 10
      }
    } }')
  [ -n "$chunk" ] && args+=(-draw "$chunk")
  convert -size 480x240 xc:none -fill none -strokewidth 1.5 "${args[@]}" -blur 0x1.5 "$4"
}
aurora 41 '60,255,170' 95 "$tmp/au1.png"
aurora 42 '0,213,254' 65 "$tmp/au2.png"
aurora 43 '150,100,255' 55 "$tmp/au3.png"
convert "$tmp/s4.png" \
  \( -size 480x240 xc:none -draw "$(stars 12 200 150 even)" \) -compose Screen -composite \
  "$tmp/au1.png" -composite "$tmp/au2.png" -composite "$tmp/au3.png" -composite -compose Over \
  -crop 480x160+0+0 +repage "$tmp/up4.png"
convert "$tmp/up4.png" -flip -crop 480x80+0+0 +repage -motion-blur 0x6+0 \
  -fill '#02060c' -colorize 5% \
  \( -size 480x80 gradient:'rgba(0,0,0,0)-rgba(0,0,0,0.4)' \) -composite "$tmp/lo4.png"
ripples=$(awk -v s=9 "$AWK_RND"'BEGIN { for (i = 0; i < 60; i++) {
  y = 162 + rnd() * rnd() * 78; x = rnd() * 480; w = 10 + rnd() * 40
  printf "line %.1f,%.1f %.1f,%.1f\n", x, y, x + w, y } }')
convert "$tmp/up4.png" "$tmp/lo4.png" -append \
  -draw "$(ridge 505 156 16 0.5 '#050a14')" \
  -fill none -stroke 'rgba(140,255,220,0.16)' -strokewidth 1 -draw "$ripples" "$tmp/a4.png"
finish "$tmp/a4.png" 'Sail beneath the northern lights' APP4.png

# 5: a volcano glowing under a smoky red sky.
sky '#080306' '#36090c' '#8c2a0c' 150 "$tmp/s5.png"
convert -size 480x240 xc:gray50 -seed 55 +noise Random -colorspace gray -blur 0x14 -auto-level \
  \( -size 480x240 gradient:white-black \) -compose Multiply -composite \
  -evaluate multiply 0.7 -background '#1a0a0c' -alpha shape "$tmp/smoke.png"
embers=$(awk -v s=61 "$AWK_RND"'BEGIN { for (i = 0; i < 70; i++) {
  x = 300 + (rnd() - .5) * 260 * rnd(); y = 95 - rnd() * 90 + rnd() * 20; r = 0.5 + rnd()
  printf "fill rgba(255,%d,60,%.2f) circle %.1f,%.1f %.1f,%.1f\n", 120 + rnd() * 110, 0.5 + rnd() * 0.5, x, y, x + r, y } }')
lava='fill none stroke #ff8a24 stroke-width 2
path "M 292,94 C 280,120 290,140 270,170 S 240,210 228,240"
path "M 310,94 C 318,118 330,130 326,160 S 350,205 360,240"
path "M 300,96 C 302,130 296,150 304,190"'
convert "$tmp/s5.png" "$tmp/smoke.png" -composite \
  \( -size 480x240 xc:none -fill 'rgba(255,110,30,0.8)' -draw 'ellipse 300,92 70,40 0,360' -blur 0x22 \) -composite \
  -draw "$(ridge 606 175 50 0.55 '#2a0c10')" \
  -draw 'fill #140608 polygon 90,260 250,104 278,92 322,92 352,106 500,260' \
  \( -size 480x240 xc:none -fill '#ffb040' -draw 'ellipse 300,93 22,4 0,360' -draw "$lava" \
     \( +clone -blur 0x4 \) -compose Screen -composite \) -compose Screen -composite \
  \( -size 480x240 xc:none -draw "$embers" \( +clone -blur 0x2 \) -compose Screen -composite \) -composite \
  -compose Over -draw "$(ridge 707 222 40 0.6 '#070203')" "$tmp/a5.png"
finish "$tmp/a5.png" 'Brave the fires of the deep' APP5.png

# 6: a cave lit by glowing crystals.
convert -size 480x480 radial-gradient:'#4a2a88-#0a0616' -resize 480x240\! \
  -roll +60+30 "$tmp/s6.png"
crystal() { # x base-y height width lean colour-light colour-dark
  local x=$1 b=$2 h=$3 w=$4 l=$5
  local tx=$((x + l)) ty=$((b - h))
  printf 'fill %s polygon %d,%d %d,%d %d,%d %d,%d\n' "$6" $((x - w)) "$b" $((x - w + l)) $((ty + w * 2)) "$tx" "$ty" "$x" "$b"
  printf 'fill %s polygon %d,%d %d,%d %d,%d %d,%d\n' "$7" "$x" "$b" "$tx" "$ty" $((x + w + l)) $((ty + w * 2)) $((x + w)) "$b"
}
crystals=$(
  crystal 330 230 120 14 -6 '#7ff0ff' '#1a8ab8'
  crystal 305 232 80 10 -22 '#b8a0ff' '#5a3aa8'
  crystal 360 232 92 11 20 '#8ae8ff' '#2a6aa8'
  crystal 385 236 52 8 26 '#c8b0ff' '#6040b0'
  crystal 280 236 44 7 -26 '#7ff0ff' '#1a7aa8'
  crystal 110 236 96 12 -12 '#b8a0ff' '#4a2a98'
  crystal 136 238 62 9 16 '#7ff0ff' '#1a7aa8'
  crystal 84 240 50 8 -26 '#7ff0ff' '#1a7aa8'
  crystal 160 240 34 6 24 '#c8b0ff' '#6040b0'
  crystal 440 236 36 6 10 '#7ff0ff' '#1a7aa8'
)
ceiling=$(awk -v s=81 "$AWK_RND"'BEGIN { printf "fill #05020a polygon -10,-10"
  for (x = -10; x <= 490; x += 12) { d = 10 + rnd() * 22; if (rnd() < 0.3) d += 30 * rnd()
    printf " %.1f,%.1f %.1f,%.1f", x, 8 + rnd() * 10, x + 6, d }
  printf " 490,-10\n" }')
sparks=$(awk -v s=83 "$AWK_RND"'BEGIN { for (i = 0; i < 40; i++) {
  x = 80 + rnd() * 380; y = 40 + rnd() * 170; r = 0.4 + rnd() * 0.8
  printf "fill rgba(180,240,255,%.2f) circle %.1f,%.1f %.1f,%.1f\n", 0.4 + rnd() * 0.6, x, y, x + r, y } }')
convert "$tmp/s6.png" \
  \( -size 480x240 xc:none -fill 'rgba(0,200,255,0.55)' -draw 'ellipse 335,170 110,70 0,360' \
     -fill 'rgba(150,90,255,0.45)' -draw 'ellipse 130,200 70,45 0,360' -blur 0x28 \) -compose Screen -composite -compose Over \
  -draw "$(ridge 808 226 30 0.5 '#0c0618')" -draw "$crystals" \
  \( -size 480x240 xc:none -draw "$crystals" -blur 0x6 -channel A -evaluate multiply 0.6 +channel \) \
  -compose Screen -composite -compose Over \
  -draw "$ceiling" -draw "$(ridge 909 238 16 0.6 '#05020a')" \
  \( -size 480x240 xc:none -draw "$sparks" \( +clone -blur 0x2 \) -compose Screen -composite \) \
  -compose Screen -composite -compose Over "$tmp/a6.png"
finish "$tmp/a6.png" 'Uncover the crystal depths' APP6.png
