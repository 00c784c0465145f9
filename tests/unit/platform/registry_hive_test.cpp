#include "platform/registry_hive.h"

#include "support/temp_folder.h"
#include "test_paths.h"

#include "platform/paths.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <set>

namespace {

std::string Fixture(const std::string& name) {
    std::string content;
    EXPECT_TRUE(ReadWholeFile(std::string(TEST_DATA_DIR) + "/registry/" + name, content)) << name;
    return content;
}

std::string Hex(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (unsigned char c : bytes) {
        text += digits[c >> 4];
        text += digits[c & 15];
    }
    return text;
}

// Every key path, value name, type and data of a tree, one line each.
void Describe(const RegistryKey& key, const std::string& path, std::string& out) {
    out += "[" + path + "]\n";
    for (const auto& name : key.ValueNames()) {
        const RegistryValue* value = key.Value(name);
        out += "  \"" + name + "\" " + std::to_string(value->Type) + " " + Hex(value->Data) + "\n";
    }
    for (const auto& name : key.SubKeyNames())
        Describe(*key.OpenKey(name), path.empty() ? name : path + "\\" + name, out);
}

std::string Describe(const RegistryHive& hive) {
    std::string out;
    Describe(hive.Root(), "", out);
    return out;
}

void KeyPaths(const RegistryKey& key, const std::string& path, std::set<std::string>& paths) {
    paths.insert(path);
    for (const auto& name : key.ValueNames())
        paths.insert(path + "|" + name);
    for (const auto& name : key.SubKeyNames()) {
        const RegistryKey* sub = key.OpenKey(name);
        ASSERT_NE(sub, nullptr) << "listed subkey cannot be opened: " << path << "\\" << name;
        KeyPaths(*sub, path + "\\" + name, paths);
    }
}

const char* const QuirksKey = "Software\\Wine\\Quirks";

class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : m_name(name) {
        if (const char* old = std::getenv(name)) {
            m_had = true;
            m_old = old;
        }
        if (value)
            ::setenv(name, value, 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        if (m_had)
            ::setenv(m_name.c_str(), m_old.c_str(), 1);
        else
            ::unsetenv(m_name.c_str());
    }

private:
    std::string m_name, m_old;
    bool m_had = false;
};

} // namespace

TEST(RegistryHive, WineUserRegHoldsTheSameDataAsRegedit4AndRegedit5) {
    RegistryHive wine = RegistryHive::FromText(Fixture("wine_user.reg"), "HKEY_CURRENT_USER");
    RegistryHive regedit4 = RegistryHive::FromText(Fixture("regedit4_user.reg"), "HKEY_CURRENT_USER");
    RegistryHive regedit5 = RegistryHive::FromText(Fixture("regedit5_user.reg"), "HKEY_CURRENT_USER");

    ASSERT_TRUE(wine.KeyExists(QuirksKey));
    EXPECT_EQ(Describe(wine), Describe(regedit4));
    EXPECT_EQ(Describe(wine), Describe(regedit5));
}

TEST(RegistryHive, ReadsEscapesUnicodeAndEveryValueForm) {
    for (const char* fixture : {"wine_user.reg", "regedit4_user.reg", "regedit5_user.reg"}) {
        SCOPED_TRACE(fixture);
        RegistryHive hive = RegistryHive::FromText(Fixture(fixture), "HKEY_CURRENT_USER");
        const RegistryKey* quirks = hive.OpenKey(QuirksKey);
        ASSERT_NE(quirks, nullptr);
        EXPECT_EQ(quirks->ReadString(""), "default text");
        EXPECT_EQ(quirks->ReadString("Say \"hi\""), "tab\there caf\xC3\xA9 \xC3\xA9"
                                                    "abc");
        EXPECT_EQ(quirks->ReadString("Unicode \xC3\x84"), "\xE2\x82\xAC 5");
        EXPECT_EQ(quirks->ReadString("Empty"), "");
        EXPECT_EQ(quirks->Value("Expand")->Type, RegExpandSz);
        EXPECT_EQ(quirks->ReadString("Expand"), "%USERPROFILE%\\Desktop");
        EXPECT_EQ(quirks->ReadMultiString("Multi"), (std::vector<std::string>{"first", "second"}));
        EXPECT_EQ(quirks->ReadInteger("Zero"), 0u);
        EXPECT_EQ(quirks->Value("Nothing")->Type, RegNone);
        EXPECT_EQ(quirks->ReadBinary("Qword", 8), std::string("\x01\0\0\0\0\0\0\0", 8));

        const RegistryKey* account =
            hive.OpenKey("\\Software\\Microsoft\\Windows Messaging Subsystem\\Profiles\\Outlook"
                         "\\9375CFF0413111d3B88A00104B2A6676\\00000002");
        ASSERT_NE(account, nullptr);
        EXPECT_EQ(account->ReadInteger("POP3 Port"), 110u);
        auto name = account->ReadBinary("Display Name", 260);
        ASSERT_TRUE(name);
        EXPECT_EQ(name->size(), 2 * std::string("Alice Liddell (home) <alice@example.org>").size() + 2);
        EXPECT_EQ(name->substr(0, 4), std::string("A\0l\0", 4));

        auto folders = hive.OpenKey("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders");
        ASSERT_NE(folders, nullptr);
        EXPECT_EQ(folders->ReadString("AppData"), "C:\\users\\alice\\AppData\\Roaming");
    }
}

TEST(RegistryHive, NamesIgnoreCaseAndSubkeysKeepStoredOrder) {
    RegistryHive hive = RegistryHive::FromText(Fixture("wine_user.reg"), "HKEY_CURRENT_USER");
    const RegistryKey* software = hive.OpenKey("SOFTWARE");
    ASSERT_NE(software, nullptr);
    EXPECT_EQ(software->SubKeyNames(), (std::vector<std::string>{"Microsoft", "Qualcomm", "Wine"}));
    EXPECT_TRUE(hive.KeyExists("software\\QUALCOMM\\eudora\\commandline\\"));
    EXPECT_TRUE(software->HasSubKey("qualcomm\\EUDORA"));
    const RegistryKey* quirks = hive.OpenKey(QuirksKey);
    EXPECT_EQ(quirks->ValueNames().front(), "");
    EXPECT_EQ(quirks->ReadString("EXPAND"), "%USERPROFILE%\\Desktop");
    EXPECT_FALSE(hive.KeyExists("Software\\Qualcomm\\Eudora\\Missing"));
}

TEST(RegistryHive, RegeditFormsTakeOnlyTheRequestedRoot) {
    std::string text = Fixture("regedit4_user.reg");
    RegistryHive user = RegistryHive::FromText(text, "HKEY_CURRENT_USER");
    RegistryHive machine = RegistryHive::FromText(text, "HKLM");
    EXPECT_FALSE(user.KeyExists("Software\\Microsoft\\WAB\\DLLPath"));
    ASSERT_TRUE(machine.KeyExists("Software\\Microsoft\\WAB\\DLLPath"));
    EXPECT_EQ(machine.OpenKey("Software\\Microsoft\\WAB\\DLLPath")->ReadString(""),
              "C:\\Program Files\\Common Files\\System\\wab32.dll");
    EXPECT_FALSE(machine.KeyExists("Software\\Wine"));
}

TEST(RegistryHive, ReadsCheckTypeAndSize) {
    RegistryHive hive = RegistryHive::FromText("WINE REGISTRY Version 2\n[Key]\n\"S\"=\"text\"\n\"D\"=dword:00000010\n"
                                               "\"B\"=hex:01,02,03,04\n\"Short\"=hex(4):01,02\n",
                                               "HKEY_CURRENT_USER");
    const RegistryKey* key = hive.OpenKey("Key");
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("D"), std::nullopt);
    EXPECT_EQ(key->ReadInteger("S"), std::nullopt);
    EXPECT_EQ(key->ReadInteger("Short"), std::nullopt);
    EXPECT_EQ(key->ReadBinary("S", 100), std::nullopt);
    EXPECT_EQ(key->ReadBinary("D", 100), std::nullopt);
    EXPECT_EQ(key->ReadBinary("B", 3), std::nullopt);
    EXPECT_EQ(key->ReadBinary("B", 4), std::string("\x01\x02\x03\x04"));
    EXPECT_EQ(key->ReadInteger("D"), 16u);
    EXPECT_EQ(key->ReadString("Missing"), std::nullopt);
}

struct ValueCase {
    const char* Header;
    const char* Line;
    bool Stored;
    uint32_t Type;
    std::string Data;
};

TEST(RegistryHive, ParsesValueLines) {
    const char* wine = "WINE REGISTRY Version 2\n[K] 1\n";
    const char* r4 = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n";
    const char* r5 = "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\K]\n";
    const ValueCase cases[] = {
        {wine, "\"V\"=dword:6e", true, RegDword, std::string("\x6e\0\0\0", 4)},
        {wine, "\"V\"=dword:123456789", false, 0, ""},
        {wine, "\"V\"=dword:xyz", false, 0, ""},
        {wine, "\"V\"=dword:", false, 0, ""},
        {wine, "\"V\" = \"spaced\"", true, RegSz, "spaced"},
        {wine, "\"V\"=\"oct\\001al\\0end\"", true, RegSz,
         "oct\x01"
         "al"},
        {wine, "\"V\"=\"no digits \\xyz\"", true, RegSz, "no digits xyz"},
        {wine, "\"V\"=\"unterminated", false, 0, ""},
        {wine, "\"V\"=\"trailing\" junk", false, 0, ""},
        {wine, "\"V\"=hex(2):41,00,42,00,00,00", true, RegExpandSz, "AB"},
        {wine, "\"V\"=hex(7):41,00,00,00,42,00,00,00,00,00", true, RegMultiSz, std::string("A\0B", 3)},
        {wine, "\"V\"=hex(1):3d,d8,00,de,00,00", true, RegSz, "\xF0\x9F\x98\x80"},
        {wine, "\"V\"=hex(1):00,d8,41,00", true, RegSz,
         "\xEF\xBF\xBD"
         "A"},
        {wine, "\"V\"=str(2):\"%A%\"", true, RegExpandSz, "%A%"},
        {wine, "\"V\"=str(7):\"x\\0y\\0\"", true, RegMultiSz, std::string("x\0y", 3)},
        {wine, "\"V\"=hex: 0a , 0B ,0c", true, RegBinary, "\x0a\x0b\x0c"},
        {wine, "\"V\"=hex:0a,0", false, 0, ""},
        {wine, "\"V\"=hex:0a;0b", false, 0, ""},
        {wine, "\"V\"=hex(zz):00", false, 0, ""},
        {wine, "\"V\"=bogus", false, 0, ""},
        {wine, "\"V\"=-", false, 0, ""},
        {r4, "\"V\"=hex(2):41,42,00", true, RegExpandSz, "AB"},
        {r4, "\"V\"=hex(7):41,00,42,00,00", true, RegMultiSz, std::string("A\0B", 3)},
        {r4, "\"V\"=\"a\\\\b\\\"c\"", true, RegSz, "a\\b\"c"},
        {r5, "\"V\"=hex(2):41,00,42,00,00,00", true, RegExpandSz, "AB"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Header) + c.Line);
        RegistryHive hive = RegistryHive::FromText(std::string(c.Header) + c.Line + "\n", "HKEY_CURRENT_USER");
        const RegistryKey* key = hive.OpenKey("K");
        ASSERT_NE(key, nullptr);
        const RegistryValue* value = key->Value("V");
        ASSERT_EQ(value != nullptr, c.Stored);
        if (value) {
            EXPECT_EQ(value->Type, c.Type);
            EXPECT_EQ(value->Data, c.Data);
        }
    }
}

TEST(RegistryHive, RegeditDeletionsRemoveKeysAndValues) {
    RegistryHive hive = RegistryHive::FromText("REGEDIT4\n\n[HKEY_CURRENT_USER\\A\\B]\n\"x\"=\"1\"\n\"y\"=\"2\"\n"
                                               "[HKEY_CURRENT_USER\\A\\C]\n[HKEY_CURRENT_USER\\A\\D]\n"
                                               "[HKEY_CURRENT_USER\\A\\B]\n\"X\"=-\n[-HKEY_CURRENT_USER\\A\\C]\n",
                                               "HKEY_CURRENT_USER");
    ASSERT_TRUE(hive.KeyExists("A\\B"));
    EXPECT_FALSE(hive.OpenKey("A\\B")->ValueExists("x"));
    EXPECT_EQ(hive.OpenKey("A\\B")->ReadString("y"), "2");
    EXPECT_EQ(hive.OpenKey("A")->SubKeyNames(), (std::vector<std::string>{"B", "D"}));
    EXPECT_TRUE(hive.KeyExists("A\\D"));
}

TEST(RegistryHive, ManyDeletionsKeepTheRestInOrder) {
    const int keys = 20000;
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < keys; ++i)
        text += "[HKEY_CURRENT_USER\\A\\K" + std::to_string(i) + "]\n";
    text += "[HKEY_CURRENT_USER\\V]\n";
    for (int i = 0; i < keys; ++i)
        text += "\"v" + std::to_string(i) + "\"=\"" + std::to_string(i) + "\"\n";
    for (int i = 0; i < keys; ++i)
        if (i % 3 != 0)
            text += "[-HKEY_CURRENT_USER\\A\\k" + std::to_string(i) + "]\n[HKEY_CURRENT_USER\\V]\n\"V" +
                    std::to_string(i) + "\"=-\n";
    text += "[HKEY_CURRENT_USER\\A\\K1]\n[HKEY_CURRENT_USER\\V]\n\"v1\"=\"again\"\n";
    RegistryHive hive = RegistryHive::FromText(text, "HKEY_CURRENT_USER");

    std::vector<std::string> expectedKeys, expectedValues;
    for (int i = 0; i < keys; i += 3) {
        expectedKeys.push_back("K" + std::to_string(i));
        expectedValues.push_back("v" + std::to_string(i));
    }
    expectedKeys.push_back("K1"); // created again: it goes last
    expectedValues.push_back("v1");
    EXPECT_EQ(hive.OpenKey("A")->SubKeyNames(), expectedKeys);
    EXPECT_EQ(hive.OpenKey("V")->ValueNames(), expectedValues);
    EXPECT_FALSE(hive.KeyExists("A\\K2"));
    EXPECT_TRUE(hive.KeyExists("A\\k19998"));
    EXPECT_FALSE(hive.OpenKey("V")->ValueExists("v19997"));
    EXPECT_EQ(hive.OpenKey("V")->ReadString("V19998"), "19998");
    EXPECT_EQ(hive.OpenKey("V")->ReadString("v1"), "again");
}

TEST(RegistryHive, ValuesBeforeAnyKeyOrUnderAnotherRootAreSkipped) {
    RegistryHive hive = RegistryHive::FromText("REGEDIT4\n\"Lost\"=\"x\"\n[HKEY_USERS\\K]\n\"Other\"=\"y\"\n"
                                               "[HKEY_CURRENT_USER\\K]\n\"Kept\"=\"z\"\n",
                                               "HKEY_CURRENT_USER");
    EXPECT_TRUE(hive.Root().ValueNames().empty());
    ASSERT_TRUE(hive.KeyExists("K"));
    EXPECT_EQ(hive.OpenKey("K")->ValueNames(), (std::vector<std::string>{"Kept"}));
}

TEST(RegistryHive, TextOfAnotherFormIsAnEmptyHive) {
    for (const char* text :
         {"", "REGEDIT5\n[HKEY_CURRENT_USER\\K]\n", "\n[K]\n\"a\"=\"b\"\n", "[Settings]\nx=1\n", "\xFF\xFE",
          "\xFF\xFE"
          "R\0"}) {
        RegistryHive hive = RegistryHive::FromText(std::string(text), "HKEY_CURRENT_USER");
        EXPECT_FALSE(hive.Root().HasSubKeys()) << text;
    }
}

TEST(RegistryHive, TruncatedBinaryValueDoesNotSwallowTheNextKey) {
    RegistryHive hive = RegistryHive::FromText(
        "WINE REGISTRY Version 2\n[A] 1\n\"Bin\"=hex:01,02,\\\n[B] 2\n\"After\"=dword:00000001\n", "HKEY_CURRENT_USER");
    ASSERT_TRUE(hive.KeyExists("B"));
    EXPECT_EQ(hive.OpenKey("B")->ReadInteger("After"), 1u);
    EXPECT_FALSE(hive.OpenKey("A")->ValueExists("Bin"));
}

TEST(RegistryHive, KeyPathsDeeperThanTheRegistryAllowsAreRefused) {
    std::string deep = "WINE REGISTRY Version 2\n[";
    for (int i = 0; i < 100000; ++i)
        deep += "k\\\\";
    deep += "end]\n\"v\"=\"1\"\n[Fine] 1\n\"w\"=\"2\"\n";
    RegistryHive hive = RegistryHive::FromText(deep, "HKEY_CURRENT_USER");
    EXPECT_FALSE(hive.KeyExists("k"));
    EXPECT_EQ(hive.OpenKey("Fine")->ReadString("w"), "2");
}

// Every prefix of a valid file yields a part of its keys and values (never
// anything invented), and every listed subkey can be opened by its name.
TEST(RegistryHive, EveryTruncationOfAWineFileYieldsAPartOfIt) {
    std::string text = Fixture("wine_user.reg");
    std::set<std::string> full;
    KeyPaths(RegistryHive::FromText(text, "HKEY_CURRENT_USER").Root(), "", full);
    for (size_t length = 0; length <= text.size(); ++length) {
        std::set<std::string> part;
        KeyPaths(RegistryHive::FromText(text.substr(0, length), "HKEY_CURRENT_USER").Root(), "", part);
        for (const auto& path : part)
            ASSERT_TRUE(full.count(path)) << "cut at " << length << " invented " << path;
    }
}

TEST(RegistryHive, GarbledFilesNeverBreakTheTree) {
    const std::string sources[] = {Fixture("wine_user.reg"), Fixture("regedit4_user.reg"),
                                   Fixture("regedit5_user.reg")};
    const char noise[] = {'\\', '"', '[', ']', '\0', '\n', '\r', ',', ':', '=', '@', 'x', '(', ')', '\xFF', '\xD8'};
    std::mt19937 random(20240611);
    for (int round = 0; round < 3000; ++round) {
        std::string text = sources[round % 3];
        int edits = 1 + static_cast<int>(random() % 12);
        for (int e = 0; e < edits && !text.empty(); ++e) {
            size_t at = random() % text.size();
            switch (random() % 3) {
            case 0:
                text[at] = noise[random() % sizeof noise];
                break;
            case 1:
                text.insert(at, 1, noise[random() % sizeof noise]);
                break;
            default:
                text.erase(at, 1 + random() % 40);
                break;
            }
        }
        RegistryHive hive = RegistryHive::FromText(text, "HKEY_CURRENT_USER");
        std::set<std::string> paths;
        KeyPaths(hive.Root(), "", paths);
        if (::testing::Test::HasFatalFailure())
            FAIL() << "round " << round;
    }
}

TEST(RegistryHive, ProcessHivesComeFromTheWinePrefix) {
    TempFolder prefix;
    prefix.Write("user.reg", Fixture("wine_user.reg"));
    prefix.Write("system.reg",
                 "WINE REGISTRY Version 2\n[Software\\\\Microsoft\\\\WAB\\\\DLLPath] 1\n@=\"wab32.dll\"\n");
    {
        ScopedEnvironment environment("WINEPREFIX", prefix.Path().c_str());
        ReloadRegistryHives();
        EXPECT_TRUE(CurrentUserHive().KeyExists(QuirksKey));
        EXPECT_EQ(LocalMachineHive().OpenKey("Software\\Microsoft\\WAB\\DLLPath")->ReadString(""), "wab32.dll");
    }
    ScopedEnvironment missing("WINEPREFIX", (prefix.Path() + "/missing").c_str());
    // Read once; a changed prefix needs a reload.
    EXPECT_TRUE(CurrentUserHive().KeyExists(QuirksKey));
    ReloadRegistryHives();
    EXPECT_FALSE(CurrentUserHive().Root().HasSubKeys());
    EXPECT_FALSE(LocalMachineHive().Root().HasSubKeys());
}

TEST(RegistryHive, FromFileOfAMissingFileIsEmpty) {
    TempFolder folder;
    EXPECT_FALSE(RegistryHive::FromFile(folder.File("none.reg"), "HKEY_CURRENT_USER").Root().HasSubKeys());
    EXPECT_FALSE(RegistryHive::FromFile(folder.Path(), "HKEY_CURRENT_USER").Root().HasSubKeys());
}
