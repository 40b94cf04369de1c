# Shared settings of tools/run and tools/test: where the builds and the private
# Wine prefix live, and how Wine is started. Sourced, not run.
# Wine is started only through tools/wine (run_wine below, and ctest's
# emulator): it picks the loader that fits each program.
TIDEWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${TIDEWELL_BUILD_ROOT:-$TIDEWELL_ROOT/build}
export WINEPREFIX=${TIDEWELL_WINEPREFIX:-$BUILD_ROOT/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8

# Installs what a fresh Debian 12 machine lacks (as root), once.
ensure_packages() {
    local stamp=/var/lib/tidewell-packages-6
    if [ -f "$stamp" ] && [ -x /usr/lib/wine/wine64 ] && command -v i686-w64-mingw32-g++-posix >/dev/null; then
        return 0
    fi
    "$TIDEWELL_ROOT/tools/setup"
    touch "$stamp"
}

run_wine() {
    "$TIDEWELL_ROOT/tools/wine" "$@"
}

run_wineserver() {
    "$TIDEWELL_ROOT/tools/wine" wineserver "$@"
}

# Finds out once per run whether this machine runs 32-bit Windows programs
# (tools/wine starts the 32-bit loader) and exports the answer for every later
# start: TIDEWELL_WIN32_RUNS is "yes" or "no: <why>". Returns 0 for yes.
detect_win32() {
    if [ -z "${TIDEWELL_WIN32_RUNS:-}" ]; then
        TIDEWELL_WIN32_RUNS=$("$TIDEWELL_ROOT/tools/wine" --win32)
        export TIDEWELL_WIN32_RUNS
    fi
    [ "$TIDEWELL_WIN32_RUNS" = yes ]
}

# Makes the private prefix (once) with the 64-bit loader, which also sets up
# the 32-bit half where 32-bit programs run, and maps the Japanese dialog font.
# The stamp records whether the 32-bit half was set up: a prefix made where it
# could not be is updated once 32-bit programs run.
ensure_prefix() {
    local stamp="$WINEPREFIX/.tidewell-ready" want="win32=no"
    detect_win32 && want="win32=yes"
    if [ -f "$stamp" ]; then
        if [ "$want" = "win32=no" ] || [ "$(cat "$stamp")" = "$want" ]; then
            return 0
        fi
        run_wine wineboot -u >/dev/null 2>&1
        run_wineserver -w
        echo "$want" >"$stamp"
        return 0
    fi
    mkdir -p "$WINEPREFIX"
    # Without 32-bit programs wineboot reports that syswow64\rundll32.exe
    # cannot start; the 64-bit half is complete all the same.
    run_wine wineboot -i >/dev/null 2>&1
    run_wineserver -w
    if [ ! -f "$WINEPREFIX/system.reg" ] || [ ! -d "$WINEPREFIX/drive_c/windows/system32" ]; then
        echo "could not make the Wine prefix $WINEPREFIX" >&2
        return 1
    fi
    run_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f >/dev/null 2>&1
    run_wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f >/dev/null 2>&1
    run_wineserver -w
    echo "$want" >"$stamp"
}

# Starts Xvfb on a free display number and exports DISPLAY; XVFB_PID is set.
# The one screen is 1280x800x24 unless another WIDTHxHEIGHTxDEPTH is given.
start_xvfb() {
    local n screen=${1:-1280x800x24}
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 "$screen" -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            # An Xvfb that lost the number to another one started meanwhile
            # ends at once: the display that answers is then not ours.
            local i
            for i in $(seq 1 50); do
                kill -0 "$XVFB_PID" 2>/dev/null || break
                xdpyinfo >/dev/null 2>&1 && kill -0 "$XVFB_PID" 2>/dev/null && return 0
                sleep 0.1
            done
            kill "$XVFB_PID" 2>/dev/null
            wait "$XVFB_PID" 2>/dev/null
        fi
    done
    echo "no free X display found" >&2
    return 1
}

# Configures, builds and installs one target into dist/.
build_target() {
    local name=$1 toolchain=$2
    cmake -S "$TIDEWELL_ROOT" -B "$BUILD_ROOT/$name" -G Ninja \
        -DCMAKE_TOOLCHAIN_FILE="$TIDEWELL_ROOT/cmake/$toolchain" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$TIDEWELL_ROOT" >/dev/null &&
    cmake --build "$BUILD_ROOT/$name" &&
    cmake --install "$BUILD_ROOT/$name" >/dev/null
}
