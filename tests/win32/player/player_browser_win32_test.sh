#!/usr/bin/env bash
# The Windows player in link mode with a browser runtime installed (the test runtime, recorded
# where the runtime's updater records it), against the stand-in platform service: the browser
# comes up in the main window, gets its settings and scripts, and opens the content address
# with the player's identity headers; the navigation policy lets it through and its request
# passes the pin check. The test runtime draws nothing, so what is checked is what the player
# asked of the runtime (its record, KESTRUM_STANDIN_LOG). Runs in the Wine session of the cross
# build's tests (WINEPREFIX and DISPLAY set).
#   player_browser_win32_test.sh <wine> <kestrum.exe> <player_probe.exe> <kestrum-platform>
#                                <test runtime library>
set -u -o pipefail
wine=$1
player=$2
probe_exe=$3
platform=$4
runtime_library=$5
source "$(dirname "$0")/player_test_lib.sh"
windows_path() { printf 'Z:%s' "${1//\//\\}"; }

start_platform --version-answer none
link=$(link_of direct-address)
content=https://localhost:8443/content/lesson-page.html

# The installed runtime: a versioned folder holding the engine library.
runtime=$work/EdgeWebView/Application/120.0.2210.91
mkdir -p "$runtime/EBWebView/x64"
cp "$runtime_library" "$runtime/EBWebView/x64/EmbeddedBrowserWebView.dll"
"$wine" reg add "$runtime_key" /v EBWebView /d "$(windows_path "$runtime")" /reg:32 /f >/dev/null 2>&1

log=$work/standin.log
KESTRUM_STANDIN_LOG=$(windows_path "$log") "$wine" "$player" "$link" >"$work/player.log" 2>&1 &
player_pid=$!
pids+=("$player_pid")

if wait_for 90 grep -q "^NavigateWithWebResourceRequest GET $content " "$log"; then
    ok "the content address is opened with a request of the player's"
    navigation=$(grep -m1 "^NavigateWithWebResourceRequest GET $content " "$log")
    for header in 'X-Kestrum-Client: desktop-player' 'X-Dev-Id: .' 'X-Dev-Info: .' \
                  'X-Media-Dev-Id: .' 'X-Media-Dev-Info: .'; do
        check "it carries $header" grep -qE "(=|; )$header" <<<"$navigation"
    done
    check "the browser was created in the main window's runtime data folder" \
        grep -qE '^CreateWebViewEnvironmentWithOptionsInternal first=1 runtimeType=0 userData=.*\\Kestrum\\WebView2Data_Evergreen_Env5 arguments=.* --disable-web-security --disable-site-isolation-trials' "$log"
    check "settings before the scripts, scripts before the navigation" \
        awk '/^Settings.put_AreDevToolsEnabled 0$/ && !s {s=NR} /^AddScriptToExecuteOnDocumentCreated/ && !a {a=NR}
             /^NavigateWithWebResourceRequest/ && !n {n=NR} END {exit !(s && a && n && s < a && a < n)}' "$log"
    check "the loader and the print routing scripts are registered" \
        [ "$(grep -c '^AddScriptToExecuteOnDocumentCreated' "$log")" -ge 2 ]
    check "the content policy lets it through" grep -qxF "NavigationStarting $content allowed" "$log"
    check "its request passes the pin check and gets no local answer" \
        grep -qE "^WebResourceRequested $content headers=.*X-Kestrum-Client: desktop-player.* response=none$" "$log"
    check "the main window is up and titled Kestrum V 4.11.0" \
        probe window KestrumWindow 'Kestrum V 4.11.0' 10
    check "no browser failure is reported" [ -z "$(probe box 'WebView2 Error' 1)" ]
else
    fail "no navigation to the content address; the runtime's record:"
    cat "$log" 2>/dev/null | head -40
    cat "$work/player.log"
fi
kill "$player_pid" 2>/dev/null
wait "$player_pid" 2>/dev/null

echo "$failures failed"
[ "$failures" -eq 0 ]
