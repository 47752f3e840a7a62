#!/usr/bin/env bash
# Writes the seed corpora of the fuzz targets into tests/fuzz/corpus/ from the project's own
# writers and a few hand-written inputs. Run from anywhere with a built tree:
#   tests/fuzz/make-corpus.sh BUILD_DIR
# It needs BUILD_DIR/tools/cmap (cmake --build BUILD_DIR --target cmap) and game/terminal.png
# (target font); the PNG colour types our writer does not make come from ImageMagick's
# convert. The output is committed: rerun it when a format changes.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/../.." && pwd)
build=$(cd "${1:?usage: make-corpus.sh BUILD_DIR}" && pwd)
cmap=$build/tools/cmap
out=$here/corpus
# Only the folders written here are remade: other targets' seeds (script_fuzz) are kept.
targets=(mapfile_fuzz level_fuzz brush_region_fuzz text_fuzz config_fuzz png_fuzz)
for target in "${targets[@]}"; do
    rm -rf "${out:?}/$target"
    mkdir -p "$out/$target"
done

# Level sources, and the map files the map tool compiles them to (the game's own level too).
for source in "$root/game/maps/intro.level" "$here"/levels/*.level; do
    name=$(basename "$source" .level)
    cp "$source" "$out/level_fuzz/$name.level"
    "$cmap" build "$source" -o "$out/mapfile_fuzz/$name.cmap"
done
# A map file printed back as source by the tool.
"$cmap" dump "$out/mapfile_fuzz/room.cmap" -o "$out/level_fuzz/room-dumped.level"

# Brush streams (first byte 0: brush, 2: brush of the other byte order) and region streams
# (first byte 1), little-endian, as Brush::write and Region::save lay them out.
# byte VALUE...: each value as one byte; le and be: each as 4 bytes, little- or big-endian.
byte() { for v in "$@"; do printf "$(printf '\\%03o' $((v & 255)))"; done; }
le() { for v in "$@"; do byte "$v" $((v >> 8)) $((v >> 16)) $((v >> 24)); done; }
be() { for v in "$@"; do byte $((v >> 24)) $((v >> 16)) $((v >> 8)) "$v"; done; }
{ printf '\x00'; le 5; printf 'Brush\xff\x8a\x30\xff\x1c\x1a\x16\xff'; le 3; printf '.,:'
  le 12 -4; printf '\x01\x01\x00'; le 1 3; } > "$out/brush_region_fuzz/brush"
{ printf '\x02'; be 4; printf 'Wall\x01\x02\x03\x04\x05\x06\x07\x08'; be 0; be 0 0
  printf '\x00\x00\x01'; be 2 0; } > "$out/brush_region_fuzz/brush-flipped"
{ printf '\x01'; le 3 -6 1 5 2 2 -3 1 7 0; } > "$out/brush_region_fuzz/region"
{ printf '\x01'; le 1 2147483647 3 -2147483648 0 2147483647; } > "$out/brush_region_fuzz/region-edges"

# Texts: the target takes start x, start y and the width (4 bytes each) and then the face's
# width and height (a byte each) from the end of the input backwards; the rest is the text.
text() { printf '%s' "$2"; printf '\x09\x14'; le "$3" 2 5; } # face 20 x 9, start (5, 2)
text a 'Welcome to the Marrow Hall. The fire burns low.' 18 > "$out/text_fuzz/sign"
text b $'Line one\r\nline two\n\nafter a blank  two  spaces' 10 > "$out/text_fuzz/lines"
text c 'averyveryverylongwordthatdoesnotfit and more' 8 > "$out/text_fuzz/long-word"

# Configuration files.
cp "$root/game/config.txt" "$out/config_fuzz/game"
printf 'fullscreen = 0\ndisableVBOs = ""\ninspector = nil\nreturn 1, 2\n' > "$out/config_fuzz/truths"
printf 'fullscreen = true\nerror("broken")\n' > "$out/config_fuzz/error"
printf 'local t = {}\nfor i = 1, 10 do t[i] = tostring(i) end\nprint(unpack(t))\n' \
    > "$out/config_fuzz/base-library"

# PNG files: the font atlas our writer makes, and the other colour types readPng accepts.
cp "$root/game/terminal.png" "$out/png_fuzz/terminal.png"
src=$out/png_fuzz/terminal.png
convert "$src" -crop 8x8+8+8 +repage -type Grayscale -depth 8 "$out/png_fuzz/grey.png"
convert "$src" -crop 8x8+8+8 +repage -colors 4 PNG8:"$out/png_fuzz/palette.png"
convert "$src" -crop 6x5+16+8 +repage -depth 16 PNG48:"$out/png_fuzz/rgb16.png"
convert "$src" -crop 8x8+8+8 +repage -alpha set PNG32:"$out/png_fuzz/rgba.png"
convert "$src" -crop 9x7+0+0 +repage -interlace PNG PNG24:"$out/png_fuzz/interlaced.png"
convert -size 3x2 xc:gray50 -depth 1 -type Bilevel "$out/png_fuzz/bilevel.png"
