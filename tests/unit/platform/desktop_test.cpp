#include "platform/autostart.h"
#include "platform/mail_client.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace {

class Desktop : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", (m_home.Path() + "/config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (m_home.Path() + "/data").c_str(), 1);
        ::setenv("XDG_CONFIG_DIRS", (m_home.Path() + "/etc").c_str(), 1);
        ::setenv("XDG_DATA_DIRS", (m_home.Path() + "/usr").c_str(), 1);
        for (const char* folder : {"config", "data", "data/applications", "etc", "usr", "usr/applications"})
            std::filesystem::create_directories(m_home.File(folder));
    }
    void TearDown() override {
        for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_DIRS"})
            ::unsetenv(name);
    }
    TempFolder m_home;
};

TEST_F(Desktop, StartAtLogonIsOneEntryNamingVantrel) {
    RegisterStartAtLogon("/opt/quorvane bin");
    RegisterStartAtLogon("/opt/quorvane bin");
    std::string entry = m_home.Read("config/autostart/quorvane.desktop");
    EXPECT_NE(entry.find("\nExec=\"/opt/quorvane bin/vantrel\"\n"), std::string::npos);
    EXPECT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_home.File("config/autostart")), {}), 1);
}

TEST_F(Desktop, DefaultMailClientIsTheMailtoHandlersCommand) {
    EXPECT_EQ(DefaultMailClient(), "");
    m_home.Write("etc/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=system-mail.desktop\n");
    m_home.Write("usr/applications/system-mail.desktop", "[Desktop Entry]\nExec=/usr/bin/sysmail %u\n");
    EXPECT_EQ(DefaultMailClient(), "/usr/bin/sysmail");

    // The user's own choice wins; field codes go, "%%" stays a percent sign.
    m_home.Write("config/mimeapps.list",
                 "[Added Associations]\nx-scheme-handler/mailto=other.desktop\n"
                 "[Default Applications]\nx-scheme-handler/mailto=mine.desktop;other.desktop;\n");
    m_home.Write("data/applications/mine.desktop",
                 "[Desktop Action Compose]\nExec=wrong\n[Desktop Entry]\nName=Mine\nExec=\"/opt/my mail\" -compose %U "
                 "--ratio 50%%\n");
    EXPECT_EQ(DefaultMailClient(), "\"/opt/my mail\" -compose --ratio 50%");
}

TEST_F(Desktop, DefaultMailClientIgnoresMissingOrUnsafeEntries) {
    m_home.Write("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=../../evil.desktop\n");
    EXPECT_EQ(DefaultMailClient(), "");
    m_home.Write("config/mimeapps.list", "[Default Applications]\nx-scheme-handler/mailto=gone.desktop\n");
    EXPECT_EQ(DefaultMailClient(), "");
}

} // namespace

TEST_F(Desktop, MailClientIconComesFromTheEntryThatStartsTheProgram) {
    m_home.Write("usr/applications/other.desktop", "[Desktop Entry]\nExec=/usr/bin/othermail\nIcon=other\n");
    m_home.Write("usr/applications/mail.desktop",
                 "[Desktop Entry]\nExec=\"/opt/my mail/mailer\" %u\nIcon=/opt/my mail/mailer.png\n");
    EXPECT_EQ(MailClientIconName("/usr/local/bin/mailer -compose"), "/opt/my mail/mailer.png");
    EXPECT_EQ(MailClientIconName("othermail"), "other");
    EXPECT_EQ(MailClientIconName("unknown"), "");
    EXPECT_EQ(MailClientIconName(""), "");
}
