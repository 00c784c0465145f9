#include "update/update_check.h"

#include "platform/date_time.h"
#include "records/program_settings.h"
#include "support/fake_http_server.h"
#include "support/process_state.h"
#include "support/temp_folder.h"
#include "update/http_get.h"
#include "update/update_page.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class RecordingUpdateUi : public UpdateUi {
public:
    bool AskDownload() override {
        ++asked;
        return accept;
    }
    void ShowDownload() override { shown = true; }
    void DownloadProgress(long long received, long long total) override {
        progress.push_back(received);
        this->total = total;
    }
    bool DownloadCancelled() override { return cancelAfterFirstBlock && !progress.empty(); }
    void CloseDownload() override { closed = true; }
    void OpenDownloadedFile(const std::string& path, const std::string& parameters) override {
        opened = path;
        openedParameters = parameters;
    }
    void SetBusyCursor(bool) override {}

    bool accept = true, cancelAfterFirstBlock = false, shown = false, closed = false;
    int asked = 0;
    long long total = 0;
    std::vector<long long> progress;
    std::string opened, openedParameters;
};

std::string Page(const std::string& version, const std::string& download, const std::string& extra = "") {
    return "<html><head>\r\n<META NAME=\"Product\" CONTENT=\"Quorvane\">\r\n<META NAME=\"Version\" CONTENT=\"" +
           version + "\">\r\n<META NAME=\"Download\" CONTENT=\"" + download +
           "\">\r\n<META NAME=\"ClientFilename\" CONTENT=\"quorvane-setup.deb\">\r\n"
           "<META NAME=\"RunParameters\" CONTENT=\"/silent\">\r\n" +
           extra + "</head></html>\r\n";
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::stringstream content;
    content << file.rdbuf();
    return content.str();
}

class UpdateCheckTest : public testing::Test {
protected:
    void SetUp() override {
        ResetProcessState(m_data.Path());
        ::setenv("TMPDIR", m_data.Path().c_str(), 1);
        ::setenv("QUORVANE_UPDATE_PAGE", m_http.Address("/update.htm").c_str(), 1);
        ProgramSettings.Timeout = 30;
        m_http.On("/setup", {200, m_setup});
    }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        ::unsetenv("QUORVANE_UPDATE_PAGE");
        ResetProcessState("");
    }

    void Offer(const std::string& version, const std::string& extra = "") {
        m_http.On("/update.htm", {200, Page(version, m_http.Address("/setup"), extra)});
    }

    TempFolder m_data;
    FakeHttpServer m_http;
    RecordingUpdateUi m_ui;
    std::string m_setup = std::string(5000, 'S') + "end";
};

TEST(UpdateVersions, ComparedPartByPartWhileTheProgramHasParts) {
    struct Case {
        const char* program;
        const char* page;
        bool newer;
    } cases[] = {{"1.1.1", "1.2", true},        {"1.1.1", "2", true},      {"1.1.1", "1.1.1.5", false},
                 {"1.1.1", "1.1", false},       {"1.1.1", "1.1.1", false}, {"1.1.0", "1.1", true},
                 {"1.1.1", "1.1.2beta", false}, {"1.1.1", "1.10", true}};
    for (const Case& c : cases)
        EXPECT_EQ(IsNewerVersion(c.program, c.page), c.newer) << c.program << " against " << c.page;
}

TEST(UpdatePage, TagLinesAndTheirValues) {
    auto tags = ReadUpdatePageTags("<META NAME=\"Version\" CONTENT=\"1.0\">\n"
                                   "<meta name=\"Product\" content=\"ignored\">\n"
                                   "<META NAME=\"Product\" content=\"Quorvane\">\n"
                                   "text line\n<META NAME=\"Version\" CONTENT=\"2.0\">\r\n"
                                   "<META NAME=\"Download\" CONTENT=\"" +
                                   std::string(300, 'x') + "\">\n");
    EXPECT_EQ(tags["Version"], "2.0");      // the later line wins
    EXPECT_EQ(tags["Product"], "Quorvane"); // CONTENT= in any case; "meta name" is no tag line
    EXPECT_EQ(tags["Download"].size(), 255u);
}

TEST_F(UpdateCheckTest, TheAutomaticCheckRunsOncePerDayOfTheMonth) {
    Offer("1.0");
    ProgramSettings.CheckUpdateLast = DayOfMonth(Now());
    CheckForUpdate(false, m_ui);
    ProgramSettings.CheckUpdateLast = -1;
    ProgramSettings.CheckUpdate = false;
    CheckForUpdate(false, m_ui);
    EXPECT_TRUE(m_http.Requests().empty());

    CheckForUpdate(true, m_ui); // a manual check always runs and counts
    EXPECT_EQ(m_http.Requests().size(), 1u);
    LoadSettings();
    EXPECT_EQ(ProgramSettings.CheckUpdateLast, DayOfMonth(Now()));
}

TEST_F(UpdateCheckTest, ANewerVersionIsDownloadedIntoAPrivateFolderAndHandedOn) {
    Offer("1.2", "<META NAME=\"ClientFilename\" CONTENT=\"../../escape.sh\">\r\n");
    UpdateCheckResult result = CheckForUpdate(true, m_ui);
    ASSERT_TRUE(result.Started);
    EXPECT_TRUE(result.UpdateOffered && m_ui.shown && m_ui.closed);
    EXPECT_EQ(m_ui.opened, result.DownloadedFile);
    EXPECT_EQ(m_ui.openedParameters, "/silent");
    EXPECT_EQ(ReadFile(result.DownloadedFile), m_setup);
    EXPECT_EQ(m_ui.progress.back(), static_cast<long long>(m_setup.size()));
    EXPECT_EQ(m_ui.total, static_cast<long long>(m_setup.size()));
    EXPECT_EQ(m_ui.progress.size(), (m_setup.size() + 1024) / 1025); // blocks of up to 1025 bytes

    namespace fs = std::filesystem;
    fs::path file(result.DownloadedFile);
    EXPECT_EQ(file.filename(), "escape.sh");
    EXPECT_EQ(file.parent_path().parent_path(), fs::path(m_data.Path()));
    EXPECT_EQ(fs::status(file).permissions() & fs::perms::all, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(fs::status(file.parent_path()).permissions() & fs::perms::all, fs::perms::owner_all);

    auto request = m_http.Requests()[0];
    EXPECT_EQ(request[0], "GET /update.htm HTTP/1.0");
    EXPECT_NE(std::find(request.begin(), request.end(), "User-Agent: TmxWebUpdate"), request.end());
}

TEST_F(UpdateCheckTest, NoOfferForAnOlderVersionOrAnIncompletePage) {
    Offer("1.1");
    EXPECT_FALSE(CheckForUpdate(true, m_ui).UpdateOffered);
    m_http.On("/update.htm", {200, "<META NAME=\"Version\" CONTENT=\"9\">\r\n"}); // no Product
    EXPECT_FALSE(CheckForUpdate(true, m_ui).UpdateOffered);
    m_http.On("/update.htm", {200, Page("9", "x") + std::string(MaxUpdatePageBytes, ' ')});
    EXPECT_FALSE(CheckForUpdate(true, m_ui).UpdateOffered);
    EXPECT_EQ(m_ui.asked, 0);
}

TEST_F(UpdateCheckTest, RedirectionsAreFollowedUpToTheLimit) {
    m_http.On("/update.htm", {200, "<META NAME=\"Redirection\" CONTENT=\"" + m_http.Address("/moved.htm") + "\">"});
    m_http.On("/moved.htm", {200, Page("2", m_http.Address("/setup"))});
    EXPECT_TRUE(CheckForUpdate(true, m_ui).Started);

    m_http.On("/moved.htm", {200, "<META NAME=\"Redirection\" CONTENT=\"" + m_http.Address("/update.htm") + "\">"});
    size_t before = m_http.Requests().size();
    EXPECT_FALSE(CheckForUpdate(true, m_ui).UpdateOffered);
    EXPECT_EQ(m_http.Requests().size() - before, size_t(MaxRedirections + 1));
}

TEST_F(UpdateCheckTest, IncompleteOrRefusedDownloadsLeaveNoFile) {
    struct Case {
        const char* name;
        FakeHttpServer::Response setup;
        bool cancel;
    } cases[] = {
        {"no Content-Length", {200, "data", std::nullopt, false}, false},
        {"shorter than announced", {200, "data", 10}, false},
        {"larger than allowed", {200, "data", MaxDownloadBytes + 1}, false},
        {"not found", {404, "gone"}, false},
        {"cancelled", {200, std::string(20000, 'x'), std::nullopt, true, true}, true},
    };
    for (const Case& c : cases) {
        m_http.On("/setup", c.setup);
        Offer("2");
        RecordingUpdateUi ui;
        ui.cancelAfterFirstBlock = c.cancel;
        UpdateCheckResult result = CheckForUpdate(true, ui);
        EXPECT_TRUE(result.UpdateOffered) << c.name;
        EXPECT_FALSE(result.Started) << c.name;
        EXPECT_TRUE(ui.opened.empty()) << c.name;
        EXPECT_TRUE(ui.closed) << c.name;
    }
    for (const auto& entry : std::filesystem::directory_iterator(m_data.Path()))
        EXPECT_FALSE(entry.path().filename().string().starts_with("quorvane-update-")) << entry.path();
}

TEST(HttpGetTransfer, ABodyLongerThanAnnouncedCountsOnlyWhatWasHandedOn) {
    FakeHttpServer http;
    http.On("/page", {200, std::string(3000, 'x'), 100});
    std::string body;
    HttpGetResult result =
        HttpGet(http.Address("/page"), 1 << 20, 5000, [&](std::string_view block, long long, std::optional<long long>) {
            body.append(block);
            return true;
        });
    EXPECT_FALSE(result.Complete);
    EXPECT_FALSE(result.Error.empty());
    EXPECT_EQ(result.Received, static_cast<long long>(body.size()));
}

TEST(HttpAddresses, PortsAndRefusals) {
    auto address = ParseHttpAddress("http://mirror.example:8080/a/b?c");
    ASSERT_TRUE(address);
    EXPECT_EQ(address->Host, "mirror.example");
    EXPECT_EQ(address->Port, 8080);
    EXPECT_EQ(address->Path, "/a/b?c");
    EXPECT_EQ(ParseHttpAddress("example.org")->Path, "/");
    EXPECT_FALSE(ParseHttpAddress("https://example.org/"));
    EXPECT_FALSE(ParseHttpAddress("http://example.org/a b"));
    EXPECT_FALSE(ParseHttpAddress("http://example.org:99999/"));
    EXPECT_FALSE(ParseHttpAddress("http://user@example.org/"));
}

} // namespace
