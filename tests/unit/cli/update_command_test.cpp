#include "cli_fixture.h"

#include "support/fake_http_server.h"

#include <cstdlib>
#include <fstream>

namespace {

class UpdateCommand : public CliFixture {
protected:
    void SetUp() override {
        ::setenv("TMPDIR", m_data.Path().c_str(), 1);
        ::setenv("QUORVANE_UPDATE_PAGE", m_http.Address("/update.htm").c_str(), 1);
        m_http.On("/setup.deb", {200, "package"});
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        ::unsetenv("QUORVANE_UPDATE_PAGE");
    }
    void Offer(const std::string& version) {
        m_http.On("/update.htm",
                  {200, "<META NAME=\"Product\" CONTENT=\"Quorvane\">\n<META NAME=\"Version\" CONTENT=\"" + version +
                            "\">\n<META NAME=\"Download\" CONTENT=\"" + m_http.Address("/setup.deb") +
                            "\">\n<META NAME=\"ClientFilename\" CONTENT=\"setup.deb\">\n"});
    }
    FakeHttpServer m_http;
};

TEST_F(UpdateCommand, WithoutANewerVersionItSaysSoAndFails) {
    Offer("1.1.1");
    EXPECT_EQ(Run({"update", "check"}), 1);
    EXPECT_EQ(m_out, "No update is available, you have the latest version of Quorvane.\n");
}

TEST_F(UpdateCommand, AnOfferIsAskedDownloadedAndNamedButNotRun) {
    Offer("1.2");
    EXPECT_EQ(Run({"update", "check"}, "n\n"), 1);
    EXPECT_NE(m_out.find("There is a software update available for Quorvane.\n\nWould you like to download it now"),
              std::string::npos);

    EXPECT_EQ(Run({"update", "check", "--yes"}), 0);
    std::string marker = "Downloaded: ";
    size_t at = m_out.find(marker);
    ASSERT_NE(at, std::string::npos);
    std::string path = m_out.substr(at + marker.size(), m_out.find('\n', at) - at - marker.size());
    std::ifstream file(path);
    std::string content;
    std::getline(file, content);
    EXPECT_EQ(content, "package");
    EXPECT_EQ(path.rfind(m_data.Path() + "/quorvane-update-", 0), 0u);
}

} // namespace
