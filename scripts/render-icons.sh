#!/usr/bin/env bash
# Renders the icons drawn as SVG (app/resources/*.svg) into the PNGs the program and the package
# use: the toolbar images and the program icon at the sizes app/Icons.cpp names
# (app/resources/png/), and the program icon in the sizes of the hicolor icon theme
# (packaging/icons/), and from those the Windows program icon (app/resources/patchferry.ico). Run
# after changing an icon; the PNGs and the .ico are kept in the repository.
# Needs rsvg-convert (Debian's librsvg2-bin) and ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")/.."
for name in open find audition about patchferry; do
  for size in 16 24 32 48; do
    rsvg-convert -w "$size" -h "$size" -o "app/resources/png/$name-$size.png" "app/resources/$name.svg"
  done
done
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" -o "packaging/icons/${size}.png" app/resources/patchferry.svg
done
convert packaging/icons/{16,24,32,48,64,256}.png app/resources/patchferry.ico
