#!/usr/bin/env bash
# Lumbra Player: one entry point for setting up, building, testing and the demo.
#   ./lumbra.sh setup   install what the builds need (Debian; idempotent)
#   ./lumbra.sh build   native and Windows builds; products in dist/
#   ./lumbra.sh test    setup, build, then every test of both builds
#   ./lumbra.sh demo    setup, build, package the demo application and launch it
#   ./lumbra.sh fuzz NAME [libFuzzer args]   run one fuzz target under the sanitizers
#   ./lumbra.sh bench   script benchmarks side by side with other interpreters
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
build="$root/build"
dist="$root/dist"
jobs=$(nproc)

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

packages=(
  cmake ninja-build g++ googletest zlib1g-dev libboost1.81-dev libstb-dev
  g++-mingw-w64-i686-posix mingw-w64-tools libz-mingw-w64-dev
  wine wine32:i386 fonts-wine xvfb xauth x11-apps imagemagick
  clang libclang-rt-14-dev duktape mujs libedit-dev lua5.4 time
)

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

setup() {
  local missing=()
  for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    as_root dpkg --add-architecture i386
  fi
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
}

configure() { # dir, extra cmake args...
  local dir=$1; shift
  if [ ! -f "$dir/build.ninja" ]; then
    cmake -S "$root" -B "$dir" -G Ninja "$@" >/dev/null
  fi
}

build() {
  configure "$build/native"
  configure "$build/win32" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-mingw-i686.cmake"
  cmake --build "$build/native" -j "$jobs"
  cmake --build "$build/win32" -j "$jobs"
  collect
}

# The products, without their debug information.
collect() {
  mkdir -p "$dist/native" "$dist/win32"
  local f
  for f in lumbra-pack orvet lumbra-movie; do
    [ -f "$build/native/tools/$f" ] && strip -o "$dist/native/$f" "$build/native/tools/$f"
  done
  for f in player/LumbraPlayer.exe tools/lumbra-pack.exe tools/orvet.exe tools/lumbra-movie.exe control/LumbraFlash.ocx; do
    [ -f "$build/win32/$f" ] && i686-w64-mingw32-strip -o "$dist/win32/$(basename "$f")" "$build/win32/$f"
  done
  return 0
}

wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix (once)..."
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
  fi
}

# Runs "$@" with a display: the current one if any, else one private Xvfb.
# Its screen is 1024 x 768, the size the window layout tests place windows on.
with_display() {
  if [ -n "${DISPLAY:-}" ] && [ "${LUMBRA_XVFB:-}" != 1 ]; then
    "$@"
  else
    xvfb-run -a -s "-screen 0 1024x768x24" "$@"
  fi
}

run_tests() {
  local status=0
  echo "== native tests"
  ctest --test-dir "$build/native" --output-on-failure -j "$jobs" || status=1
  echo "== Windows tests (Wine)"
  wine_prefix
  LUMBRA_XVFB=1 with_display bash -c '
    # Start the Wine services once, away from ctest'"'"'s output pipes: a
    # service that inherits such a pipe would keep ctest waiting forever.
    wineserver -p >/dev/null 2>&1
    wine cmd /c exit >/dev/null 2>&1
    ctest --test-dir "$1" --output-on-failure
    s=$?; wineserver -k >/dev/null 2>&1; exit $s' _ "$build/win32" || status=1
  return $status
}

demo() {
  local stage="$build/demo" out="$dist/demo/LumbraDemo.exe"
  rm -rf "$stage" && mkdir -p "$dist/demo"
  cp -r "$root/demo" "$stage"
  sh "$stage/build.sh" "$dist" "$out"
  wine_prefix
  if [ -n "${DISPLAY:-}" ]; then
    launch_demo "$out" && wait_for_player
  else
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$(declare -f launch_demo); launch_demo \"\$1\" \"\$2\"; wineserver -k" _ "$out" "$dist/demo.png"
  fi
}

# Starts the packaged player, gives it time to show its window and saves a
# screenshot of the screen.
launch_demo() {
  local exe=$1 shot=${2:-$dist/demo.png}
  wine "$exe" >/dev/null 2>&1 &
  sleep 8
  import -window root "$shot" && echo "Screenshot: $shot"
}

wait_for_player() {
  echo "The demo is running; close its window to end."
  wait
}

fuzz() {
  local name=$1; shift
  local dir="$build/fuzz"
  configure "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DLUMBRA_LIBFUZZER=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    "-DCMAKE_CXX_FLAGS=-fsanitize=address,undefined,float-cast-overflow,fuzzer-no-link -fno-sanitize-recover=undefined,float-cast-overflow" \
    "-DCMAKE_C_FLAGS=-fsanitize=address,undefined,float-cast-overflow,fuzzer-no-link"
  cmake --build "$dir" --target "$name" -j "$jobs"
  local exe
  exe=$(find "$dir" -type f -name "$name" -perm -u+x | head -n 1)
  "$exe" "$@"
}

bench() {
  cmake --build "$build/native" --target bench
}

verb=${1:-}
shift || true
case "$verb" in
  setup) setup ;;
  build) setup; build ;;
  test)  setup; build; run_tests ;;
  demo)  setup; build; LUMBRA_XVFB=${LUMBRA_XVFB:-} demo ;;
  fuzz)  setup; fuzz "$@" ;;
  bench) setup; build; bench ;;
  *) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
