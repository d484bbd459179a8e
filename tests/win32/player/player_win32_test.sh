#!/usr/bin/env bash
# The Windows player under Wine as a learner meets it, against the stand-in platform service:
# Windows 8.1 refused, the runtime question both ways, the splash (its pixels, and dragged by
# hand), the start and main windows with the waiting text and the browser's failure reported
# over them, one instance per start mode, a service's refusal, both update prompts answered
# both ways, and the scheme registered for the executable. Boxes are answered by clicking
# their buttons with the display's pointer. Runs in the Wine session of the cross build's
# tests (WINEPREFIX and DISPLAY set).
#   player_win32_test.sh <wine> <kestrum.exe> <player_probe.exe> <kestrum-platform> <profile>
set -u -o pipefail
wine=$1
player=$2
probe_exe=$3
platform=$4
profile=$5
source "$(dirname "$0")/player_test_lib.sh"
cleanup_more() {
    "$wine" reg delete 'HKCU\Software\Wine\WineBrowser' /v Browsers /f >/dev/null 2>&1
    "$wine" winecfg /v win10 >/dev/null 2>&1
}

update_address=$(sed -nE 's/.*"updateDownloadUrl": *"([^"]*)".*/\1/p' "$profile")

# Clicks a button of the box with this caption, as a person would.
click() {  # caption, button id
    local at
    at=$(probe button "$1" "$2") || return 1
    xdotool mousemove $at click 1
}
start_player() {  # name, then arguments
    local name=$1
    shift
    "$wine" "$player" "$@" >"$work/$name.log" 2>&1 &
    player_pid=$!
    pids+=("$player_pid")
}
# Waits at most `seconds` for the player started last to end: `code` is its exit code, or
# "running" (then it is stopped).
finish_within() {
    if wait_for "$1" sh -c "! kill -0 $player_pid"; then
        wait "$player_pid"
        code=$?
    else
        kill "$player_pid" 2>/dev/null
        wait "$player_pid" 2>/dev/null
        code=running
    fi
    if [ "$code" = running ]; then
        echo "still up: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
    fi
}
set_version_answer() {
    curl -s -o /dev/null -X POST -H 'Content-Type: application/json' \
        -d "{\"version\": \"$1\"}" "$control/__settings"
}
wait_for_box() { probe box "$1" "${2:-60}"; }
has_window() { probe window "$1" "$2" 1 >/dev/null; }
# A box with this caption other than the one whose handle is given.
another_box() {
    local handle
    handle=$(probe handle '#32770' "$1" 0) && [ "$handle" != "$2" ]
}

# Its control listener switches the version answer.
start_platform --attacker-port 0 --attacker-address 127.0.0.2 --version-answer none

# Opening an address goes to the prefix's browser launcher: a recorder here.
cat >"$work/browser.sh" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened.txt"
SCRIPT
chmod +x "$work/browser.sh"
"$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$work/browser.sh" /f >/dev/null 2>&1
"$wine" reg delete "$runtime_key" /reg:32 /f >/dev/null 2>&1

# 0. Windows 8.1: refused before anything else is looked at.
"$wine" winecfg /v win81 >/dev/null 2>&1
start_player old-windows
if box=$(wait_for_box 'Unsupported OS' 60); then
    check "Windows 8.1 is refused" [ "$box" = "$(printf 'owner=\nThis application requires Windows 10 or later.\nهذا التطبيق يتطلب ويندوز 10 أو أحدث.')" ]
    click 'Unsupported OS' 1
    finish_within 20
    check "and the player ends with 1 (got $code)" [ "$code" = 1 ]
else
    fail "no 'Unsupported OS' box on Windows 8.1"
    kill "$player_pid" 2>/dev/null
fi
"$wine" winecfg /v win10 >/dev/null 2>&1

# 1. No browser runtime anywhere: the learner is asked, declines, and the player ends with 1.
start_player no-runtime
if box=$(wait_for_box 'Molvane — Component Required'); then
    ok "no runtime: the player asks to install it"
    click 'Molvane — Component Required' 7
    finish_within 20
    check "declining ends the player with 1 (got $code)" [ "$code" = 1 ]
else
    fail "no runtime question"
fi

# Accepting downloads the installer from an address whose certificate this machine does not
# trust: the download fails, the learner is told, and the player ends with 1.
start_player install-runtime
if wait_for_box 'Molvane — Component Required' 60 >/dev/null; then
    click 'Molvane — Component Required' 6
    if box=$(wait_for_box 'Installing...' 30); then
        check "accepting says the runtime is being installed" [ "$box" = "$(printf \
            'owner=\nWebView2 Runtime is being downloaded and installed.\nجاري تحميل وتثبيت WebView2 Runtime.\n\nPlease wait...')" ]
        click 'Installing...' 1
    fi
    if box=$(wait_for_box 'Download Error' 60); then
        check "a failed download is reported" [ "$box" = "$(printf \
            'owner=\nFailed to download WebView2 Runtime.\nPlease check your internet connection.')" ]
        click 'Download Error' 1
    else
        fail "no 'Download Error' box"
    fi
    finish_within 20
    check "and the player ends with 1 (got $code)" [ "$code" = 1 ]
else
    fail "no runtime question the second time"
fi

# From here on the machine has a runtime installed, as its updater records it.
"$wine" reg add "$runtime_key" /v EBWebView /d 'C:\Runtime\Application\120.0.2210.91' /reg:32 /f >/dev/null 2>&1

# 2. Plain mode: the splash, then the start window and the browser's failure over it.
start_player plain
# Found and read in one go: the splash lasts only until the browser's first answer.
if splash=$(probe splash 30); then
    ok "the splash image is on the screen"
    check "the splash is 700 x 169, centred on the 1024 x 768 screen ($splash)" \
        [ "${splash% black=*}" = "162 299 700 169" ]
else
    fail "no splash image on the screen (${splash:-no splash})"
fi
if box=$(wait_for_box 'WebView2 Error' 90); then
    ok "the browser's failure is reported"
    check "over the start window ($(echo "$box" | head -1))" \
        [ "$(echo "$box" | head -1)" = "owner=MolvaneInitWindow" ]
    status=$(echo "$box" | sed -n 4p)
    # The recorded folder holds no runtime library: loading it fails with a system error.
    check "with the status of the failed start: $status" \
        [ "$(echo "$box" | sed -n 2p)" = 'Failed to initialize WebView2.' \
          -a -z "$(echo "$box" | sed -n 3p)" \
          -a -n "$(echo "$status" | grep -E '^WebView2 initialization failed\. First=0x8007[0-9A-F]{4} at CreateEnvironmentCall;')" ]
    check "the splash is gone before the box" probe gone MolvaneTransparentSplashClass - 0
    check "the start window is titled Kestrum V 4.11.0" \
        has_window MolvaneInitWindow 'Kestrum V 4.11.0'
    # The box sits over the window's middle: dragged down by its title bar, it uncovers the
    # waiting text.
    if rect=$(probe window '#32770' 'WebView2 Error' 1); then
        read -r bx by _ _ <<<"$rect"
        xdotool mousemove $((bx + 60)) $((by + 10)) mousedown 1 mousemove $((bx + 60)) $((by + 60)) \
            mousemove $((bx + 60)) $((by + 260)) mouseup 1
        sleep 0.5
    fi
    check "the start window shows the waiting text, light grey on black" \
        probe waiting-text MolvaneInitWindow

    # A second plain start while this one runs says so and ends with 0.
    first_pid=$player_pid
    start_player second
    if second=$(wait_for_box Kestrum 60); then
        check "a second start says the player is already running" \
            [ "$second" = "$(printf 'owner=\nThe application is already running.\n\nالبرنامج يعمل بالفعل.')" ]
        click Kestrum 1
        finish_within 20
        check "and ends with 0 (got $code)" [ "$code" = 0 ]
    else
        fail "no 'already running' box"
    fi
    player_pid=$first_pid
    click 'WebView2 Error' 1
    finish_within 20
    check "the plain start ends with 1 after its browser failed (got $code)" [ "$code" = 1 ]
else
    fail "no browser failure box"
fi
grep -q . "$work/opened.txt" 2>/dev/null && fail "an address was opened without an update"
# Every start registers the player, as run, for kestrum: links.
command=$("$wine" reg query 'HKCU\Software\Classes\kestrum\shell\open\command' /ve 2>/dev/null |
    tr -d '\r' | sed -nE 's/.*REG_SZ +//p')
check "kestrum: links open this player: $command" \
    [ "${command%\\kestrum.exe\" \"%1\"}" != "$command" -a "${command:0:1}" = '"' ]

# 3. Link mode: the main window with the content's browser failure over it, one link instance
# at a time, and a service's refusal shown as the service wrote it.
start_player link "$(link_of direct-address)"
if box=$(wait_for_box 'WebView2 Error' 90); then
    check "link mode: the failure is reported over the main window ($(echo "$box" | head -1))" \
        [ "$(echo "$box" | head -1)" = "owner=KestrumWindow" ]
    check "the main window is titled Kestrum V 4.11.0" has_window KestrumWindow 'Kestrum V 4.11.0'
    first_pid=$player_pid
    start_player second-link "$(link_of lesson-page)"
    if wait_for_box Kestrum 60 >/dev/null; then
        ok "a second link start says the player is already running"
        click Kestrum 1
        finish_within 20
        check "and ends with 0 (got $code)" [ "$code" = 0 ]
    else
        fail "no 'already running' box for a second link"
    fi
    # A plain start is not held back by a link instance: it reaches its own window.
    start_player plain-beside-link
    check "a plain start beside a link instance reaches its start window" \
        probe window MolvaneInitWindow - 60
    kill "$player_pid" 2>/dev/null
    wait "$player_pid" 2>/dev/null
    player_pid=$first_pid
    click 'WebView2 Error' 1
    finish_within 20
    check "the link start ends with 1 after its browser failed (got $code)" [ "$code" = 1 ]
else
    fail "link mode: no browser failure box"
fi
start_player expired "$(link_of expired-session)"
if box=$(wait_for_box 'Kestrum - خطأ' 60); then
    check "the service's refusal is shown as it wrote it" \
        [ "$box" = "$(printf 'owner=\nYour session has expired. Please sign in again.')" ]
    click 'Kestrum - خطأ' 1
    finish_within 20
    check "and the player ends with 1 (got $code)" [ "$code" = 1 ]
else
    fail "no box with the service's refusal"
fi

# 4. Update prompts, each answer.
prompt() {  # version answer, caption, button id, expected exit code, "opened" or "not opened"
    rm -f "$work/opened.txt"
    set_version_answer "$1"
    start_player "update-$1-$3"
    if wait_for_box "$2" 40 >/dev/null; then
        click "$2" "$3"
        if [ "$4" = 1 ]; then  # the start goes on to the start window
            if wait_for_box 'WebView2 Error' 60 >/dev/null; then
                click 'WebView2 Error' 1
            else
                fail "$2, button $3: the start did not go on"
            fi
        fi
        finish_within 20
        check "$2, button $3: exit code $4 (got $code)" [ "$code" = "$4" ]
        if [ "$5" = opened ]; then
            wait_for 10 grep -qxF "$update_address" "$work/opened.txt"
            check "$2, button $3: the update address is opened" grep -qxF "$update_address" "$work/opened.txt"
        else
            sleep 1
            check "$2, button $3: nothing is opened" [ ! -s "$work/opened.txt" ]
        fi
    else
        fail "no '$2' box; the screen has: $(xdotool search --onlyvisible --name . getwindowname %@ 2>/dev/null | tr '\n' '|')"
        kill "$player_pid" 2>/dev/null
    fi
}
# A link start while an update is offered: the first prompt's box runs the message loop, so
# the splash above it can be dragged away by hand; declined, the offer comes again after the
# link is decoded, and the start then goes on to the main window.
set_version_answer optional
start_player link-update "$(link_of direct-address)"
if wait_for_box 'Kestrum - Update Available' 60 >/dev/null; then
    if splash=$(probe window MolvaneTransparentSplashClass 'Molvane Splash' 1); then
        read -r sx sy _ _ <<<"$splash"
        # The splash's left end lies beside the box.
        xdotool mousemove $((sx + 15)) $((sy + 80)) mousedown 1 mousemove $((sx + 15)) $((sy + 60)) \
            mousemove $((sx + 15)) $((sy - 170)) mouseup 1
        sleep 0.5
        moved=$(probe window MolvaneTransparentSplashClass 'Molvane Splash' 1)
        check "the splash follows the mouse when dragged ($splash to $moved)" \
            [ "$moved" = "$sx $((sy - 250)) 700 169" ]
    else
        fail "no splash while the first update prompt is up"
    fi
    first_box=$(probe handle '#32770' 'Kestrum - Update Available' 1)
    click 'Kestrum - Update Available' 7
    if wait_for 60 another_box 'Kestrum - Update Available' "$first_box"; then
        ok "declined, the update is offered again once the link is decoded"
        click 'Kestrum - Update Available' 7
        if wait_for_box 'WebView2 Error' 60 >/dev/null; then
            ok "declined again, the start goes on to the main window"
            click 'WebView2 Error' 1
        fi
    else
        fail "no second update prompt"
    fi
    finish_within 20
    check "and the player ends with 1 (got $code)" [ "$code" = 1 ]
else
    fail "no update prompt in link mode"
fi

prompt optional 'Kestrum - Update Available' 7 1 "not opened"
prompt optional 'Kestrum - Update Available' 6 0 opened
prompt mandatory 'Kestrum - Update Required' 2 0 "not opened"
prompt mandatory 'Kestrum - Update Required' 1 0 opened

echo "$failures failed"
[ "$failures" -eq 0 ]
