#include "scan/forged_sender.h"

#include "mail/authentication_results.h"
#include "mail/header_lines.h"
#include "mail/mail_message.h"

namespace {

constexpr char FieldName[] = "Authentication-Results";

// Fields the author of a message writes: everything from the first of them
// down came with the message, whatever it claims.
bool IsAuthorField(const std::string& line) {
    for (const char* name :
         {"From", "Sender", "To", "Cc", "Subject", "Date", "Message-ID", "MIME-Version", "Content-Type"})
        if (IsHeaderNamed(line, name))
            return true;
    return false;
}

bool Says(const std::vector<AuthenticationResults>& fields, const char* method, const char* result) {
    for (const AuthenticationResults& field : fields)
        for (const AuthenticationResult& entry : field.Results)
            if (entry.Method == method && entry.Result == result)
                return true;
    return false;
}

} // namespace

std::vector<AuthenticationResults> ReceiverAuthenticationResults(const std::vector<std::string>& headerLines) {
    std::vector<AuthenticationResults> fields;
    for (std::size_t i = 0; i < headerLines.size(); i += HeaderLineSpan(headerLines, i)) {
        const std::string& line = headerLines[i];
        if (IsContinuationLine(line))
            continue;
        if ((IsHeaderNamed(line, "Received") && !fields.empty()) || IsAuthorField(line))
            break;
        if (!IsHeaderNamed(line, FieldName))
            continue;
        AuthenticationResults field = ParseAuthenticationResults(UnfoldedHeaderValue(headerLines, i));
        if (fields.empty() || field.AuthservId == fields.front().AuthservId)
            fields.push_back(std::move(field));
    }
    return fields;
}

bool IsForgedSender(const MailMessage& message) {
    std::vector<AuthenticationResults> fields = ReceiverAuthenticationResults(message.HeaderLines);
    if (Says(fields, "dmarc", "fail"))
        return true;
    return Says(fields, "spf", "fail") && !Says(fields, "dkim", "pass");
}
