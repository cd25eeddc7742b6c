#!/usr/bin/env bash
# Renders the program icon (app/resources/patchferry.svg) into the PNG sizes of the hicolor icon
# theme under packaging/icons/. Run after changing the icon; the PNGs are kept in the repository.
set -euo pipefail
cd "$(dirname "$0")/.."
for size in 16 22 24 32 48 64 128 256; do
  convert -background none -density 600 app/resources/patchferry.svg -resize "${size}x${size}" \
    "PNG32:packaging/icons/${size}.png"
done
