#pragma once

#include <string>
#include <vector>

// The mail store of the demo's private mail service: a folder holding one
// folder per mailbox (named by its address, lower-cased) with one file per
// message, named so that the file names sort in delivery order. Messages are
// kept as CR LF lines without the terminating "."; every file is written
// beside its final name and renamed into place, so the POP3 side never sees
// half a message. Two processes may deliver into the same store.
class DemoMailStore {
public:
    // The folder is created (mode 0700) when missing. Throws
    // std::runtime_error when it cannot be.
    explicit DemoMailStore(std::string folder);

    const std::string& Folder() const { return m_folder; }

    // A mailbox name for an address: lower-cased; empty when the address
    // holds anything but letters, digits and ".@_+-" or starts with ".".
    static std::string MailboxOf(const std::string& address);

    // Stores a message for recipient as a delivery agent would, with
    // "Return-Path: <envelopeFrom>" and "Delivered-To: recipient" put in
    // front. Throws std::runtime_error for an address that names no
    // mailbox or when the file cannot be written.
    void Deliver(const std::string& envelopeFrom, const std::string& recipient, const std::string& text);

    // The messages of a mailbox, oldest first (empty for an unknown one).
    std::vector<std::string> MessageNames(const std::string& mailbox) const;
    // A message's text; throws std::runtime_error when it cannot be read.
    std::string Read(const std::string& mailbox, const std::string& name) const;
    // Removes a message; a message already gone is no error.
    void Remove(const std::string& mailbox, const std::string& name);

private:
    std::string MailboxFolder(const std::string& mailbox) const;

    std::string m_folder;
};
