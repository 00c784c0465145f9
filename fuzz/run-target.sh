#!/bin/sh
# Runs one fuzz target for $seconds under $build (set by scripts/fuzz.sh):
# its own seeds, the test data that suits it, and the mail dictionary for
# the targets that read mail or protocol text.
set -u
name="$1"
here="$(cd "$(dirname "$0")" && pwd)"
data="$here/../tests/data"
seeds="$here/seeds/$name"
dict=""
case "$name" in
message_raw | message_decoded | preview_text)
    seeds="$data/mail $data/scan"
    dict="-dict=$here/mail.dict" ;;
pop3_session | smtp_session | pop3_reply | smtp_reply | line_reader | http_get)
    dict="-dict=$here/mail.dict" ;;
ini_document) seeds="$data/settings $data/eudora/Eudora.ini" ;;
settings_store) seeds="$seeds $data/settings" ;;
registry) seeds="$data/registry" ;;
eudora) seeds="$data/eudora" ;;
esac
corpus="$build/corpus/$name"
mkdir -p "$corpus"
rm -f "$build/logs/$name.failed"
# Seeds that are single files are copied in: libFuzzer reads folders.
dirs=""
for seed in $seeds; do
    if [ -d "$seed" ]; then dirs="$dirs $seed"; else cp "$seed" "$corpus/"; fi
done
# shellcheck disable=SC2086
if ! "$build/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/findings/$name-" $dict "$corpus" $dirs >"$build/logs/$name.log" 2>&1; then
    touch "$build/logs/$name.failed"
    tail -40 "$build/logs/$name.log" >&2
fi
exit 0
