#!/bin/sh
# Installs what is missing, builds and shows the command line at work on a
# throw-away data folder.
set -eu
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
q=build/src/cli/quorvane
data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
echo "== data folder: $data"
set -x
"$q" --data-dir "$data" lists add approved Friend@Example.COM "*@partner.example.org"
"$q" --data-dir "$data" lists show approved
printf 'secret\n' | "$q" --data-dir "$data" accounts add --email me@example.com --server pop.example.com \
    --login me --display-name "Demo User" --smtp-server smtp.example.com
"$q" --data-dir "$data" accounts list
"$q" --data-dir "$data" settings set Timeout 90
"$q" --data-dir "$data" settings
