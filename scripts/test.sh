#!/bin/sh
# Installs what is missing, builds and runs every test.
set -eu
cd "$(dirname "$0")/.."
echo "test.sh: installs the Debian packages that are missing (with sudo unless run as root), then builds and runs every test"
scripts/install-deps.sh
scripts/build.sh build
ctest --test-dir build --output-on-failure -j2
