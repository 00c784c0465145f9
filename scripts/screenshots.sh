#!/bin/sh
# Renders every page and dialog of the desktop program to PNG files in
# BUILD/screenshots (default build folder: build), for a person to look at.
set -eu
cd "$(dirname "$0")/.."
build="${1:-build}"
cmake --build "$build" --target vantrel_screenshots >/dev/null
QT_QPA_PLATFORM=offscreen "$build/tests/gui/vantrel_screenshots" "$build/screenshots" 2>/dev/null
