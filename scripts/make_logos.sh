#!/usr/bin/env bash
# Draws the two logos of the about window into resources/images/:
#   society_logo.jpg  the nutrition society "Forum Gesunde Ernährung e.V.", JPEG 221 x 316
#   maker_logo.bmp    the maker Menuvera, 256-colour BMP 275 x 285 on white, whose bottom
#                     left pixel gives the colour the program draws transparent
# Needs ImageMagick 6 (/usr/bin/convert) and the Liberation fonts. Run it again after a
# change of design and commit the pictures with it.
set -euo pipefail

convert=/usr/bin/convert
here="$(cd "$(dirname "$0")/.." && pwd)"
out="$here/resources/images"
fonts=/usr/share/fonts/truetype/liberation
bold="$fonts/LiberationSans-Bold.ttf"
regular="$fonts/LiberationSans-Regular.ttf"
mkdir -p "$out"

# The society: an apple with a leaf in a green ring, the name beneath, a green foot line.
"$convert" -size 221x316 xc:white \
  -fill none -stroke '#2e7d32' -strokewidth 8 -draw 'circle 110,92 110,24' \
  -stroke none -fill '#e8f5e9' -draw 'circle 110,92 110,30' \
  -fill '#c62828' -draw 'circle 94,104 94,66' -draw 'circle 126,104 126,66' \
  -fill '#e53935' -draw 'circle 95,100 95,70' -draw 'circle 125,100 125,70' \
  -fill '#ffffff' -draw 'ellipse 92,88 7,12 0,360' \
  -fill none -stroke '#5d4037' -strokewidth 5 -draw 'line 110,70 114,50' \
  -stroke none -fill '#43a047' -draw 'ellipse 130,52 16,7 0,360' \
  -fill '#1b5e20' -font "$bold" -pointsize 30 -gravity north \
  -annotate +0+176 'Forum' \
  -pointsize 24 -annotate +0+212 'Gesunde' -annotate +0+240 'Ernährung' \
  -fill '#2e7d32' -font "$regular" -pointsize 16 -annotate +0+272 'e.V.' \
  -fill '#2e7d32' -draw 'rectangle 0,300 221,316' \
  -quality 90 -sampling-factor 2x2 -strip "$out/society_logo.jpg"

# The maker: a green rounded tile with a plate, fork and knife, the name beneath.
"$convert" -size 275x285 xc:white \
  -fill '#2e7d32' -draw 'roundrectangle 62,14 212,164 26,26' \
  -fill '#ffffff' -draw 'circle 137,89 137,45' \
  -fill '#a5d6a7' -draw 'circle 137,89 137,55' \
  -fill '#ffffff' -draw 'circle 137,89 137,65' \
  -fill '#f57c00' -draw 'circle 137,89 137,79' \
  -fill '#ffffff' -draw 'roundrectangle 76,44 82,136 3,3' \
  -draw 'rectangle 70,44 73,78' -draw 'rectangle 85,44 88,78' -draw 'roundrectangle 70,72 88,84 4,4' \
  -draw 'roundrectangle 190,44 198,136 3,3' -draw 'ellipse 194,62 6,20 0,360' \
  -fill '#1b5e20' -font "$bold" -pointsize 46 -gravity north -annotate +0+176 'Menuvera' \
  -fill '#616161' -font "$regular" -pointsize 19 -annotate +0+234 'Ernährung planen' \
  -fill '#f57c00' -draw 'rectangle 70,266 205,269' \
  -type Palette -colors 256 -compress none BMP3:"$out/maker_logo.bmp"
