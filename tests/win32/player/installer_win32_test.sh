#!/usr/bin/env bash
# The installer under Wine, as a user without administrator rights would use it silently:
# install, check files, shortcut and uninstall entry, uninstall, check nothing is left.
#   installer_win32_test.sh <wine> <kestrum-setup.exe> <kestrum.exe as built> [--version]
# With --version the installed player must answer `kestrum.exe --version` with its version.
set -uo pipefail
wine=$1 setup=$2 built=$3 check_version=${4:-}
uninstall_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kestrum'
scheme_key='HKCU\Software\Classes\kestrum'

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# A Windows path as a path here; Wine's tools end their lines with CR.
unix_path() { "$wine" winepath -u "$1" 2>/dev/null | tr -d '\r'; }
windows_variable() { "$wine" cmd /c echo "%$1%" 2>/dev/null | tr -d '\r'; }
key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }
# The data of one REG_SZ value, or nothing.
reg_value() {
    "$wine" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
        sed -n "s/^ *$2 \{1,\}REG_[A-Z_]* \{1,\}//p"
}

local_app_data=$(windows_variable LOCALAPPDATA)
app_data=$(windows_variable APPDATA)
install_dir_windows="$local_app_data\\Programs\\Kestrum"
install_dir=$(unix_path "$install_dir_windows")
shortcut=$(unix_path "$app_data\\Microsoft\\Windows\\Start Menu\\Programs\\Kestrum.lnk")
if [ -z "$install_dir" ] || [ -z "$shortcut" ]; then
    echo "FAIL: Wine gave no user folders (LOCALAPPDATA='$local_app_data')"
    exit 1
fi

# Whatever happens, the prefix is left as it was found for the tests after this one.
cleanup() {
    rm -rf "$install_dir" "$shortcut"
    "$wine" reg delete "$uninstall_key" /f >/dev/null 2>&1
    "$wine" reg delete "$scheme_key" /f >/dev/null 2>&1
}
trap cleanup EXIT
cleanup

# --- install ---
"$wine" "$setup" /S
status=$?
[ "$status" -eq 0 ] || fail "the silent install ended with $status"

cmp -s "$built" "$install_dir/kestrum.exe" || fail "kestrum.exe is not installed in $install_dir"
[ -f "$install_dir/Uninstall.exe" ] || fail "no Uninstall.exe in $install_dir"
[ -f "$shortcut" ] || fail "no Start-menu shortcut at $shortcut"

# Each uninstall value: its text exactly (=) or an extended regular expression it matches (~).
while IFS='|' read -r name kind expected; do
    value=$(reg_value "$uninstall_key" "$name")
    if [ "$kind" = "~" ]; then
        [[ "$value" =~ $expected ]] || fail "uninstall entry $name is '$value', expected $expected"
    else
        [ "$value" = "$expected" ] || fail "uninstall entry $name is '$value', expected $expected"
    fi
done <<TABLE
DisplayName|=|Kestrum
DisplayVersion|~|^[0-9]+\.[0-9]+\.[0-9]+$
InstallLocation|=|$install_dir_windows
UninstallString|=|"$install_dir_windows\Uninstall.exe"
QuietUninstallString|=|"$install_dir_windows\Uninstall.exe" /S
DisplayIcon|=|$install_dir_windows\kestrum.exe,0
TABLE

if [ "$check_version" = "--version" ]; then
    answer=$("$wine" "$install_dir/kestrum.exe" --version 2>&1 | tr -d '\r')
    expected=$(reg_value "$uninstall_key" DisplayVersion)
    [[ "$answer" == *"$expected"* ]] ||
        fail "installed kestrum.exe --version said '$answer', expected version $expected"
fi

# What the player itself leaves on its first start: its link scheme, registered for the
# user (the same keys it writes), and a private browser runtime someone put beside it.
player_windows="$install_dir_windows\\kestrum.exe"
"$wine" reg add "$scheme_key" /ve /d "Kestrum" /f >/dev/null 2>&1
"$wine" reg add "$scheme_key" /v "URL Protocol" /d "" /f >/dev/null 2>&1
"$wine" reg add "$scheme_key\\shell\\open\\command" /ve /d "\"$player_windows\" \"%1\"" /f \
    >/dev/null 2>&1
key_exists "$scheme_key\\shell\\open\\command" || fail "could not set up the scheme's keys"
mkdir -p "$install_dir/WebView2Runtime" && : >"$install_dir/WebView2Runtime/msedgewebview2.exe"

# --- uninstall ---
# The uninstaller copies itself away and returns at once; its copy removes the files.
"$wine" "$install_dir/Uninstall.exe" /S
status=$?
[ "$status" -eq 0 ] || fail "the silent uninstall ended with $status"
for _ in $(seq 1 120); do
    [ -e "$install_dir" ] || key_exists "$uninstall_key" || break
    sleep 0.5
done

[ ! -e "$install_dir" ] || fail "left behind: $(find "$install_dir" | tr '\n' ' ')"
[ ! -e "$shortcut" ] || fail "the Start-menu shortcut is left behind"
key_exists "$uninstall_key" && fail "the uninstall entry is left behind"
key_exists "$scheme_key" && fail "the link scheme's registration is left behind"

[ "$failures" -eq 0 ] && echo "installer: install, entries and uninstall as expected"
exit $((failures > 0))
