#!/usr/bin/env bash
# The module must export its entry point and nothing else a host could call:
# every other function stays inside libzdtmould.so.
# usage: check_exports.sh LIBZDTMOULD.so
set -u
lib=$1
symbols=$(nm -D --defined-only "$lib") || { echo "FAIL: nm cannot read $lib"; exit 1; }
# Function symbols: text (T/t), weak (W/w) and indirect (i).
functions=$(printf '%s\n' "$symbols" | awk 'NF >= 3 && $2 ~ /^[TtWwi]$/ { print $2, $3 }')
if [ "$functions" != "T vrxrxEntryPoint" ]; then
    echo "FAIL: exported functions of $lib are not exactly vrxrxEntryPoint:"
    printf '%s\n' "$functions"
    exit 1
fi
echo "ok: $lib exports vrxrxEntryPoint alone"
