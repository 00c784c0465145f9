#!/bin/sh
# Installs every Debian package the build, the demo and the tests need.
# Non-interactive and idempotent: packages already present are not fetched again.
set -eu

PACKAGES="
build-essential
clang
libclang-rt-14-dev
cmake
ninja-build
pkg-config
clang-format
googletest
libgtest-dev
libgmock-dev
libbenchmark-dev
libmd-dev
libssl-dev
openssl
dovecot-pop3d
postfix
python3
qt6-base-dev
qt6-svg-dev
libqt6svg6
libgl-dev
fonts-dejavu-core
xvfb
xauth
trayer
xdotool
dpkg-dev
file
"

missing=""
for package in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $package"
    fi
done

if [ -z "$missing" ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

export DEBIAN_FRONTEND=noninteractive
# Postfix (for the real-server tests) installs without its configuration dialog.
echo "postfix postfix/main_mailer_type select No configuration" | $SUDO debconf-set-selections
echo "install-deps: installing$missing"
$SUDO apt-get update -q
# shellcheck disable=SC2086
$SUDO apt-get install -y -q --no-install-recommends $missing
