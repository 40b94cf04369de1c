# Shared settings of tools/run and tools/test: where the builds and the private
# Wine prefix live, and how Wine is started. Sourced, not run.
TIDEWELL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_ROOT=${TIDEWELL_BUILD_ROOT:-$TIDEWELL_ROOT/build}
export WINEPREFIX=${TIDEWELL_WINEPREFIX:-$BUILD_ROOT/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8

# Installs what a fresh Debian 12 machine lacks (as root), once.
ensure_packages() {
    local stamp=/var/lib/tidewell-packages-2
    if [ -f "$stamp" ] && command -v wine >/dev/null && command -v i686-w64-mingw32-g++-posix >/dev/null; then
        return 0
    fi
    "$TIDEWELL_ROOT/tools/setup"
    touch "$stamp"
}

# Makes the private prefix (once) with the Japanese font mapped for dialogs.
ensure_prefix() {
    if [ -f "$WINEPREFIX/.tidewell-ready" ]; then
        return 0
    fi
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1
    wineserver -w
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ Ｐゴシック' /d 'IPAPGothic' /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'ＭＳ ゴシック' /d 'IPAGothic' /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tidewell-ready"
}

# Starts Xvfb on a free display number and exports DISPLAY; XVFB_PID is set.
start_xvfb() {
    local n
    for n in $(seq 91 140); do
        if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
            Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
            XVFB_PID=$!
            export DISPLAY=":$n"
            local i
            for i in $(seq 1 50); do
                xdpyinfo >/dev/null 2>&1 && return 0
                sleep 0.1
            done
            kill "$XVFB_PID" 2>/dev/null
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
