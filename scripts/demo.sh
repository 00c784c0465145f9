#!/bin/sh
# Installs what is missing, builds and runs the demo: a private mail service
# and a throw-away data folder, one scan, a challenge answered, a second scan
# that releases the held message (quorvane demo --keep keeps the folder).
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/src/cli/quorvane demo "$@"
