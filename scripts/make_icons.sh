#!/usr/bin/env bash
# Renders the program icon resources/icons/menuvera.svg into the PNG sizes of
# the hicolor icon theme, resources/icons/menuvera-<size>.png, and these into
# the Windows icon resources/icons/menuvera.ico. The window icon and the
# installed theme icons are made from these files. Needs rsvg-convert
# (Debian's librsvg2-bin) and convert (imagemagick). Run it again after a
# change of the SVG and commit the pictures with it.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
icons="$here/resources/icons"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" --format png \
        "$icons/menuvera.svg" --output "$icons/menuvera-$size.png"
done
convert $(for size in 256 64 48 32 24 16; do echo "$icons/menuvera-$size.png"; done) \
    "$icons/menuvera.ico"
