#!/usr/bin/env bash
# Makes the seed corpus of the raster_files fuzz harness with ImageMagick: small BMP (40-byte
# headers, 1 to 24 bits), packed DIBs of 1, 4 and 8 bits, GIF, PCX and JPEG files.
set -euo pipefail
out="$(dirname "$0")/raster_files"
mkdir -p "$out"
convert -seed 1 -size 7x5 plasma:fractal -type TrueColor "BMP3:$out/small24.bmp"
convert -seed 1 -size 7x5 plasma:fractal -colors 200 -type Palette "BMP3:$out/small8.bmp"
convert -seed 1 -size 7x5 plasma:fractal -colors 9 -depth 4 -type Palette "BMP3:$out/small4.bmp"
convert -seed 1 -size 7x5 plasma:fractal -monochrome "BMP3:$out/small1.bmp"
# Packed DIBs: the bitmaps without their 14-byte file header.
for bits in 1 4 8; do tail -c +15 "$out/small$bits.bmp" >"$out/small$bits.dib"; done
convert -seed 1 -size 7x5 plasma:fractal -interlace GIF "$out/interlaced.gif"
convert -seed 1 -size 9x4 plasma:fractal "$out/small.gif"
convert -seed 1 -size 7x5 plasma:fractal -colors 4 "$out/four-colours.gif"
convert -seed 1 -size 7x5 plasma:fractal -colors 100 -type Palette "$out/small.pcx"
convert -seed 1 -size 7x5 plasma:fractal -quality 50 "$out/small.jpg"
convert -seed 1 -size 7x5 plasma:fractal -colorspace Gray -quality 20 "$out/grey.jpg"
# Our PCX reader takes version 5 files only.
printf '\x05' | dd of="$out/small.pcx" bs=1 seek=1 conv=notrunc status=none
