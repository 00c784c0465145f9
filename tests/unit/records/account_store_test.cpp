#include "records/account.h"
#include "records/account_folder.h"
#include "records/account_store.h"

#include "platform/data_folder.h"
#include "platform/paths.h"
#include "records/ini_document.h"
#include "records/program_settings.h"
#include "support/scripted_message_boxes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

namespace {

const char FirstId[] = "{11111111-1111-4111-8111-111111111111}";
const char SecondId[] = "{22222222-2222-4222-8222-222222222222}";
const char ThirdId[] = "{33333333-3333-4333-8333-333333333333}";

class AccountStore : public ::testing::Test {
protected:
    void SetUp() override {
        SetDataFolderOverride(m_data.Path());
        Accounts.Clear();
    }
    void TearDown() override {
        Accounts.Clear();
        SetDataFolderOverride("");
    }

    // The start-up load: the settings, then every stored account.
    void LoadAllAccounts() {
        LoadSettings();
        Accounts.Clear();
        for (int n = 1; n <= StoredAccountCount(); ++n) {
            AppendAccount();
            LoadAccount(n);
        }
    }

    // A complete account as the editor would apply it, saved as the last one.
    Account& AddSavedAccount(const std::string& address, const std::string& id, std::vector<std::string> aliases = {}) {
        Account& account = AppendAccount();
        account.EmailAddress = address;
        account.DisplayName = "Name of " + address;
        account.Server = "pop." + address.substr(address.find('@') + 1);
        account.Port = 110;
        account.SMTPPort = 25;
        account.Login = address.substr(0, address.find('@'));
        account.Password = "pw-" + address;
        account.Enabled = true;
        account.ID = id;
        account.Aliases.Assign(aliases);
        SaveAccount(Accounts.Count());
        return account;
    }

    std::string AliasFile(const std::string& id) const { return m_data.Read("Accounts/" + id + "/aliases.dat"); }

    IniDocument SettingsDocument() const {
        IniDocument ini;
        ini.LoadFromFile(m_data.File("vantrel.ini"));
        return ini;
    }

    TempFolder m_data;
};

} // namespace

TEST_F(AccountStore, SettingsWithoutNumAccountsLoadNoAccount) {
    m_data.Write("vantrel.ini", "[Settings]\r\nTimeout=60\r\n[Account1]\r\nEmailAddress=a@example.com\r\n");
    LoadAllAccounts();
    EXPECT_EQ(Accounts.Count(), 0);
}

TEST_F(AccountStore, MissingSectionGivesDefaults) {
    m_data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=3\r\n[Account1]\r\nEmailAddress=a@example.com\r\n"
                                "Port=995\r\nEnabled=0\r\n[Account3]\r\n");
    LoadAllAccounts();
    ASSERT_EQ(Accounts.Count(), 3);
    EXPECT_EQ(Accounts[0].EmailAddress, "a@example.com");
    EXPECT_EQ(Accounts[0].Port, 995);
    EXPECT_FALSE(Accounts[0].Enabled);
    const Account& second = Accounts[1];
    EXPECT_EQ(second.Port, 110);
    EXPECT_EQ(second.SMTPPort, 25);
    EXPECT_TRUE(second.Enabled);
    EXPECT_FALSE(second.SMTPAuth);
    EXPECT_FALSE(second.SMTPSameAsIncoming);
    for (const std::string* text :
         {&second.EmailAddress, &second.DisplayName, &second.ReplyAddress, &second.Server, &second.Login,
          &second.Password, &second.SMTPServer, &second.SMTPLogin, &second.SMTPPassword, &second.ID})
        EXPECT_EQ(*text, "");
    EXPECT_EQ(second.Aliases.Count(), 0);
}

TEST_F(AccountStore, NumAccountsBeyondTheHighestSectionLoadsUpToThatSection) {
    struct Case {
        const char* file;
        int loaded;
    } cases[] = {
        {"[Settings]\r\nNumAccounts=2\r\n[Account1]\r\n", 1},
        {"[Settings]\r\nNumAccounts=1\r\n[Account1]\r\n[Account2]\r\n", 1},
        {"[Settings]\r\nNumAccounts=-3\r\n[Account1]\r\n", 0},
        {"[Settings]\r\nNumAccounts=9\r\n[Account99999999999]\r\n", 0},
        // Last: unbounded, this one would run for hours.
        {"[Settings]\r\nNumAccounts=2147483647\r\n[Account1]\r\n[account4]\r\n[Account05]\r\n[Account2x]\r\n", 4},
    };
    for (const Case& c : cases) {
        m_data.Write("vantrel.ini", c.file);
        LoadAllAccounts();
        ASSERT_EQ(Accounts.Count(), c.loaded) << c.file;
    }
}

TEST_F(AccountStore, SaveWritesKeysInOrderWithScrambledPasswords) {
    Account& account = AppendAccount();
    account.EmailAddress = "me@example.com";
    account.DisplayName = "Me";
    account.Server = "pop.example.com";
    account.Port = -1;
    account.Login = "me";
    account.Password = "secret";
    account.SMTPServer = "smtp.example.com";
    account.SMTPPort = 587;
    account.SMTPAuth = true;
    account.SMTPLogin = "smtp-me";
    account.SMTPPassword = "A";
    account.Enabled = true;
    account.ID = FirstId;
    SaveAccount(1);
    EXPECT_EQ(m_data.Read("vantrel.ini"),
              std::string("[Account1]\r\nEmailAddress=me@example.com\r\nDisplayName=Me\r\n"
                          "ReplyAddress=\r\nServer=pop.example.com\r\nPort=-1\r\nLogin=me\r\n"
                          "Password=<DyV0Yqb1>\r\nSMTPServer=smtp.example.com\r\n"
                          "SMTPPort=587\r\nSMTPAuth=1\r\nSMTPLogin=smtp-me\r\n"
                          "SMTPPassword=<PQ==>\r\nEnabled=1\r\nID=") +
                  FirstId + "\r\n[Settings]\r\nNumAccounts=1\r\n");

    Accounts.Clear();
    LoadAllAccounts();
    ASSERT_EQ(Accounts.Count(), 1);
    EXPECT_EQ(Accounts[0].Password, "secret");
    EXPECT_EQ(Accounts[0].SMTPLogin, "smtp-me");
    EXPECT_EQ(Accounts[0].SMTPPassword, "A");
    EXPECT_FALSE(Accounts[0].SMTPSameAsIncoming);
    EXPECT_EQ(Accounts[0].Port, -1);
    EXPECT_EQ(Accounts[0].ID, FirstId);
}

TEST_F(AccountStore, SmtpSameAsIncomingRoundTrip) {
    m_data.Write("vantrel.ini", "[Settings]\r\nNumAccounts=1\r\n[Account1]\r\nEmailAddress=a@example.com\r\n"
                                "Password=IXJJ\r\nSMTPAuth=1\r\nSMTPPassword=<PQ==>\r\n");
    LoadAllAccounts();
    ASSERT_EQ(Accounts.Count(), 1);
    EXPECT_TRUE(Accounts[0].SMTPSameAsIncoming);
    EXPECT_EQ(Accounts[0].Password, "pass") << "legacy form";
    SaveAccount(1);
    IniDocument ini = SettingsDocument();
    EXPECT_TRUE(ini.ValueExists("Account1", "SMTPLogin"));
    EXPECT_EQ(ini.ReadString("Account1", "SMTPLogin", "x"), "");
    EXPECT_EQ(ini.ReadString("Account1", "SMTPPassword", ""), "<>");
    EXPECT_EQ(ini.ReadString("Account1", "Password", ""), "<DLscng==>") << "rewritten in the current form";

    LoadAllAccounts();
    EXPECT_TRUE(Accounts[0].SMTPSameAsIncoming);
    EXPECT_EQ(Accounts[0].SMTPPassword, "");
}

TEST_F(AccountStore, SaveKeepsOtherSectionsAndLines) {
    m_data.Write("vantrel.ini",
                 "; hand-made\r\n[Settings]\r\nTimeout=45\r\n\r\n[Account2]\r\nEmailAddress=keep@x.com\r\n");
    AddSavedAccount("a@example.com", FirstId);
    std::string saved = m_data.Read("vantrel.ini");
    EXPECT_EQ(saved.rfind("; hand-made\r\n[Settings]\r\nTimeout=45\r\nNumAccounts=1\r\n\r\n[Account2]\r\n"
                          "EmailAddress=keep@x.com\r\n[Account1]\r\nEmailAddress=a@example.com\r\n",
                          0),
              0u)
        << saved;
}

TEST_F(AccountStore, RemovingSecondOfThreeRenumbers) {
    AddSavedAccount("one@example.com", FirstId, {"one-alias@example.com"});
    AddSavedAccount("two@example.com", SecondId, {"two-alias@example.com"});
    AddSavedAccount("three@example.com", ThirdId, {"three-b@example.com", "three-a@example.com"});
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);

    ASSERT_TRUE(RemoveAccount(2));

    ASSERT_EQ(boxes.Boxes().size(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].text, "Are you sure you want to delete the account \"two@example.com\" ?");
    EXPECT_EQ(boxes.Boxes()[0].title, "Confirm");
    EXPECT_EQ(boxes.Boxes()[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Warning);
    ASSERT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(Accounts[1].EmailAddress, "three@example.com");

    IniDocument ini = SettingsDocument();
    EXPECT_EQ(ini.ReadInteger("Settings", "NumAccounts", 0), 2);
    EXPECT_EQ(ini.ReadString("Account1", "EmailAddress", ""), "one@example.com");
    EXPECT_EQ(ini.ReadString("Account2", "EmailAddress", ""), "three@example.com");
    EXPECT_EQ(ini.ReadString("Account2", "ID", ""), ThirdId);
    EXPECT_EQ(ini.ReadString("Account3", "EmailAddress", ""), "three@example.com") << "the old last section stays";
    EXPECT_TRUE(FolderExists(m_data.File(std::string("Accounts/") + SecondId))) << "the folder stays on disk";

    LoadAllAccounts();
    ASSERT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(Accounts[0].EmailAddress, "one@example.com");
    EXPECT_EQ(Accounts[0].Aliases.Strings(), std::vector<std::string>{"one-alias@example.com"});
    EXPECT_EQ(Accounts[1].EmailAddress, "three@example.com");
    EXPECT_EQ(Accounts[1].Password, "pw-three@example.com");
    EXPECT_EQ(Accounts[1].Aliases.Strings(), (std::vector<std::string>{"three-a@example.com", "three-b@example.com"}));
}

TEST_F(AccountStore, RemovalAnsweredNoOrOnlyAccountChangesNothing) {
    AddSavedAccount("one@example.com", FirstId);
    std::string before = m_data.Read("vantrel.ini");
    {
        ScriptedMessageBoxes boxes;
        boxes.Answer(MsgResult::Ok);
        EXPECT_FALSE(RemoveAccount(1));
        ASSERT_EQ(boxes.Boxes().size(), 1u);
        EXPECT_EQ(boxes.Boxes()[0].text, "Cannot delete account.  There must be at least 1 account configured.");
        EXPECT_EQ(boxes.Boxes()[0].title, "Notice");
        EXPECT_EQ(boxes.Boxes()[0].buttons, MsgButtons::Ok);
        EXPECT_EQ(boxes.Boxes()[0].icon, MsgIcon::Warning);
    }
    AddSavedAccount("two@example.com", SecondId);
    before = m_data.Read("vantrel.ini");
    {
        ScriptedMessageBoxes boxes;
        boxes.Answer(MsgResult::No);
        EXPECT_FALSE(RemoveAccount(1));
        EXPECT_EQ(boxes.Boxes().size(), 1u);
    }
    EXPECT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(m_data.Read("vantrel.ini"), before);
}

TEST_F(AccountStore, FailedRemovalKeepsTheRecord) {
    AddSavedAccount("one@example.com", FirstId);
    AddSavedAccount("two@example.com", SecondId);
    std::filesystem::remove(m_data.File("vantrel.ini"));
    std::filesystem::create_directory(m_data.File("vantrel.ini"));
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    EXPECT_THROW(RemoveAccount(1), std::runtime_error);
    ASSERT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(Accounts[0].EmailAddress, "one@example.com");
}

TEST_F(AccountStore, AliasesAreTrimmedSortedAndUnique) {
    struct Case {
        std::string file;
        std::vector<std::string> loaded;
    } cases[] = {
        {"x2\r\nX1\r\nx1\r\n\r\n", {"X1", "x2"}},
        {"\r\n\r\n  b@example.com\r\na@example.com  \r\n", {"a@example.com", "b@example.com"}}, // ends trimmed
        {"a@example.com  \r\nb@example.com\r\n", {"a@example.com  ", "b@example.com"}},         // only the ends
        {"b\na\rc", {"a", "b", "c"}},
        // Once the text's ends are trimmed, "\0 b" sorts first: trimmed as
        // well, so that the saved list loads back the same.
        {std::string("\0\0a\r\n\0 b\r\nc\t\r\n", 14), {"a", "b", "c"}},
        {"", {}},
        {"\r\n \r\n", {}},
    };
    for (const auto& c : cases) {
        Accounts.Clear();
        m_data.Write("vantrel.ini", std::string("[Settings]\r\nNumAccounts=1\r\n[Account1]\r\nID=") + FirstId + "\r\n");
        std::filesystem::create_directories(m_data.File(std::string("Accounts/") + FirstId));
        m_data.Write(std::string("Accounts/") + FirstId + "/aliases.dat", c.file);
        LoadAllAccounts();
        EXPECT_EQ(Accounts[0].Aliases.Strings(), c.loaded) << c.file;
    }
    SaveAccount(1);
    EXPECT_EQ(AliasFile(FirstId), "") << "an empty list gives an empty file";
    Accounts[0].Aliases.Assign({"x2", "X1", "x1"});
    EXPECT_TRUE(Accounts[0].Aliases.Contains("X2"));
    EXPECT_FALSE(Accounts[0].Aliases.Add("x3\r\n*"));
    EXPECT_FALSE(Accounts[0].Aliases.Add("x3\n"));
    EXPECT_FALSE(Accounts[0].Aliases.Contains("x3"));
    SaveAccount(1);
    EXPECT_EQ(AliasFile(FirstId), "X1\r\nx2\r\n");
}

TEST_F(AccountStore, MissingAliasFileLeavesAliasesEmpty) {
    m_data.Write("vantrel.ini", std::string("[Settings]\r\nNumAccounts=1\r\n[Account1]\r\nID=") + FirstId + "\r\n");
    AppendAccount().Aliases.Add("stale@example.com");
    LoadAccount(1);
    EXPECT_EQ(Accounts[0].Aliases.Count(), 0);
}

TEST_F(AccountStore, AnAliasFileThatCannotBeReadIsNeverReplaced) {
    AddSavedAccount("one@example.com", FirstId, {"a1@example.com"});
    AddSavedAccount("two@example.com", SecondId);
    // A name that cannot be read as a file: a link to a folder.
    std::string aliases = m_data.File(std::string("Accounts/") + FirstId + "/aliases.dat");
    std::filesystem::remove(aliases);
    std::filesystem::create_directory_symlink(m_data.Path(), aliases);
    LoadAllAccounts();
    ASSERT_TRUE(Accounts[0].AliasesUnreadable);
    Accounts[0].Aliases.Add("new@example.com");
    EXPECT_THROW(SaveAccount(1), std::runtime_error);
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    EXPECT_TRUE(RemoveAccount(2));
    EXPECT_TRUE(std::filesystem::is_symlink(aliases));
}

TEST_F(AccountStore, EditingOneAccountAndRemovingAnotherKeepsAliases) {
    AddSavedAccount("one@example.com", FirstId, {"a1@example.com"});
    AddSavedAccount("two@example.com", SecondId, {"b1@example.com", "b2@example.com"});
    AddSavedAccount("three@example.com", ThirdId, {"c1@example.com"});
    Accounts[0].Aliases.Add("a2@example.com");
    SaveAccount(1);
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Yes);
    ASSERT_TRUE(RemoveAccount(3));
    EXPECT_EQ(AliasFile(FirstId), "a1@example.com\r\na2@example.com\r\n");
    EXPECT_EQ(AliasFile(SecondId), "b1@example.com\r\nb2@example.com\r\n");
    LoadAllAccounts();
    ASSERT_EQ(Accounts.Count(), 2);
    EXPECT_EQ(Accounts[1].Aliases.Strings(), (std::vector<std::string>{"b1@example.com", "b2@example.com"}));
}

TEST_F(AccountStore, AccountFolderIsCreatedPrivate) {
    AppendAccount().ID = FirstId;
    AppendAccount();
    AppendAccount().ID = "../../escape";
    std::string folder = AccountFolder(0);
    EXPECT_EQ(folder, m_data.Path() + "/Accounts/" + FirstId);
    struct stat st {};
    ASSERT_EQ(::stat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    ASSERT_EQ(::stat(m_data.File("Accounts").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(AccountFolder(1), m_data.Path() + "/Accounts") << "an empty ID gives the Accounts folder";
    EXPECT_THROW(AccountFolder(2), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(m_data.File("../escape")));
    EXPECT_THROW(AccountFolder(3), std::out_of_range);
}

TEST_F(AccountStore, IndexIsKeptInTheAccountFolder) {
    Account& account = AppendAccount();
    account.ID = FirstId;
    account.Quarantine.Add("x@example.com", "X", CategorySpam, "{F}.dat", 45000.5, "Hi", "me@example.com");
    EXPECT_TRUE(SaveIndex(account));
    EXPECT_TRUE(FileExists(m_data.File(std::string("Accounts/") + FirstId + "/account2.dat")));

    Account& copy = AppendAccount();
    copy.ID = FirstId;
    EXPECT_TRUE(LoadIndex(copy));
    ASSERT_EQ(copy.Quarantine.Count(), 1);
    EXPECT_EQ(copy.Quarantine.Item(0).SenderAddress, "x@example.com");
    EXPECT_EQ(copy.Quarantine.Item(0).Category, CategorySpam);

    copy.ID = "..";
    EXPECT_FALSE(SaveIndex(copy));
    EXPECT_FALSE(LoadIndex(copy));
}
