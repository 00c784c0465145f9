#!/bin/bash
# Starts and stops the real mail servers of the integration tests: Dovecot
# for POP3 and Postfix for SMTP, on 127.0.0.1 only, on free high ports, in a
# temporary folder with their own configuration files (never the system's
# services). Postfix delivers into the Maildirs Dovecot reads, accepts the
# null reverse-path and relays only for clients that authenticated (AUTH
# PLAIN or LOGIN, checked through Dovecot's SASL service).
#
# Both also speak TLS with a certificate of a test CA made at start (in the
# same folder; CA_FILE names the CA for SSL_CERT_FILE): STLS on the POP3
# port and STARTTLS on the SMTP port, POP3S and SMTPS (implicit TLS) on
# ports of their own, and two more SMTPS ports whose certificates must be
# refused: one expired, one of a CA nobody trusts. The certificates carry
# only IP:127.0.0.1, no host name, so that connecting to "localhost" (the
# same server) is a host name mismatch.
#
#   mail_servers.sh start STATE_FILE   writes KEY=VALUE lines for the tests
#   mail_servers.sh stop STATE_FILE    stops both servers by process id
#
# Without root (Postfix's master must start as root) or without the servers
# installed, start writes SKIP=<reason> instead, except under CI, where that
# is a failure.
set -eu

action="${1:?start or stop}"
state="${2:?state file}"

MAIL_UID=65534 # nobody: owns the Maildirs, for Dovecot and Postfix alike
MAIL_GID=65534
DOMAIN=example.test
USERS="alice bob carol dave erin frank grace henry ivan judy kate leo irene kevin liam mike nora"
# Second addresses delivered into a user's own mailbox: "address user".
ALIASES="henry.home@example.test henry"
PASSWORD=secret

log() { echo "mail_servers: $*" >&2; }

value_of() { # value_of KEY FILE
    sed -n "s/^$1=//p" "$2" 2>/dev/null | head -n 1
}

port_in_use() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

PORTS_NEEDED=6

# PORTS_NEEDED consecutive free ports, starting at a place derived from the
# state file's path so that two build folders rarely meet.
pick_ports() {
    local base
    base=$(( 20000 + $(printf '%s' "$state" | cksum | cut -d' ' -f1) % 20000 ))
    for offset in $(seq 0 "$PORTS_NEEDED" 600); do
        local p=$((base + offset)) free=yes
        for i in $(seq 0 $((PORTS_NEEDED - 1))); do
            if port_in_use "$((p + i))"; then
                free=no
                break
            fi
        done
        if [ "$free" = yes ]; then
            POP3_PORT=$p
            SMTP_PORT=$((p + 1))
            POP3S_PORT=$((p + 2))
            SMTPS_PORT=$((p + 3))
            SMTPS_EXPIRED_PORT=$((p + 4))
            SMTPS_UNKNOWN_CA_PORT=$((p + 5))
            return 0
        fi
    done
    log "no $PORTS_NEEDED free ports in a row found"
    return 1
}

# sign FOLDER NAME ISSUER DAYS: a key and a certificate for 127.0.0.1 signed
# by ISSUER (ca or other-ca); DAYS -1 makes one that has already expired.
sign() {
    local tls=$1 name=$2 issuer=$3 days=$4
    openssl req -new -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/CN=127.0.0.1" \
        -keyout "$tls/$name.key" -out "$tls/$name.csr" 2>/dev/null
    openssl x509 -req -in "$tls/$name.csr" -CA "$tls/$issuer.pem" -CAkey "$tls/$issuer.key" -CAcreateserial \
        -days "$days" -extfile "$tls/server.ext" -out "$tls/$name.pem" 2>/dev/null
}

make_certificates() {
    local tls=$1
    mkdir -p "$tls"
    for ca in ca other-ca; do
        openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 30 \
            -subj "/CN=Quorvane Test $ca" -addext "basicConstraints=critical,CA:TRUE" \
            -addext "keyUsage=critical,keyCertSign,cRLSign" -keyout "$tls/$ca.key" -out "$tls/$ca.pem" 2>/dev/null
    done
    printf '%s\n' "basicConstraints=critical,CA:FALSE" "subjectAltName=IP:127.0.0.1" \
        "extendedKeyUsage=serverAuth" >"$tls/server.ext"
    sign "$tls" server ca 30
    sign "$tls" expired ca -1
    sign "$tls" unknown-ca other-ca 30
    chmod 0600 "$tls"/*.key
}

wait_for_port() { # wait_for_port PORT NAME
    for _ in $(seq 1 300); do
        if port_in_use "$1"; then
            return 0
        fi
        sleep 0.1
    done
    log "$2 did not start listening on port $1"
    return 1
}

skip_or_fail() {
    if [ "${CI:-}" = "true" ]; then
        log "cannot run the mail servers under CI: $1"
        exit 1
    fi
    log "skipping the real-server tests: $1"
    echo "SKIP=$1" >"$state"
    exit 0
}

write_dovecot_config() {
    local dir=$1
    mkdir -p "$dir/dovecot-run" "$dir/dovecot-state"
    : >"$dir/users"
    for user in $USERS; do
        echo "$user:{PLAIN}$PASSWORD:$MAIL_UID:$MAIL_GID::$dir/mail/$user::" >>"$dir/users"
    done
    cat >"$dir/dovecot.conf" <<EOF
protocols = pop3
listen = 127.0.0.1
base_dir = $dir/dovecot-run
state_dir = $dir/dovecot-state
log_path = $dir/dovecot.log
ssl = yes
ssl_cert = <$dir/tls/server.pem
ssl_key = <$dir/tls/server.key
ssl_min_protocol = TLSv1.2
disable_plaintext_auth = no
auth_mechanisms = plain login
first_valid_uid = $MAIL_UID
last_valid_uid = $MAIL_UID
mail_location = maildir:$dir/mail/%n
pop3_uidl_format = %08Xu%08Xv
passdb {
  driver = passwd-file
  args = scheme=PLAIN username_format=%n $dir/users
}
userdb {
  driver = passwd-file
  args = username_format=%n $dir/users
}
service pop3-login {
  inet_listener pop3 {
    address = 127.0.0.1
    port = $POP3_PORT
  }
  inet_listener pop3s {
    address = 127.0.0.1
    port = $POP3S_PORT
    ssl = yes
  }
}
service auth {
  unix_listener $dir/sasl-auth {
    mode = 0666
  }
}
EOF
}

write_postfix_config() {
    local dir=$1
    mkdir -p "$dir/postfix" "$dir/postfix-queue" "$dir/postfix-data"
    chown postfix "$dir/postfix-data"
    : >"$dir/postfix/vmailbox"
    for user in $USERS; do
        echo "$user@$DOMAIN $user/" >>"$dir/postfix/vmailbox"
    done
    set -- $ALIASES
    while [ $# -ge 2 ]; do
        echo "$1 $2/" >>"$dir/postfix/vmailbox"
        shift 2
    done
    cat >"$dir/postfix/main.cf" <<EOF
compatibility_level = 3.6
queue_directory = $dir/postfix-queue
data_directory = $dir/postfix-data
mail_owner = postfix
setgid_group = postdrop
inet_interfaces = loopback-only
inet_protocols = ipv4
myhostname = mail.$DOMAIN
mydestination =
mynetworks = 127.0.0.1/32
maillog_file = $dir/postfix.log
maillog_file_prefixes = $dir
alias_maps =
alias_database =
local_header_rewrite_clients =
smtpd_sasl_auth_enable = yes
smtpd_sasl_type = dovecot
smtpd_sasl_path = $dir/sasl-auth
smtpd_tls_security_level = may
smtpd_tls_cert_file = $dir/tls/server.pem
smtpd_tls_key_file = $dir/tls/server.key
smtpd_tls_protocols = >=TLSv1.2
smtpd_relay_restrictions = permit_sasl_authenticated, reject
smtpd_recipient_restrictions =
virtual_mailbox_domains = $DOMAIN
virtual_mailbox_base = $dir/mail
virtual_mailbox_maps = texthash:$dir/postfix/vmailbox
virtual_uid_maps = static:$MAIL_UID
virtual_gid_maps = static:$MAIL_GID
virtual_minimum_uid = $MAIL_UID
EOF
    cat >"$dir/postfix/master.cf" <<EOF
127.0.0.1:$SMTP_PORT inet n - n - - smtpd
127.0.0.1:$SMTPS_PORT inet n - n - - smtpd
  -o smtpd_tls_wrappermode=yes
127.0.0.1:$SMTPS_EXPIRED_PORT inet n - n - - smtpd
  -o smtpd_tls_wrappermode=yes
  -o smtpd_tls_cert_file=$dir/tls/expired.pem
  -o smtpd_tls_key_file=$dir/tls/expired.key
127.0.0.1:$SMTPS_UNKNOWN_CA_PORT inet n - n - - smtpd
  -o smtpd_tls_wrappermode=yes
  -o smtpd_tls_cert_file=$dir/tls/unknown-ca.pem
  -o smtpd_tls_key_file=$dir/tls/unknown-ca.key
tlsmgr    unix  - - n 1000? 1 tlsmgr
cleanup   unix  n - n - 0 cleanup
qmgr      unix  n - n 300 1 qmgr
rewrite   unix  - - n - - trivial-rewrite
bounce    unix  - - n - 0 bounce
defer     unix  - - n - 0 bounce
trace     unix  - - n - 0 bounce
verify    unix  - - n - 1 verify
flush     unix  n - n 1000? 0 flush
proxymap  unix  - - n - - proxymap
showq     unix  n - n - - showq
error     unix  - - n - - error
retry     unix  - - n - - error
discard   unix  - - n - - discard
virtual   unix  - n n - - virtual
anvil     unix  - - n - 1 anvil
scache    unix  - - n - 1 scache
postlog   unix-dgram n - n - 1 postlogd
EOF
}

stop_pid() { # stop_pid PID NAME
    local pid=$1
    [ -n "$pid" ] || return 0
    kill -0 "$pid" 2>/dev/null || return 0
    kill -TERM "$pid" 2>/dev/null || true
    for _ in $(seq 1 100); do
        kill -0 "$pid" 2>/dev/null || return 0
        sleep 0.1
    done
    log "$2 ($pid) did not end; killing it"
    kill -KILL "$pid" 2>/dev/null || true
}

stop_servers() {
    local dir
    dir=$(value_of DIR "$state")
    [ -n "$dir" ] || return 0
    stop_pid "$(head -n 1 "$dir/postfix-queue/pid/master.pid" 2>/dev/null | tr -d ' ')" postfix
    stop_pid "$(head -n 1 "$dir/dovecot-run/master.pid" 2>/dev/null | tr -d ' ')" dovecot
    case "$dir" in
    /tmp/quorvane-mail-*) rm -rf "$dir" ;;
    esac
}

start_servers() {
    rm -f "$state"
    if [ "$(id -u)" -ne 0 ]; then
        skip_or_fail "Postfix must be started as root"
    fi
    for program in dovecot postfix openssl; do
        if ! command -v "$program" >/dev/null 2>&1 && [ ! -x "/usr/sbin/$program" ]; then
            skip_or_fail "$program is not installed (scripts/install-deps.sh installs it)"
        fi
    done
    export PATH="$PATH:/usr/sbin:/sbin"

    # Global: the exit trap below still needs it after this function.
    dir=$(mktemp -d /tmp/quorvane-mail-XXXXXX)
    chmod 0755 "$dir"
    echo "DIR=$dir" >"$state"
    # From here on a failed start stops whatever did start.
    trap 'status=$?; if [ $status -ne 0 ]; then show_logs "$dir"; stop_servers; rm -f "$state"; fi' EXIT

    pick_ports
    for user in $USERS; do
        mkdir -p "$dir/mail/$user/new" "$dir/mail/$user/cur" "$dir/mail/$user/tmp"
    done
    chown -R "$MAIL_UID:$MAIL_GID" "$dir/mail"
    make_certificates "$dir/tls"
    write_dovecot_config "$dir"
    write_postfix_config "$dir"

    # Neither may hold the caller's output pipe open: Dovecot keeps its
    # standard error after forking, which would hang whoever reads the pipe.
    dovecot -c "$dir/dovecot.conf" </dev/null >"$dir/dovecot.out" 2>&1
    wait_for_port "$POP3_PORT" dovecot
    postfix -c "$dir/postfix" start </dev/null >"$dir/postfix.out" 2>&1
    wait_for_port "$POP3S_PORT" dovecot
    wait_for_port "$SMTP_PORT" postfix
    wait_for_port "$SMTPS_PORT" postfix
    wait_for_port "$SMTPS_EXPIRED_PORT" postfix
    wait_for_port "$SMTPS_UNKNOWN_CA_PORT" postfix

    cat >>"$state" <<EOF
POP3_PORT=$POP3_PORT
SMTP_PORT=$SMTP_PORT
MAILDIR_ROOT=$dir/mail
MAIL_UID=$MAIL_UID
MAIL_GID=$MAIL_GID
DOMAIN=$DOMAIN
PASSWORD=$PASSWORD
POP3S_PORT=$POP3S_PORT
SMTPS_PORT=$SMTPS_PORT
SMTPS_EXPIRED_PORT=$SMTPS_EXPIRED_PORT
SMTPS_UNKNOWN_CA_PORT=$SMTPS_UNKNOWN_CA_PORT
CA_FILE=$dir/tls/ca.pem
EOF
    log "Dovecot POP3 on 127.0.0.1:$POP3_PORT (POP3S $POP3S_PORT), Postfix SMTP on 127.0.0.1:$SMTP_PORT" \
        "(SMTPS $SMTPS_PORT), in $dir"
}

show_logs() {
    for file in "$1/dovecot.out" "$1/dovecot.log" "$1/postfix.out" "$1/postfix.log"; do
        if [ -s "$file" ]; then
            log "--- $file"
            tail -n 30 "$file" >&2
        fi
    done
}

# The servers outlive this script: they must not keep the files of whoever
# started it open (a lock held around a test run would never be released).
close_inherited_files() {
    local fd
    for fd in /proc/$$/fd/*; do
        fd=${fd##*/}
        if [ "$fd" -gt 2 ] && [ "$fd" -ne 255 ]; then
            eval "exec $fd>&-" 2>/dev/null || true
        fi
    done
}

case "$action" in
start)
    close_inherited_files
    start_servers
    ;;
stop)
    stop_servers
    rm -f "$state"
    ;;
logs) show_logs "$(value_of DIR "$state")" ;;
*)
    log "unknown action $action"
    exit 2
    ;;
esac
