# Sourced by the test script: a private Wine prefix with a persistent wineserver and its own
# Xvfb display, so that the cross-built tests run fast and leave nothing behind.
#   wine_session_start <prefix-dir>   then   wine_session_stop
WINE64=/usr/lib/wine/wine64
WINESERVER64=/usr/lib/wine/wineserver64

wine_session_start() {
    export WINEPREFIX=$1 WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
    mkdir -p "$WINEPREFIX"
    local display=97
    while [ -e "/tmp/.X${display}-lock" ] || [ -e "/tmp/.X11-unix/X${display}" ]; do
        display=$((display + 1))
    done
    Xvfb ":${display}" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    WINE_XVFB_PID=$!
    export DISPLAY=":${display}"
    # A persistent server before the first program: each test program then starts in
    # a fraction of a second instead of seconds.
    "$WINESERVER64" -p </dev/null >/dev/null 2>&1
    "$WINE64" wineboot -i </dev/null >/dev/null 2>&1
    # Unmanaged windows close at once instead of after a 2 s wait each.
    "$WINE64" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
    # Windows' interface font carries Arabic; Wine has none of its own, and the system font it
    # would pick instead for "Segoe UI" may have no Arabic (then every Arabic line is boxes).
    # DejaVu Sans carries both scripts.
    "$WINE64" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "Segoe UI" /d "DejaVu Sans" /f \
        </dev/null >/dev/null 2>&1
    # Report Windows 10, as the machines we ship to do.
    "$WINE64" winecfg /v win10 </dev/null >/dev/null 2>&1
    # On a prefix made in this session the RPC service never starts (each first COM use
    # of a program then waits 10 s for it); one restart of the server settles the prefix.
    "$WINESERVER64" -k >/dev/null 2>&1 || true
    "$WINESERVER64" -p </dev/null >/dev/null 2>&1
    "$WINE64" wineboot </dev/null >/dev/null 2>&1
}

wine_session_stop() {
    "$WINESERVER64" -k >/dev/null 2>&1 || true
    if [ -n "${WINE_XVFB_PID:-}" ]; then
        kill "$WINE_XVFB_PID" >/dev/null 2>&1 || true
        wait "$WINE_XVFB_PID" 2>/dev/null || true
    fi
}
