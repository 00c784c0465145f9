#!/bin/sh
# Fails when a core folder includes a header of a folder above it. The order
# is the one src/CMakeLists.txt builds the layers in (QUORVANE_LAYERS); each
# layer may include its own headers and those of the layers below it, and
# no layer includes the front ends (cli/, ui/).
set -eu
cd "$(dirname "$0")/.."

layers=$(sed -n 's/^set(QUORVANE_LAYERS \(.*\))$/\1/p' src/CMakeLists.txt)
[ -n "$layers" ] || { echo "check-layers: no QUORVANE_LAYERS in src/CMakeLists.txt" >&2; exit 1; }

status=0
allowed=""
for layer in $layers; do
    allowed="$allowed $layer"
    pattern=$(echo $allowed | tr ' ' '|')
    upward=$(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z_]+/' "src/$layer" |
        grep -vE "#[[:space:]]*include[[:space:]]*\"($pattern)/" || true)
    if [ -n "$upward" ]; then
        echo "check-layers: $layer includes a layer above it or a front end:" >&2
        echo "$upward" >&2
        status=1
    fi
done
exit $status
