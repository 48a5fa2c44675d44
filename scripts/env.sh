# Sourced by the scripts: build folders and builds, Wine prefix, display,
# and the settings of scripts' own runs. BUILD_DIR may be set by the caller
# (default: build), as may the native build folders below.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# cmake -D for the warnings-as-errors option when the caller set
# SUNDREL_WERROR (scripts/test does); otherwise a folder keeps its choice.
werror_option() { printf '%s' "${SUNDREL_WERROR:+-DSUNDREL_WERROR=$SUNDREL_WERROR}"; }

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} $(werror_option) >/dev/null
  cmake --build "$BUILD_DIR"
}

# The native builds: the piece format, the companion, their tests and the
# programs that need no Windows. One with the host compiler, one with clang,
# and one with clang and the sanitizers, which also holds the fuzz targets.
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-$ROOT/build-native}
CLANG_BUILD_DIR=${CLANG_BUILD_DIR:-$ROOT/build-clang}
FUZZ_BUILD_DIR=${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}
case "$NATIVE_BUILD_DIR" in /*) ;; *) NATIVE_BUILD_DIR=$ROOT/$NATIVE_BUILD_DIR ;; esac
case "$CLANG_BUILD_DIR" in /*) ;; *) CLANG_BUILD_DIR=$ROOT/$CLANG_BUILD_DIR ;; esac
case "$FUZZ_BUILD_DIR" in /*) ;; *) FUZZ_BUILD_DIR=$ROOT/$FUZZ_BUILD_DIR ;; esac

# native_build FOLDER [CMAKE OPTION ...]
native_build() {
  local dir=$1
  shift
  cmake -S "$ROOT" -B "$dir" -G Ninja $(werror_option) "$@" >/dev/null
  cmake --build "$dir"
}
configure_and_build_native() {
  native_build "$NATIVE_BUILD_DIR" -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release}
}
configure_and_build_clang() {
  native_build "$CLANG_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/clang.cmake" \
               -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release}
}
# No build type: the toolchain file's -O1 holds.
configure_and_build_fuzz() {
  native_build "$FUZZ_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/clang-fuzz.cmake" \
               -DBUILD_TESTING=ON
}

# The Windows path of a Unix path: Wine maps the root to drive Z:.
winpath() { printf 'Z:%s' "${1//\//\\}"; }

# A registry name that the programs share, read from its home
# support/qoc_shared.h (QOC_PROFILE_KEY, QOC_SETTING_SECTION), with single
# backslashes.
shared_registry_name() {
  local name
  name=$(sed -n "s/^#define $1 L\"\(.*\)\"\$/\1/p" "$ROOT/support/qoc_shared.h" | sed 's/\\\\/\\/g')
  [ -n "$name" ] || { echo "env.sh: no $1 in support/qoc_shared.h" >&2; return 1; }
  printf '%s' "$name"
}

# Settings of Sundrel.exe for a script's own runs, as lines of a .reg file:
# pieces of 16 MiB into PIECE_DIR, earlier pieces removed without asking,
# the merged file into MERGED_DIR, no folder opened afterwards, the pieces
# kept after a merge.
#   settings_reg PIECE_DIR MERGED_DIR
settings_reg() {
  local section pieces merged
  section="HKEY_CURRENT_USER\\$(shared_registry_name QOC_PROFILE_KEY)\\$(shared_registry_name QOC_SETTING_SECTION)"
  pieces=$(winpath "$1" | sed 's/\\/\\\\/g')
  merged=$(winpath "$2" | sed 's/\\/\\\\/g')
  printf '[%s]\r\n' "$section"
  printf '"DivSize"=dword:%08x\r\n' 16
  printf '"fDivDir"=dword:00000001\r\n"fDivOpen"=dword:00000000\r\n"fDivRmv"=dword:00000001\r\n'
  printf '"DivDir"="%s"\r\n' "$pieces"
  printf '"fMrgDir"=dword:00000001\r\n"fMrgOpen"=dword:00000000\r\n"fMrgRmv"=dword:00000000\r\n'
  printf '"MrgDir"="%s"\r\n\r\n' "$merged"
}

# The browser page: the core as WebAssembly and sundrel.html; its tests
# need the native companion.
WEB_BUILD_DIR=${WEB_BUILD_DIR:-$ROOT/build-web}
case "$WEB_BUILD_DIR" in /*) ;; *) WEB_BUILD_DIR=$ROOT/$WEB_BUILD_DIR ;; esac

configure_and_build_web() {
  cmake -S "$ROOT" -B "$WEB_BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/wasm32-wasi.cmake" -DCMAKE_BUILD_TYPE=Release \
        -DSUNDREL_COMPANION="$NATIVE_BUILD_DIR/bin/sundrel" >/dev/null
  cmake --build "$WEB_BUILD_DIR"
}

XVFB_PID=
# Starts an Xvfb of our own and exports DISPLAY. Xvfb picks a free display
# itself (-displayfd), so that parallel runs cannot take the same one.
start_xvfb() {
  local fifo display=
  fifo=$(mktemp -u /tmp/sundrel-xvfb.XXXXXX)
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  read -r -t 20 display <"$fifo" || true
  rm -f "$fifo"
  if [ -z "$display" ] || ! kill -0 "$XVFB_PID" 2>/dev/null; then
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=:$display
}

# Ends the wineserver of our prefix (and with it every program in it) and Xvfb.
stop_session() {
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
}

# Creates the throwaway prefix once; reused while it exists.
ensure_prefix() {
  if [ ! -f "$WINEPREFIX/.sundrel-ready" ]; then
    rm -rf "$WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.sundrel-ready"
  fi
  wineserver -p >/dev/null 2>&1 || true   # keep one server for the whole run
  # Unmanaged windows: without a window manager Wine waits 2 s for each
  # managed window to close. Set once per prefix, older prefixes included.
  if [ ! -f "$WINEPREFIX/.sundrel-unmanaged" ]; then
    wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.sundrel-unmanaged"
  fi
  # Without Tahoma, Wine draws the dialogs in the face fontconfig gives for
  # it, DejaVu Sans, which has no Japanese: the texts that stay Japanese in
  # the English windows would show as boxes. A CJK font linked behind that
  # face fills them in and leaves the dialog metrics as they are. (Wine
  # rewrites its own links for Tahoma whenever the locale changes, so the
  # link goes behind the face actually drawn.)
  if [ ! -f "$WINEPREFIX/.sundrel-fontlink" ]; then
    wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
         /v 'DejaVu Sans' /t REG_MULTI_SZ /d 'NotoSansCJK-Regular.ttc,Noto Sans CJK JP' /f \
         </dev/null >/dev/null 2>&1
    touch "$WINEPREFIX/.sundrel-fontlink"
  fi
  # The text-fit tests set 144 DPI for the prefix's user while they run; a
  # run cut short may have left it.
  wine reg delete 'HKCU\Control Panel\Desktop' /v LogPixels /f </dev/null >/dev/null 2>&1 || true
  # Start Wine's background processes (services, desktop) now, detached from
  # any pipe: started by the first test instead, they would keep its output
  # pipe open and CTest would wait for it until the test's timeout.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}

# The look of the windows in screenshots, set in the current prefix: Wine
# draws the window frames itself, so that the pictures show the captions, in
# a caption font that finds Japanese glyphs (MS Shell Dlg, bold, any
# charset); the windows stay unmanaged: without a window manager Wine would
# wait 2 s for each window to close.
set_window_look() {
  local font reg
  font=$( { printf '\xf5\xff\xff\xff'; head -c 12 /dev/zero; printf '\xbc\x02\0\0\0\0\0\x01\0\0\0\x22'
            printf 'MS Shell Dlg' | iconv -t UTF-16LE; head -c 40 /dev/zero; } |
          od -An -tx1 -v | tr -s ' \n' ',' | sed 's/^,//; s/,$//')
  reg=$(mktemp --suffix=.reg)
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Decorated"="N"\r\n"Managed"="N"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Control Panel\\Desktop\\WindowMetrics]\r\n"CaptionFont"=hex:%s\r\n' "$font"
  } | iconv -f UTF-8 -t UTF-16 >"$reg"
  wine regedit /S "Z:${reg//\//\\}" </dev/null >/dev/null 2>&1
  rm -f "$reg"
}
