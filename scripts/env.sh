# Sourced by the scripts: build folder, Wine prefix and display helpers.
# BUILD_DIR may be set by the caller (default: build).
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$ROOT/build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR=$ROOT/$BUILD_DIR ;; esac
export WINEPREFIX=${WINEPREFIX:-$BUILD_DIR/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

configure_and_build() {
  cmake -S "$ROOT" -B "$BUILD_DIR" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" \
        -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null
  cmake --build "$BUILD_DIR"
}

# The native build: the piece format, its tests, and the programs that need
# no Windows.
NATIVE_BUILD_DIR=${NATIVE_BUILD_DIR:-$ROOT/build-native}
case "$NATIVE_BUILD_DIR" in /*) ;; *) NATIVE_BUILD_DIR=$ROOT/$NATIVE_BUILD_DIR ;; esac

configure_and_build_native() {
  cmake -S "$ROOT" -B "$NATIVE_BUILD_DIR" -G Ninja -DCMAKE_CXX_FLAGS="-Wall -Wextra" \
        -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-Release} >/dev/null
  cmake --build "$NATIVE_BUILD_DIR"
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
  # Start Wine's background processes (services, desktop) now, detached from
  # any pipe: started by the first test instead, they would keep its output
  # pipe open and CTest would wait for it until the test's timeout.
  wine cmd.exe /c exit </dev/null >/dev/null 2>&1 || true
}
