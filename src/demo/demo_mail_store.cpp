#include "demo/demo_mail_store.h"

#include "platform/atomic_file.h"
#include "platform/paths.h"
#include "records/text_helpers.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <dirent.h>
#include <stdexcept>
#include <unistd.h>

namespace {

// Nanoseconds since the epoch, the process id and a counter: unique across
// the two processes that share a store, and sorting in delivery order.
std::string NewMessageName() {
    static std::atomic<unsigned> counter{0};
    auto nanoseconds =
        std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::system_clock::now().time_since_epoch())
            .count();
    char name[80];
    std::snprintf(name, sizeof name, "%020lld-%08d-%06u.eml", static_cast<long long>(nanoseconds),
                  static_cast<int>(::getpid()), counter++ % 1000000);
    return name;
}

bool ValidMessageName(const std::string& name) {
    return !name.empty() && name[0] != '.' && name.find('/') == std::string::npos;
}

} // namespace

DemoMailStore::DemoMailStore(std::string folder) : m_folder(std::move(folder)) {
    EnsureFolder(m_folder);
}

std::string DemoMailStore::MailboxOf(const std::string& address) {
    std::string mailbox = LowerAscii(address);
    if (mailbox.empty() || mailbox[0] == '.')
        return {};
    bool allowed = std::all_of(mailbox.begin(), mailbox.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '@' || c == '_' || c == '+' ||
               c == '-';
    });
    return allowed ? mailbox : std::string();
}

std::string DemoMailStore::MailboxFolder(const std::string& mailbox) const {
    return m_folder + "/" + mailbox;
}

void DemoMailStore::Deliver(const std::string& envelopeFrom, const std::string& recipient, const std::string& text) {
    std::string mailbox = MailboxOf(recipient);
    if (mailbox.empty())
        throw std::runtime_error("no such mailbox: " + recipient);
    EnsureFolder(MailboxFolder(mailbox));
    std::string stored = "Return-Path: <" + envelopeFrom + ">\r\nDelivered-To: " + mailbox + "\r\n" + text;
    ReplaceFileAtomically(MailboxFolder(mailbox) + "/" + NewMessageName(), stored);
}

std::vector<std::string> DemoMailStore::MessageNames(const std::string& mailbox) const {
    std::vector<std::string> names;
    if (MailboxOf(mailbox).empty())
        return names;
    DIR* folder = ::opendir(MailboxFolder(MailboxOf(mailbox)).c_str());
    if (!folder)
        return names;
    while (dirent* entry = ::readdir(folder)) {
        std::string name = entry->d_name;
        // Temporary files of a delivery in progress end otherwise.
        if (ValidMessageName(name) && name.size() > 4 && name.compare(name.size() - 4, 4, ".eml") == 0)
            names.push_back(name);
    }
    ::closedir(folder);
    std::sort(names.begin(), names.end());
    return names;
}

std::string DemoMailStore::Read(const std::string& mailbox, const std::string& name) const {
    std::string text;
    if (MailboxOf(mailbox).empty() || !ValidMessageName(name) ||
        !ReadWholeFile(MailboxFolder(MailboxOf(mailbox)) + "/" + name, text))
        throw std::runtime_error("cannot read message " + name);
    return text;
}

void DemoMailStore::Remove(const std::string& mailbox, const std::string& name) {
    if (MailboxOf(mailbox).empty() || !ValidMessageName(name))
        return;
    DeleteFileIfExists(MailboxFolder(MailboxOf(mailbox)) + "/" + name);
}
