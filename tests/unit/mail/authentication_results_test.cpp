#include "mail/authentication_results.h"

#include <gtest/gtest.h>

namespace {

// The field values as RFC 8601 and RFC 7489 show them, and as large
// providers write them.
TEST(AuthenticationResultsTest, ReadsTheIdAndEveryResult) {
    struct Case {
        const char* value;
        const char* id;
        std::vector<std::string> results; // "method=result"
    };
    const Case cases[] = {
        {"example.org 1; none", "example.org", {}},
        {"example.com; spf=pass smtp.mailfrom=example.net", "example.com", {"spf=pass"}},
        {"example.com; dkim=pass reason=\"good signature\" header.i=@mail-router.example.net; dkim=fail "
         "reason=\"bad signature\" header.i=@newyork.example.com",
         "example.com",
         {"dkim=pass", "dkim=fail"}},
        {"mail.receiver.example; dmarc=fail (p=reject dis=none) header.from=example.com",
         "mail.receiver.example",
         {"dmarc=fail"}},
        {"mx.google.com; dkim=pass header.i=@example.com header.s=s1 header.b=Ab+/Cd==; spf=softfail (google.com: "
         "domain of transitioning x@example.com does not designate 192.0.2.1 as permitted sender) "
         "smtp.mailfrom=x@example.com; dmarc=fail (p=REJECT sp=REJECT dis=REJECT) header.from=example.com",
         "mx.google.com",
         {"dkim=pass", "spf=softfail", "dmarc=fail"}},
        {"spf=fail (sender IP is 192.0.2.1) smtp.mailfrom=example.com; dkim=none (message not signed) "
         "header.d=none;dmarc=fail action=none header.from=example.com;compauth=fail reason=001",
         "",
         {"spf=fail", "dkim=none", "dmarc=fail", "compauth=fail"}},
        {"atlas1.mail.yahoo.com; dkim=pass header.i=@example.com; spf=pass smtp.mailfrom=example.com; "
         "dmarc=pass(p=REJECT) header.from=example.com;",
         "atlas1.mail.yahoo.com",
         {"dkim=pass", "spf=pass", "dmarc=pass"}},
        {"\"Odd; Id\" 1; DKIM/1 = PASS reason=\"a; b (c\" (x (y; z) w) header.d=example.com; spf (n;o) = Fail",
         "odd; id",
         {"dkim=pass", "spf=fail"}},
        {"example.com; garbage; =pass; dkim=", "example.com", {}},
    };
    for (const Case& c : cases) {
        AuthenticationResults parsed = ParseAuthenticationResults(c.value);
        EXPECT_EQ(parsed.AuthservId, c.id) << c.value;
        std::vector<std::string> results;
        for (const AuthenticationResult& result : parsed.Results)
            results.push_back(result.Method + "=" + result.Result);
        EXPECT_EQ(results, c.results) << c.value;
    }
}

} // namespace
