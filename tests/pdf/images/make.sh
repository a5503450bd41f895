#!/bin/sh
# Makes the small test pictures of ImageTest once (ImageMagick); the results are kept in this folder.
# Most are 16 x 16 with four 8 x 8 quadrants: red, lime / blue, yellow (two colours: red, blue / blue, red).
set -e
cd "$(dirname "$0")"
quad() { convert -size 16x16 xc:yellow +antialias -fill red -draw 'rectangle 0,0 7,7' -fill lime \
  -draw 'rectangle 8,0 15,7' -fill blue -draw 'rectangle 0,8 7,15' "$@"; }
quad -quality 95 rgb.jpg
quad -quality 95 -interlace Plane progressive.jpg
quad -quality 95 -colorspace CMYK cmyk.jpg
quad -quality 95 -colorspace Gray gray.jpg
convert -size 16x16 xc:blue +antialias -fill red -draw 'rectangle 0,0 7,7' -draw 'rectangle 8,8 15,15' -type Palette bmp3:bits1.bmp
quad -type Palette bmp3:bits4.bmp
# more than 16 colours: a grey ramp in the last row makes an 8-bit palette
quad -fill gray -draw 'point 15,15' -fx 'j==15 ? i/15 : u' -type Palette -compress None bmp3:bits8.bmp
quad -define bmp:subtype=RGB565 bits16.bmp
quad -type TrueColor bmp3:bits24.bmp
quad -alpha set -define bmp:format=bmp4 bits32.bmp
quad -flip -type TrueColor bmp3:topdown.bmp
printf '\360\377\377\377' | dd of=topdown.bmp bs=1 seek=22 conv=notrunc 2>/dev/null  # height -16: rows top-down
quad plain.gif
quad -transparent lime transparent.gif
quad -interlace GIF interlaced.gif
quad -type TrueColor -alpha off -orient TopLeft plain.tga  # rows top-down
quad -flip -type TrueColor -alpha off -compress RLE rle.tga  # rows bottom-up
