#!/bin/sh
# Builds the demo application from this folder: the movie from its
# description, then the packaged program. A copy of this folder builds the
# same way, so it makes a starting point for an application of your own.
#
#   sh build.sh LUMBRA [OUTPUT.exe]
#
# LUMBRA is the folder of the built products: native/ holds the tools
# (lumbra-movie, lumbra-pack), win32/ the player and the movie control.
set -e
here=$(cd "$(dirname "$0")" && pwd)
lumbra=${1:?usage: sh build.sh LUMBRA [OUTPUT.exe]}
output=${2:-$here/LumbraDemo.exe}

"$lumbra/native/lumbra-movie" build "$here/movie.txt" "$here/demo.swf"
cp "$lumbra/win32/LumbraFlash.ocx" "$here/LumbraFlash.ocx"
"$lumbra/native/lumbra-pack" build --player "$lumbra/win32/LumbraPlayer.exe" --project "$here" --output "$output"
