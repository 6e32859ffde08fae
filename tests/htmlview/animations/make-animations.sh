#!/usr/bin/env bash
# Makes the small animations the GIF composition tests check, with ImageMagick (installed by
# scripts/setup). The files are committed; run this again only to change them.
set -euo pipefail
cd "$(dirname "$0")"
# Each frame: "dispose width height colour x y see-through": a rectangle of a colour with a bar
# in its upper left quarter, white, or see-through when see-through is "yes".
make() { # name, interlace (None/GIF), frames
  local name=$1 interlace=$2
  shift 2
  local args=()
  for frame in "$@"; do
    read -r dispose w h colour x y see <<<"$frame"
    local bar=(-fill white -draw "rectangle 2,2 $((w / 2)),$((h / 2))")
    [ "$see" = yes ] && bar=(-fill red -draw "rectangle 2,2 $((w / 2)),$((h / 2))" -transparent red)
    args+=(-dispose "$dispose" "(" -size "${w}x${h}" "xc:$colour" "${bar[@]}" -repage "40x30+$x+$y" ")")
  done
  convert -delay 10 "${args[@]}" -interlace "$interlace" -loop 0 "$name.gif"
}
# The first frame smaller than the screen; frames left in place (disposal 1) at offsets.
make keep-partial None "None 20 12 blue 4 3 no" "None 16 10 green 18 14 yes" "None 30 8 yellow 10 20 no"
# Restored to the background, with and without see-through pixels.
make background-transparent None "Background 40 30 blue 0 0 yes" "Background 20 20 green 10 5 yes" \
  "Background 12 12 orange 25 15 yes"
make background-opaque None "Background 40 30 navy 0 0 no" "Background 20 20 green 10 5 no" \
  "Background 12 12 orange 25 15 no"
# Restored to what was there before, with and without see-through pixels, after kept frames.
make previous None "None 40 30 teal 0 0 no" "Previous 20 16 green 5 5 yes" "Previous 18 12 purple 15 10 no" \
  "None 10 10 yellow 28 18 yes" "Previous 30 20 maroon 0 0 no"
# Interlaced frames, each disposal once, see-through and partial frames mixed.
make interlaced-mixed GIF "Undefined 30 25 blue 5 2 yes" "Previous 20 17 green 0 0 no" \
  "Background 25 9 crimson 12 19 yes" "None 40 30 gray 0 0 yes" "Previous 13 29 olive 27 1 yes" \
  "Undefined 9 9 white 1 1 no"
