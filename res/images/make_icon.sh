#!/usr/bin/env bash
# Draws the program icon (res/images/app.ico) with ImageMagick: a gold "V"
# on a dark violet rounded square, at the sizes Windows asks for.
set -euo pipefail
cd "$(dirname "$0")"
convert -size 256x256 xc:none \
  -fill '#1d1530' -stroke '#c9a24a' -strokewidth 10 \
  -draw 'roundrectangle 10,10 246,246 48,48' \
  -stroke none -fill '#e2bd62' -font Liberation-Serif-Bold -pointsize 190 \
  -gravity center -annotate +0+8 'V' \
  -define icon:auto-resize=256,48,32,16 app.ico
