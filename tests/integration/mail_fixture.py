#!/usr/bin/env python3
"""Mailboxes on the real servers of mail_servers.sh, for the kill test and
the benchmarks: seeds a user's Maildir the way a delivery agent does, reads
every header over POP3 with poplib, and checks that no seeded message was
lost (each one still in the mailbox, or in a quarantine whose index entry
names a readable file).

  mail_fixture.py seed STATE USER COUNT TAG [--senders a,b] [--size BYTES]
  mail_fixture.py headers STATE USER          STAT and TOP n 0 for every message
  mail_fixture.py check STATE USER DATA_FOLDER TAG COUNT
"""
import argparse
import email.utils
import os
import poplib
import random
import struct
import sys
import time


def read_state(path):
    values = {}
    with open(path) as state:
        for line in state:
            key, _, value = line.rstrip("\n").partition("=")
            values[key] = value
    return values


def message_id(tag, number):
    return "<%s.%d@seed.example.test>" % (tag, number)


def message_text(state, user, tag, number, sender, size):
    header = [
        "Return-Path: <%s>" % sender,
        "Delivered-To: %s@%s" % (user, state["DOMAIN"]),
        "From: Sender %d <%s>" % (number, sender),
        "To: %s@%s" % (user, state["DOMAIN"]),
        "Subject: %s message %d" % (tag, number),
        "Date: %s" % email.utils.formatdate(localtime=True),
        "Message-ID: %s" % message_id(tag, number),
        "MIME-Version: 1.0",
        "Content-Type: text/plain; charset=us-ascii",
    ]
    body = ["Message %d of the %s run." % (number, tag), ""]
    rng = random.Random(number)
    words = ["garden", "letter", "river", "window", "market", "yellow", "planet", "copper", "morning", "bridge"]
    while sum(len(line) + 1 for line in header + body) < size:
        body.append(" ".join(rng.choice(words) for _ in range(11)))
    return "\n".join(header) + "\n\n" + "\n".join(body) + "\n"


def seed(args):
    state = read_state(args.state)
    folder = os.path.join(state["MAILDIR_ROOT"], args.user)
    senders = args.senders.split(",")
    uid, gid = int(state["MAIL_UID"]), int(state["MAIL_GID"])
    base = int(time.time())
    for number in range(1, args.count + 1):
        text = message_text(state, args.user, args.tag, number, senders[(number - 1) % len(senders)], args.size)
        data = text.encode("ascii")
        name = "%d.M%dP%d.%s,S=%d,W=%d" % (base, number, os.getpid(), args.tag, len(data), len(data) + text.count("\n"))
        temporary = os.path.join(folder, "tmp", name)
        with open(temporary, "wb") as out:
            out.write(data)
        os.chown(temporary, uid, gid)
        os.rename(temporary, os.path.join(folder, "new", name))


def headers(args):
    state = read_state(args.state)
    started = time.monotonic()
    session = poplib.POP3("127.0.0.1", int(state["POP3_PORT"]), timeout=60)
    session.user(args.user)
    session.pass_(state["PASSWORD"])
    count, _ = session.stat()
    for number in range(1, count + 1):
        session.top(number, 0)
    session.quit()
    print("%d %.3f" % (count, time.monotonic() - started))


def mailbox_ids(state, user):
    """Message-IDs of the messages in the user's Maildir (new and cur)."""
    ids = set()
    for sub in ("new", "cur"):
        folder = os.path.join(state["MAILDIR_ROOT"], user, sub)
        for name in os.listdir(folder):
            ids.add(id_of_file(os.path.join(folder, name)))
    return ids


def id_of_file(path):
    with open(path, "rb") as message:
        for raw in message:
            line = raw.decode("latin-1").rstrip("\r\n")
            if line == "":
                break
            if line.lower().startswith("message-id:"):
                return line.split(":", 1)[1].strip()
    return None


def read_text(data, offset):
    (length,) = struct.unpack_from("<i", data, offset)
    offset += 4
    if length < 0 or offset + length > len(data):
        raise ValueError("damaged index")
    return data[offset:offset + length].decode("latin-1"), offset + length


def quarantine_ids(data_folder):
    """Message-IDs of the quarantined messages whose index entry names a
    readable file, over every account folder, once per entry; and the
    entries that do not."""
    ids, broken, entries = [], [], 0
    accounts = os.path.join(data_folder, "Accounts")
    for account in sorted(os.listdir(accounts)) if os.path.isdir(accounts) else []:
        folder = os.path.join(accounts, account)
        index = os.path.join(folder, "account2.dat")
        if not os.path.exists(index):
            continue
        with open(index, "rb") as source:
            data = source.read()
        (count,) = struct.unpack_from("<i", data, 0)
        offset = 4
        for _ in range(count):
            fields = []
            for _ in range(5):
                text, offset = read_text(data, offset)
                fields.append(text)
            offset += 8 + 4
            entries += 1
            path = os.path.join(folder, fields[4])
            try:
                ids.append(id_of_file(path))
            except OSError as error:
                broken.append("%s: %s" % (fields[4], error))
    return ids, broken, entries


def check(args):
    state = read_state(args.state)
    in_mailbox = mailbox_ids(state, args.user)
    quarantined_entries, broken, entries = quarantine_ids(args.data_folder)
    quarantined = set(quarantined_entries)
    duplicates = len(quarantined_entries) - len(quarantined)
    lost = [message_id(args.tag, n) for n in range(1, args.count + 1)
            if message_id(args.tag, n) not in in_mailbox and message_id(args.tag, n) not in quarantined]
    seeded = {message_id(args.tag, n) for n in range(1, args.count + 1)}
    print("%s: %d seeded, %d still in the mailbox, %d in the quarantine (%d index entries), %d lost, "
          "%d duplicate entries"
          % (args.tag, args.count, len(seeded & in_mailbox), len(seeded & quarantined), entries, len(lost),
             duplicates))
    for entry in broken:
        print("unreadable quarantine entry: " + entry)
    for missing in lost[:20]:
        print("lost: " + missing)
    return 1 if lost or broken or duplicates else 0


def main():
    parser = argparse.ArgumentParser()
    commands = parser.add_subparsers(dest="command", required=True)
    s = commands.add_parser("seed")
    s.add_argument("state"); s.add_argument("user"); s.add_argument("count", type=int); s.add_argument("tag")
    s.add_argument("--senders", default="bob@example.test,carol@example.test,dave@example.test,erin@example.test")
    s.add_argument("--size", type=int, default=1500)
    h = commands.add_parser("headers")
    h.add_argument("state"); h.add_argument("user")
    c = commands.add_parser("check")
    c.add_argument("state"); c.add_argument("user"); c.add_argument("data_folder"); c.add_argument("tag")
    c.add_argument("count", type=int)
    args = parser.parse_args()
    if args.command == "seed":
        seed(args)
    elif args.command == "headers":
        headers(args)
    else:
        sys.exit(check(args))


if __name__ == "__main__":
    main()
