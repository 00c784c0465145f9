#include "mail/base64_stream_decoder.h"
#include "mail/mail_message.h"
#include "records/base64.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

namespace {

// A header as a busy mailbox delivers it: relays, authentication results, a
// folded signature, list fields and encoded words; 50 lines.
std::vector<std::string> FiftyLineHeader() {
    std::vector<std::string> lines = {
        "Return-Path: <dev-bounces@lists.example.org>",
        "Delivered-To: anna@example.net",
    };
    for (int hop = 0; hop < 6; ++hop) {
        std::string relay = "relay" + std::to_string(hop) + ".example.org";
        lines.push_back("Received: from " + relay + " (" + relay + " [192.0.2." + std::to_string(hop) + "])");
        lines.push_back("\tby mx.example.net (Postfix) with ESMTPS id 4F1A2B3C" + std::to_string(hop));
        lines.push_back("\tfor <anna@example.net>; Tue,  3 Mar 2026 09:14:0" + std::to_string(hop) + " +0100 (CET)");
    }
    lines.push_back("DKIM-Signature: v=1; a=rsa-sha256; c=relaxed/relaxed; d=example.com; s=mail;");
    for (int i = 0; i < 6; ++i) {
        lines.push_back("\tb=Zm9vYmFyYmF6cXV1eGZvb2JhcmJhenF1dXhmb29iYXJiYXpxdXV4Zm9vYmFyYmF6cXV1eA" +
                        std::to_string(i));
    }
    const char* fields[] = {
        "Authentication-Results: mx.example.net; dkim=pass; spf=pass smtp.mailfrom=example.com",
        "From: =?UTF-8?Q?J=C3=B6rg_M=C3=BCller?= <joerg.mueller@example.com>",
        "Reply-To: \"Developers\" <dev@lists.example.org>",
        "To: dev@lists.example.org, \"Berg, Anna\" <anna@example.net>,",
        "\t=?ISO-8859-1?Q?Andr=E9?= <andre@example.be>, bob@example.org (Bob)",
        "Cc: Piet <piet@example.nl>, Carol <carol@example.org>",
        "Subject: [dev] =?UTF-8?B?UmU6IFJlbGVhc2UgMi40IOKAkyBGcmVlemUgYW0gRnJlaXRhZw==?=",
        "Date: Tue, 3 Mar 2026 08:13:55 +0000",
        "Message-ID: <20260303081355.GA1234@example.com>",
        "In-Reply-To: <87h6abc.fsf@example.org>",
        "References: <87h6abc.fsf@example.org> <87h6abd.fsf@example.org>",
        "MIME-Version: 1.0",
        "Content-Type: multipart/mixed; boundary=\"----=_NextPart_000_0001\"",
        "X-Priority: 3 (Normal)",
        "X-Mailer: Example Mail 4.2",
        "Precedence: list",
        "List-Id: Developers <dev.lists.example.org>",
        "List-Unsubscribe: <mailto:dev-request@lists.example.org?subject=unsubscribe>",
        "List-Archive: <https://lists.example.org/archive/dev/>",
        "List-Post: <mailto:dev@lists.example.org>",
        "Organization: Example Foundation",
        "X-Spam-Status: No, score=-2.1 required=5.0",
    };
    for (const char* field : fields) {
        lines.emplace_back(field);
    }
    while (lines.size() < 50) {
        lines.push_back("X-Filler-" + std::to_string(lines.size()) + ": value");
    }
    return lines;
}

std::string RandomBytes(size_t size) {
    std::mt19937_64 random(42);
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; i += 8) {
        uint64_t value = random();
        for (size_t j = 0; j < 8 && i + j < size; ++j) {
            bytes[i + j] = static_cast<char>(value >> (j * 8));
        }
    }
    return bytes;
}

std::string Base64Lines(const std::string& bytes) {
    std::string encoded = Base64Encode(bytes);
    std::string lines;
    lines.reserve(encoded.size() + encoded.size() / 76 * 2 + 2);
    for (size_t position = 0; position < encoded.size(); position += 76) {
        lines.append(encoded, position, 76);
        lines += "\r\n";
    }
    return lines;
}

constexpr size_t AttachmentSize = 10 * 1024 * 1024;

// A multipart message carrying a 10 MB attachment in base64.
const std::string& LargeMessage() {
    static const std::string text = [] {
        std::string message = "From: Bob <bob@example.org>\r\nTo: anna@example.net\r\nSubject: archive\r\n"
                              "Date: Fri, 6 Mar 2026 18:45:10 +0200\r\nMIME-Version: 1.0\r\n"
                              "Content-Type: multipart/mixed; boundary=\"b\"\r\n\r\n"
                              "--b\r\nContent-Type: text/plain\r\n\r\nThe archive.\r\n"
                              "--b\r\nContent-Type: application/octet-stream; name=\"archive.bin\"\r\n"
                              "Content-Transfer-Encoding: base64\r\n"
                              "Content-Disposition: attachment; filename=\"archive.bin\"\r\n\r\n";
        message += Base64Lines(RandomBytes(AttachmentSize));
        message += "--b--\r\n.\r\n";
        return message;
    }();
    return text;
}

void ParseFiftyLineHeader(benchmark::State& state) {
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    std::vector<std::string> header = FiftyLineHeader();
    for (auto _ : state) {
        message.HeaderLines = header;
        message.ParseHeaderFields();
        benchmark::DoNotOptimize(message.Subject.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(ParseFiftyLineHeader);

void ReadDecodedWithTenMegabyteAttachment(benchmark::State& state) {
    const std::string& text = LargeMessage();
    for (auto _ : state) {
        MailMessage message;
        message.ReadFromText(text);
        benchmark::DoNotOptimize(message.Parts.data());
        if (message.Parts.size() != 2) {
            state.SkipWithError("the attachment was not read");
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(ReadDecodedWithTenMegabyteAttachment)->Unit(benchmark::kMillisecond);

void DecodeBase64Lines(benchmark::State& state) {
    static const std::string encoded = Base64Lines(RandomBytes(AttachmentSize));
    std::string out;
    for (auto _ : state) {
        out.clear();
        Base64StreamDecoder decoder;
        size_t position = 0;
        while (position < encoded.size()) {
            size_t end = encoded.find('\n', position);
            decoder.Feed(std::string_view(encoded).substr(position, end - position), out);
            position = end + 1;
        }
        decoder.Finish(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * encoded.size()));
}
BENCHMARK(DecodeBase64Lines)->Unit(benchmark::kMillisecond);

void WriteRawWithTenMegabyteAttachment(benchmark::State& state) {
    MailMessage message;
    message.RawRead = message.RawWrite = true;
    message.ReadFromText(LargeMessage());
    std::string out;
    for (auto _ : state) {
        out.clear();
        message.WriteTo(out);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * out.size()));
}
BENCHMARK(WriteRawWithTenMegabyteAttachment)->Unit(benchmark::kMillisecond);

} // namespace
