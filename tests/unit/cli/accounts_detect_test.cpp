#include "cli_fixture.h"

#include "platform/registry_hive.h"
#include "test_paths.h"

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

// A Wine prefix holding Outlook's and Outlook Express's settings for one
// and the same account.
class AccountsDetectTest : public CliFixture {
protected:
    void SetUp() override {
        std::ifstream fixture(std::string(TEST_DATA_DIR) + "/registry/wine_outlook_user.reg", std::ios::binary);
        std::ostringstream content;
        content << fixture.rdbuf();
        m_prefix.Write("user.reg", content.str());
        ::setenv("WINEPREFIX", m_prefix.Path().c_str(), 1);
        ::unsetenv("EUDORA");
        ReloadRegistryHives();
    }
    void TearDown() override {
        ::unsetenv("WINEPREFIX");
        ReloadRegistryHives();
    }

    TempFolder m_prefix;
};

} // namespace

// Which accounts detection finds is account_detection_test.cpp's; here the
// command stores what it found and says whether anything was new.
TEST_F(AccountsDetectTest, StoresWhatItFindsAndSaysWhetherAnythingWasNew) {
    ASSERT_EQ(Run({"accounts", "detect"}), 0) << m_err;
    EXPECT_EQ(m_out, "Quorvane has detected new email account(s).  For security considerations, Quorvane does not "
                     "detect your email account password.  You must enter your email account password now, please "
                     "click OK to continue.\n");
    ASSERT_EQ(Run({"accounts", "detect"}), 0) << m_err;
    EXPECT_EQ(m_out, "Quorvane could not detect any new email accounts.\n");
    ASSERT_EQ(Run({"accounts", "list"}), 0);
    EXPECT_NE(m_out.find("1   alice@example.com"), std::string::npos) << m_out;
    EXPECT_NE(m_out.find("pop.example.com:110"), std::string::npos) << m_out;
}
