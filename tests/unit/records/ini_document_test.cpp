#include "records/ini_document.h"

#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace {

std::string Fixture(const std::string& name) {
    std::ifstream in(std::string(TEST_DATA_DIR) + "/settings/" + name, std::ios::binary);
    std::ostringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

} // namespace

TEST(ParseIniInteger, DecimalAndHexadecimal) {
    struct Case {
        const char* text;
        std::optional<int> expected;
    } cases[] = {
        {"10", 10},
        {" 10 ", 10},
        {"-5", -5},
        {"+7", 7},
        {"0x1E", 30},
        {"0XfF", 255},
        {"0xFFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"2147483648", std::nullopt},
        {"0x123456789", std::nullopt},
        {"0x", std::nullopt},
        {"12abc", std::nullopt},
        {"1.5", std::nullopt},
        {"+-1", std::nullopt},
        {"+", std::nullopt},
        {"", std::nullopt},
        {"true", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseIniInteger(c.text), c.expected) << '"' << c.text << '"';
}

TEST(IniDocument, ReadsHandEditedFileWithWindowsRules) {
    IniDocument ini;
    ini.LoadFromText(Fixture("hand-edited.ini"));
    EXPECT_TRUE(ini.ReadBool("Settings", "AutoScan", false)) << "names match without regard to case";
    EXPECT_EQ(ini.ReadString("SETTINGS", "AUTOSCAN", ""), "1") << "value trimmed";
    EXPECT_EQ(ini.ReadInteger("Settings", "AutoScanMin", 10), 30);
    EXPECT_EQ(ini.ReadInteger("Settings", "Timeout", 60), 60) << "the first Timeout (abc) wins and does not parse";
    EXPECT_TRUE(ini.ReadBool("Settings", "CheckUpdate", true)) << "keys of a repeated section are not seen";
    EXPECT_FALSE(ini.ValueExists("Settings", "CheckUpdate"));
    EXPECT_EQ(ini.ReadInteger("Account1", "Port", 110), -1);
    EXPECT_FALSE(ini.ValueExists("Settings", "a hash comment"));
    EXPECT_FALSE(ini.ValueExists("Settings", "stray line without equals"));
    EXPECT_TRUE(ini.SectionExists("account1"));
    EXPECT_FALSE(ini.SectionExists("Account2"));
    EXPECT_EQ(ini.ReadString("Account2", "EmailAddress", "none"), "none");
}

TEST(IniDocument, BooleansAreAnyNonZeroInteger) {
    IniDocument ini;
    ini.LoadFromText("[S]\nTwo=2\nZero=0\nMinus=-1\nWord=yes\n");
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "Minus", false));
    EXPECT_FALSE(ini.ReadBool("S", "Word", false));
    EXPECT_TRUE(ini.ReadBool("S", "Word", true));
    ini.WriteBool("S", "Two", false);
    ini.WriteBool("S", "New", true);
    EXPECT_EQ(ini.Text(), "[S]\r\nTwo=0\r\nZero=0\r\nMinus=-1\r\nWord=yes\r\nNew=1\r\n");
}

TEST(IniDocument, UnchangedDocumentSavesByteForByte) {
    TempFolder folder;
    folder.Write("vantrel.ini", Fixture("hand-edited.ini"));
    IniDocument ini;
    ini.LoadFromFile(folder.File("vantrel.ini"));
    ini.WriteBool("Settings", "AutoScan", true); // same value: the odd spacing stays
    ini.WriteString("Account1", "EmailAddress", "me@example.com");
    ini.SaveToFile(folder.File("copy.ini"));
    EXPECT_EQ(folder.Read("copy.ini"), Fixture("hand-edited.ini"));
}

TEST(IniDocument, WritingKeepsEveryOtherLine) {
    IniDocument ini;
    ini.LoadFromText(Fixture("hand-edited.ini"));
    ini.WriteInteger("settings", "AUTOSCANMIN", 45);
    ini.WriteInteger("Settings", "Timeout", 120);
    ini.WriteString("Account1", "Server", "pop.example.com");
    ini.WriteBool("Settings", "NoChallenge", true);
    ini.WriteInteger("Account2", "Port", 995);

    std::string expected = Fixture("hand-edited.ini");
    expected = Replaced(expected, "AutoScanMin=0x1E\r\n", "AutoScanMin=45\r\n");
    expected = Replaced(expected, "Timeout=abc\r\nTimeout=90\r\n", "Timeout=120\r\nTimeout=90\r\nNoChallenge=1\r\n");
    expected = Replaced(expected, "Port=-1\r\n", "Port=-1\r\nServer=pop.example.com\r\n");
    expected += "[Account2]\r\nPort=995\r\n";
    EXPECT_EQ(ini.Text(), expected);
    EXPECT_EQ(ini.ReadInteger("Settings", "Timeout", 0), 120);
}

TEST(IniDocument, NewKeyOfEmptySectionFollowsItsHeader) {
    IniDocument ini;
    ini.LoadFromText("[A]\r\n\r\n; about B\r\n[B]\r\nx=1\r\n");
    ini.WriteString("A", "k", "v");
    EXPECT_EQ(ini.Text(), "[A]\r\nk=v\r\n\r\n; about B\r\n[B]\r\nx=1\r\n");
}

TEST(IniDocument, ReadsEveryLineEndAndWritesCrLf) {
    for (const char* text :
         {"[S]\r\nA=1\r\nB=two\r\n", "[S]\nA=1\nB=two\n", "[S]\rA=1\rB=two\r", "[S]\nA=1\r\nB=two"}) {
        IniDocument ini;
        ini.LoadFromText(text);
        EXPECT_EQ(ini.ReadInteger("S", "A", 0), 1) << text;
        EXPECT_EQ(ini.ReadString("S", "B", ""), "two") << text;
        EXPECT_EQ(ini.Text(), "[S]\r\nA=1\r\nB=two\r\n") << text;
    }
}

TEST(IniDocument, ByteOrderMarkDoesNotHideFirstSection) {
    IniDocument ini;
    ini.LoadFromText("\xEF\xBB\xBF[Settings]\nAutoScan=1\n");
    EXPECT_TRUE(ini.ReadBool("Settings", "AutoScan", false));
    EXPECT_EQ(ini.Text(), "\xEF\xBB\xBF[Settings]\r\nAutoScan=1\r\n");
}

TEST(IniDocument, ValueCannotForgeLines) {
    IniDocument ini;
    ini.WriteString("Settings", "EmailClient", "mutt\r\n[Account1]\nPassword=x");
    IniDocument reread;
    reread.LoadFromText(ini.Text());
    EXPECT_FALSE(reread.SectionExists("Account1"));
    EXPECT_EQ(reread.ReadString("Settings", "EmailClient", ""), "mutt  [Account1] Password=x");
}

TEST(IniDocument, MissingFileIsEmptyAndNewFileEndsInCrLf) {
    TempFolder folder;
    IniDocument ini;
    ini.LoadFromText("[Old]\r\nx=1\r\n");
    ini.LoadFromFile(folder.File("missing.ini"));
    EXPECT_FALSE(ini.SectionExists("Old"));
    EXPECT_EQ(ini.ReadInteger("Settings", "Timeout", 60), 60);
    ini.WriteInteger("Settings", "Timeout", 45);
    ini.SaveToFile(folder.File("new.ini"));
    EXPECT_EQ(folder.Read("new.ini"), "[Settings]\r\nTimeout=45\r\n");
    EXPECT_EQ(std::filesystem::status(folder.File("new.ini")).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST(IniDocument, UnreadableFileRaisesInsteadOfLookingEmpty) {
    TempFolder folder;
    std::filesystem::create_directory(folder.File("vantrel.ini"));
    IniDocument ini;
    EXPECT_THROW(ini.LoadFromFile(folder.File("vantrel.ini")), std::runtime_error);
}

TEST(IniDocument, FailedSaveRaisesWithSystemText) {
    TempFolder folder;
    IniDocument ini;
    ini.WriteString("S", "K", "V");
    EXPECT_THROW(ini.SaveToFile(folder.File("no-such-folder/vantrel.ini")), std::runtime_error);

    std::filesystem::create_directory(folder.File("blocker"));
    try {
        ini.SaveToFile(folder.File("blocker"));
        ADD_FAILURE() << "saving over a folder must fail";
    } catch (const std::runtime_error& error) {
        EXPECT_NE(std::string(error.what()).find("Is a directory"), std::string::npos) << error.what();
    }
    EXPECT_TRUE(std::filesystem::is_directory(folder.File("blocker")));
}
