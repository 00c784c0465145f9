#!/bin/bash
# Proves that a scan killed at any moment loses no mail and stores none twice: seeds 300 messages
# from unknown senders into a mailbox on real servers (Dovecot and Postfix,
# started by mail_servers.sh in a folder of this test's own), starts
# `quorvane scan --unattended`, kills it with SIGKILL after a random delay,
# and repeats until a scan completes. Then every seeded message must be
# either still in the POP3 mailbox or in the quarantine (index entry present,
# its file there and readable), and no message may have two index entries. Rounds of 300 fresh messages follow until at
# least KILLS scans were killed.
#
#   kill_scan.sh QUORVANE_BINARY MAIL_SERVERS_SCRIPT [KILLS]
#
# Exit status 77 (skipped) when the servers cannot run here; under CI that
# is a failure of mail_servers.sh instead.
set -eu

quorvane="${1:?path of the quorvane program}"
servers="${2:?path of mail_servers.sh}"
wanted="${3:-${QUORVANE_KILLS:-20}}"
fixture="$(dirname "$0")/mail_fixture.py"
messages=300

work=$(mktemp -d /tmp/quorvane-kill-XXXXXX)
state="$work/servers.env"
data="$work/data"
trap 'bash "$servers" stop "$state" >/dev/null 2>&1 || true; rm -rf "$work"' EXIT

bash "$servers" start "$state"
if grep -q '^SKIP=' "$state"; then
    echo "kill_scan: skipped: $(sed -n 's/^SKIP=//p' "$state")"
    exit 77
fi
value() { sed -n "s/^$1=//p" "$state"; }

printf '%s\n' "$(value PASSWORD)" | "$quorvane" --data-dir "$data" accounts add --email "alice@$(value DOMAIN)" \
    --display-name Alice --server 127.0.0.1 --port "$(value POP3_PORT)" --login alice \
    --smtp-server 127.0.0.1 --smtp-port "$(value SMTP_PORT)" --smtp-auth --smtp-same-as-incoming >/dev/null

now_ms() { echo $(($(date +%s%N) / 1000000)); }

kills=0
round=0
# Kills land anywhere in a scan: the longest delay follows the duration of
# the last completed scan.
longest_ms=1000
tags=""
while [ "$kills" -lt "$wanted" ]; do
    round=$((round + 1))
    tag="round$round"
    tags="$tags $tag"
    python3 "$fixture" seed "$state" alice "$messages" "$tag"
    while :; do
        # Once enough scans were killed, the next one runs to its end.
        delay=-1
        if [ "$kills" -lt "$wanted" ]; then
            delay=$(((RANDOM * 32768 + RANDOM) % longest_ms))
        fi
        started=$(now_ms)
        "$quorvane" --data-dir "$data" scan --unattended >"$work/scan.out" 2>&1 &
        pid=$!
        status=0
        if [ "$delay" -ge 0 ]; then
            sleep "$(printf '%d.%03d' $((delay / 1000)) $((delay % 1000)))"
            kill -KILL "$pid" 2>/dev/null || true
        fi
        # (quietly: the shell would report the kill)
        wait "$pid" 2>/dev/null || status=$?
        if [ "$status" -eq 137 ]; then
            kills=$((kills + 1))
            echo "kill_scan: kill $kills after $delay ms"
            # Killed scans leave their downloads in the quarantine, so the
            # next scan takes longer; the delays grow with it.
            longest_ms=$((longest_ms * 11 / 10))
            continue
        fi
        if [ "$status" -ne 0 ]; then
            echo "kill_scan: the scan failed with status $status" >&2
            cat "$work/scan.out" >&2
            exit 1
        fi
        elapsed=$(($(now_ms) - started))
        echo "kill_scan: round $round: a scan completed after $elapsed ms"
        if [ "$elapsed" -gt 200 ]; then
            longest_ms=$elapsed
        fi
        break
    done
    python3 "$fixture" check "$state" alice "$data" "$tag" "$messages"
done

lost=0
for tag in $tags; do
    python3 "$fixture" check "$state" alice "$data" "$tag" "$messages" >/dev/null || lost=1
done
if [ "$lost" -ne 0 ]; then
    echo "kill_scan: messages were lost or stored twice" >&2
    exit 1
fi
echo "kill_scan: $kills kills, 0 messages lost, 0 duplicate entries"
