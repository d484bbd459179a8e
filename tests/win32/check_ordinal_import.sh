#!/usr/bin/env bash
# The executable must import the spooler's default-printer query by ordinal 203 of
# WINSPOOL.DRV, and must not import it by name as well.
#   check_ordinal_import.sh OBJDUMP EXECUTABLE
set -euo pipefail
[ $# -eq 2 ] || { echo "usage: $0 OBJDUMP EXECUTABLE" >&2; exit 2; }
objdump=$1 executable=$2

table=$("$objdump" -p "$executable")
# objdump lists each import descriptor as "DLL Name: X" followed by its entries up to a
# blank line; an entry by ordinal shows its thunk with the top bit set and then the ordinal.
ordinal_entries=$(awk '
    /^[ \t]*DLL Name:/ { in_spooler = (toupper($3) == "WINSPOOL.DRV"); next }
    /^[ \t]*$/ { in_spooler = 0; next }
    in_spooler && length($1) == 16 && $1 ~ /^8[0-9a-fA-F]+$/ { print $2 }
' <<<"$table")

if ! grep -qiE '^0*cb$' <<<"$ordinal_entries"; then
    echo "FAIL: $executable does not import WINSPOOL.DRV ordinal 203" >&2
    echo "ordinal imports from WINSPOOL.DRV: ${ordinal_entries:-none}" >&2
    exit 1
fi
if grep -qE '[[:space:]]GetDefaultPrinterW$' <<<"$table"; then
    echo "FAIL: $executable also imports GetDefaultPrinterW by name" >&2
    exit 1
fi
echo "ok: WINSPOOL.DRV ordinal 203 imported by ordinal"
