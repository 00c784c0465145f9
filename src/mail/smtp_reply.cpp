#include "mail/smtp_reply.h"

#include "records/text_helpers.h"

#include <algorithm>

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

void AddOnce(std::vector<std::string>& list, const std::string& word) {
    if (std::none_of(list.begin(), list.end(), [&](const std::string& item) { return SameText(item, word); }))
        list.push_back(word);
}

} // namespace

std::string SmtpReply::Text() const {
    std::string text;
    for (const std::string& line : Lines) {
        if (!text.empty())
            text += "\r\n";
        text += line;
    }
    return text;
}

bool AddSmtpReplyLine(SmtpReply& reply, const std::string& line) {
    if (line.size() < 3 || !IsDigit(line[0]) || !IsDigit(line[1]) || !IsDigit(line[2]) ||
        (line.size() > 3 && line[3] != ' ' && line[3] != '-')) {
        reply.Code = 0;
        reply.Lines.push_back(line);
        reply.Valid = false;
        return true;
    }
    reply.Code = (line[0] - '0') * 100 + (line[1] - '0') * 10 + (line[2] - '0');
    reply.Lines.push_back(line.size() > 4 ? line.substr(4) : std::string());
    return line.size() == 3 || line[3] == ' ';
}

void AddAnnouncedMechanisms(const SmtpReply& ehloReply, std::vector<std::string>& mechanisms) {
    for (const std::string& line : ehloReply.Lines) {
        std::string head = UpperAscii(line.substr(0, 5));
        if (head != "AUTH " && head != "AUTH=")
            continue;
        std::string word;
        for (char c : line.substr(5) + " ") {
            if (c == ' ' || c == '=') {
                if (!word.empty())
                    AddOnce(mechanisms, UpperAscii(word));
                word.clear();
            } else {
                word += c;
            }
        }
    }
}
