#include "cli_fixture.h"

#include "platform/paths.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

namespace {

class CommandLine : public CliFixture {
protected:
    void SetUp() override {
        ::setenv("XDG_CONFIG_HOME", m_config.Path().c_str(), 1);
        ::setenv("XDG_DATA_HOME", m_config.Path().c_str(), 1);
        ::unsetenv("QUORVANE_DATA_DIR");
    }

    std::string Ini() const { return m_data.Read("vantrel.ini"); }

    TempFolder m_config;
};

TEST_F(CommandLine, ListsAddRefusesInvalidAddressAndAddsNothing) {
    EXPECT_EQ(Run({"lists", "add", "blocked", "good@example.com", "bad@-example.com"}), 1);
    EXPECT_EQ(m_err, "\"bad@-example.com\" is not a valid email address, please try again\n");
    EXPECT_FALSE(FileExists(m_data.File("BlackList.dat")));
}

// Addresses with line breaks are invalid addresses (email_syntax_test.cpp);
// an alias is taken as given, so the option itself refuses them.
TEST_F(CommandLine, AliasesWithLineBreaksAreRefused) {
    EXPECT_EQ(Run({"accounts", "add", "--disabled", "--alias", "a@example.org\n*"}), 2);
    EXPECT_NE(m_err.find("--alias cannot hold a line break"), std::string::npos) << m_err;
    EXPECT_FALSE(FileExists(m_data.File("vantrel.ini")));
}

TEST_F(CommandLine, StoredTextIsPrintedWithTerminalControlsNeutralised) {
    m_data.Write("WhiteList.dat", "\x1b]0;owned\x07@example.com\r\n");
    m_data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=1\r\n[Account1]\r\nEmailAddress=\x1b[2J@example.com\r\n"
                                "Server=\xc2\x9b"
                                "2J\r\nSMTPServer=\xe0\x82\x9b\r\nEmailClient=\x1b[5m\r\n");
    const std::vector<std::string> commands[] = {{"lists", "show", "approved"},
                                                 {"lists", "delete", "blocked", "\x1b[2J"},
                                                 {"accounts", "list"},
                                                 {"accounts", "edit", "1", "--enabled"},
                                                 {"settings"},
                                                 {"quarantine", "show", "\x1b[2J"}};
    for (const auto& command : commands) {
        Run(command);
        for (const std::string& printed : {m_out, m_err}) {
            EXPECT_EQ(printed.find_first_of("\x1b\x07\x9b"), std::string::npos) << command[0] << ": " << printed;
            EXPECT_EQ(printed.find("\xc2\x9b"), std::string::npos) << command[0];
        }
    }
    Run({"lists", "show", "approved"});
    EXPECT_EQ(m_out, "?]0;owned?@example.com\n");
}

TEST_F(CommandLine, ListsDeleteRemovesAnyCaseAndDeletesEmptyFile) {
    ASSERT_EQ(Run({"lists", "add", "blocked", "a@example.com", "*@spam.example.net"}), 0);
    EXPECT_EQ(Run({"lists", "delete", "blocked", "nobody@example.com"}), 1);
    EXPECT_EQ(m_data.Read("BlackList.dat"), "a@example.com\r\n*@spam.example.net\r\n");
    ASSERT_EQ(Run({"lists", "delete", "blocked", "A@EXAMPLE.COM", "*@spam.example.net"}), 0) << m_err;
    EXPECT_FALSE(FileExists(m_data.File("BlackList.dat")));
}

TEST_F(CommandLine, ListsImportAppliesEditorRules) {
    m_data.Write("import.txt",
                 "# friends\r\n  Ann@Example.com  \nnot-an-address\r\nbob@example.org\r\nann@example.com\r\n");
    ASSERT_EQ(Run({"lists", "import", "approved", m_data.File("import.txt")}), 0) << m_err;
    ASSERT_EQ(Run({"lists", "show", "approved"}), 0);
    EXPECT_EQ(m_out, "ann@example.com\nbob@example.org\n");
}

TEST_F(CommandLine, ListsImportOfUnreadableFileFails) {
    EXPECT_EQ(Run({"lists", "import", "approved", m_data.File("missing.txt")}), 1);
    EXPECT_EQ(m_err, "Unable to import file.\n");
}

TEST_F(CommandLine, UsageErrorsExitWithTwo) {
    EXPECT_EQ(Run({"lists", "show", "friends"}), 2);
    EXPECT_EQ(Run({"frobnicate"}), 2);
    EXPECT_EQ(Run({"accounts", "add", "--colour", "red"}), 2);
}

TEST_F(CommandLine, SettingsSetWritesNoAutostartEntry) {
    ASSERT_EQ(Run({"settings", "set", "AutoScan", "1"}), 0) << m_err;
    EXPECT_NE(Ini().find("AutoScan=1\r\n"), std::string::npos);
    EXPECT_FALSE(FileExists(m_config.File("autostart/quorvane.desktop")));
}

TEST_F(CommandLine, EmptyDataDirIsAUsageError) {
    for (const auto& arguments :
         {std::vector<std::string>{"--data-dir", "", "lists", "add", "approved", "a@example.com"},
          std::vector<std::string>{"--data-dir=", "lists", "add", "approved", "a@example.com"}}) {
        std::istringstream in;
        std::ostringstream out, err;
        EXPECT_EQ(RunCommand(arguments, in, out, err), 2);
        EXPECT_NE(err.str().find("--data-dir needs a folder"), std::string::npos) << err.str();
    }
    EXPECT_FALSE(FileExists(m_config.File("Belvantis/Quorvane/WhiteList.dat"))) << "the default folder stays untouched";
}

TEST_F(CommandLine, AccountsAddUsesEditorDefaultsAndReadsPassword) {
    ASSERT_EQ(Run({"accounts", "add", "--email", "me@example.com", "--display-name", "Me", "--server",
                   "pop.example.com", "--login", "me", "--smtp-server", "smtp.example.com", "--smtp-auth",
                   "--reply-address", "replies@example.com"},
                  "s3cret\n"),
              0)
        << m_err;
    std::string ini = Ini();
    EXPECT_NE(ini.find("NumAccounts=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("[Account1]\r\n"), std::string::npos);
    EXPECT_NE(ini.find("Port=110\r\n"), std::string::npos);
    EXPECT_NE(ini.find("SMTPPort=25\r\n"), std::string::npos);
    EXPECT_NE(ini.find("SMTPLogin=\r\n"), std::string::npos); // same settings as incoming
    EXPECT_NE(ini.find("SMTPPassword=<>\r\n"), std::string::npos);
    EXPECT_EQ(ini.find("s3cret"), std::string::npos); // stored scrambled
    EXPECT_NE(ini.find("ID={"), std::string::npos);
    EXPECT_NE(ini.find("ReplyAddress=replies@example.com\r\n"), std::string::npos);
    // Without encryption the file has the keys it always had.
    EXPECT_EQ(ini.find("Security="), std::string::npos);

    ASSERT_EQ(Run({"accounts", "list"}), 0);
    EXPECT_NE(m_out.find("me@example.com"), std::string::npos);
    EXPECT_NE(m_out.find("pop.example.com:110"), std::string::npos);
    EXPECT_NE(m_out.find("smtp.example.com:25"), std::string::npos);
    EXPECT_NE(m_out.find("enabled"), std::string::npos);
}

// Implicit TLS moves a port left at the plain default to its own port; a
// port given stays, and the keys follow the account's other keys.
TEST_F(CommandLine, AccountsTakeTheirSecurityAndItsPorts) {
    ASSERT_EQ(Run({"accounts", "add", "--disabled", "--pop3-security", "tls", "--smtp-security", "tls"}, "pw\n"), 0)
        << m_err;
    ASSERT_EQ(Run({"accounts", "add", "--disabled", "--pop3-security", "starttls", "--smtp-security", "tls",
                   "--smtp-port", "2465"},
                  "pw\n"),
              0);
    std::string ini = Ini();
    EXPECT_NE(ini.find("Port=995\r\n"), std::string::npos);
    EXPECT_NE(ini.find("SMTPPort=465\r\n"), std::string::npos);
    EXPECT_NE(ini.find("SMTPPort=2465\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\nPOP3Security=1\r\nSMTPSecurity=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\nPOP3Security=2\r\nSMTPSecurity=1\r\n"), std::string::npos);
    ASSERT_EQ(Run({"accounts", "edit", "1", "--pop3-security", "none"}), 0);
    EXPECT_NE(Ini().find("POP3Security=0\r\n"), std::string::npos);
    EXPECT_EQ(Run({"accounts", "edit", "1", "--smtp-security", "ssl"}), 2);
}

TEST_F(CommandLine, AccountChecksRefuseAndChangeNothing) {
    EXPECT_EQ(Run({"accounts", "add", "--email", "me@example.com", "--display-name", "Me"}, "pw\n"), 1);
    EXPECT_EQ(m_err, "You must enter the user name for the account \"me@example.com\"\n");
    EXPECT_FALSE(FileExists(m_data.File("vantrel.ini")));

    // A disabled account passes every check.
    EXPECT_EQ(Run({"accounts", "add", "--disabled"}, ""), 0) << m_err;
    EXPECT_EQ(Run({"accounts", "enable", "1"}), 1);
    EXPECT_NE(Ini().find("Enabled=0\r\n"), std::string::npos);
}

TEST_F(CommandLine, AccountsEditKeepsOtherFieldsAndAsksForNewPassword) {
    ASSERT_EQ(Run({"accounts", "add", "--email", "me@example.com", "--display-name", "Me", "--server", "pop.example",
                   "--login", "me"},
                  "first\n"),
              0);
    ASSERT_EQ(Run({"accounts", "edit", "1", "--port", "995", "--smtp-login", "relay"}, "smtp-pw\n"), 0) << m_err;
    std::string ini = Ini();
    EXPECT_NE(ini.find("Port=995\r\n"), std::string::npos);
    EXPECT_NE(ini.find("Server=pop.example\r\n"), std::string::npos);
    EXPECT_NE(ini.find("SMTPLogin=relay\r\n"), std::string::npos);
    EXPECT_EQ(Run({"accounts", "edit", "1", "--port", "pop"}), 2);
    EXPECT_EQ(Run({"accounts", "edit", "7"}), 2);
}

TEST_F(CommandLine, AccountsDeleteAsksAndRenumbers) {
    for (const char* address : {"one@example.com", "two@example.com", "three@example.com"})
        ASSERT_EQ(Run({"accounts", "add", "--disabled", "--email", address}), 0);
    EXPECT_EQ(Run({"accounts", "delete", "2"}, "n\n"), 1);
    EXPECT_NE(m_err.find("Are you sure you want to delete the account \"two@example.com\" ?"), std::string::npos);
    ASSERT_EQ(Run({"accounts", "delete", "2", "--yes"}), 0) << m_err;
    ASSERT_EQ(Run({"accounts", "list"}), 0);
    EXPECT_NE(m_out.find("1   one@example.com"), std::string::npos);
    EXPECT_NE(m_out.find("2   three@example.com"), std::string::npos);
    EXPECT_EQ(m_out.find("two@example.com"), std::string::npos);
}

TEST_F(CommandLine, DeletingTheOnlyAccountIsRefused) {
    ASSERT_EQ(Run({"accounts", "add", "--disabled", "--email", "one@example.com"}), 0);
    EXPECT_EQ(Run({"accounts", "delete", "1", "--yes"}), 1);
    EXPECT_NE(m_err.find("Cannot delete account.  There must be at least 1 account configured."), std::string::npos);
}

} // namespace

namespace {

TEST_F(CommandLine, SettingsShowsEveryKeyAndHidesPasswords) {
    ASSERT_EQ(Run({"settings", "set", "Password"}, "hunter2\n"), 0) << m_err;
    ASSERT_EQ(Run({"settings"}), 0);
    for (const char* line : {"AutoScan=0\n", "AutoScanMin=10\n", "AutoDelSpamDays=14\n", "Timeout=60\n",
                             "CheckUpdateLast=-1\n", "Password=(set)\n"})
        EXPECT_NE(m_out.find(line), std::string::npos) << line;
    EXPECT_EQ(m_out.find("hunter2"), std::string::npos);
}

TEST_F(CommandLine, SettingsSetAppliesChecksAndLimits) {
    EXPECT_EQ(Run({"settings", "set", "Timeout", "10"}), 1);
    EXPECT_EQ(m_err, "The timeout value cannot be lower than 30 seconds.  Please enter a timeout value of 30 seconds "
                     "or greater.\n");
    EXPECT_FALSE(FileExists(m_data.File("vantrel.ini")));

    ASSERT_EQ(Run({"settings", "set", "timeout", "90"}), 0) << m_err;
    EXPECT_EQ(m_out, "Timeout=90\n");
    EXPECT_NE(Ini().find("Timeout=90\r\n"), std::string::npos);

    ASSERT_EQ(Run({"settings", "set", "AutoDelSpamDays", "400"}), 0) << m_err;
    EXPECT_EQ(m_out, "AutoDelSpamDays=255\n");

    EXPECT_EQ(Run({"settings", "set", "AutoScanMin", "ten"}), 1);
    EXPECT_EQ(Run({"settings", "set", "Colour", "blue"}), 1);
    EXPECT_NE(m_err.find("Unknown setting \"Colour\""), std::string::npos);
    ASSERT_EQ(Run({"settings", "set", "EmailClient", "thunderbird -compose"}), 0) << m_err;
    // A text setting reaches the checks too.
    EXPECT_EQ(Run({"settings", "set", "EmailClient", ""}), 1);
    EXPECT_NE(Ini().find("EmailClient=thunderbird -compose\r\n"), std::string::npos);
}

TEST_F(CommandLine, SettingsSaveKeepsHandEditedLines) {
    m_data.Write("vantrel.ini", "; my notes\r\n[Settings]\r\nTimeout=45\r\n\r\n[Other]\r\nKeep=me\r\n");
    ASSERT_EQ(Run({"settings", "set", "AutoScan", "1"}), 0) << m_err;
    std::string ini = Ini();
    EXPECT_EQ(ini.rfind("; my notes\r\n[Settings]\r\nTimeout=45\r\n", 0), 0u);
    EXPECT_NE(ini.find("AutoScan=1\r\n"), std::string::npos);
    EXPECT_NE(ini.find("\r\n[Other]\r\nKeep=me\r\n"), std::string::npos);
}

} // namespace

namespace {

TEST_F(CommandLine, ListsSyncAddsEudoraNicknamesToTheStoredList) {
    ASSERT_EQ(Run({"lists", "add", "approved", "Ann@Example.com"}), 0);
    TempFolder eudora;
    eudora.Write("NNdbase.txt", "alias ann ann@example.com\r\nalias team bob@example.com, carol@example.com\r\n");
    ::setenv("EUDORA", eudora.Path().c_str(), 1);
    ::setenv("WINEPREFIX", (eudora.Path() + "/no-prefix").c_str(), 1);
    int status = Run({"lists", "sync"});
    ::unsetenv("EUDORA");
    ::unsetenv("WINEPREFIX");
    ASSERT_EQ(status, 0) << m_err;
    EXPECT_EQ(m_out, "2 approved sender(s) added from the address books\n");
    EXPECT_EQ(m_data.Read("WhiteList.dat"), "ann@example.com\r\nbob@example.com\r\ncarol@example.com\r\n");
}

} // namespace
