// A whole POP3 mailbox session against a server whose every byte comes from
// the input: greeting, capabilities, login, STAT, pipelined TOP, RETR and
// DELE, QUIT. The client either finishes or stops with a transport error;
// what it reads keeps header blocks without empty lines, and it never sends
// a command that is not one whole line. The first input byte chooses
// pipelining, how many messages to read and STLS.
#include "mail/pop3_session.h"
#include "mail/mail_message.h"
#include "platform/mail_transport_error.h"
#include "support/fuzz_check.h"
#include "support/scripted_peer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

void Converse(Pop3Session& session, int wanted) {
    session.Connect();
    int count = std::min(session.CountMessages(), wanted);
    session.ReadAhead(count);
    for (int number = 1; number <= count; ++number) {
        MailMessage header;
        header.RawRead = true;
        if (session.RetrieveHeader(number, header))
            CheckHeaderLines(header.HeaderLines);
    }
    if (count > 0) {
        MailMessage message;
        message.RawRead = true;
        if (session.RetrieveMessage(1, message))
            CheckHeaderLines(message.HeaderLines);
    }
    std::vector<int> numbers;
    for (int number = 1; number <= count; ++number)
        numbers.push_back(number);
    session.DeleteMessages(numbers, [](int, const std::string&) {});
    session.Disconnect();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    static ScriptedPeer peer;
    peer.Serve(std::string(reinterpret_cast<const char*>(data) + 1, size - 1));
    Pop3Settings settings;
    settings.Host = "127.0.0.1";
    settings.Port = peer.Port();
    settings.User = "user";
    settings.Password = "pass-word";
    settings.TimeoutMs = 5000;
    settings.AllowPipelining = data[0] & 1;
    // The plain half of STLS: capabilities, the command and its answer.
    if (data[0] & 0x80)
        settings.Security = ConnectionSecurity::StartTls;
    try {
        Pop3Session session(settings);
        Converse(session, 1 + (data[0] >> 1) % 8);
    } catch (const MailTransportError&) {
    }
    std::string heard = peer.Finish();
    // After STLS only TLS records follow, which are no lines.
    if (size_t tls = heard.find("STLS\r\n"); tls != std::string::npos)
        heard.resize(tls + 6);
    FUZZ_CHECK(heard.empty() || heard.ends_with("\r\n"));
    for (size_t at = heard.find('\n'); at != std::string::npos; at = heard.find('\n', at + 1))
        FUZZ_CHECK(at > 0 && heard[at - 1] == '\r');
    return 0;
}
