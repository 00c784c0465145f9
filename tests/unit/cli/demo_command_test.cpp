#include "cli/command_line.h"

#include "mail/delivery_passes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>

namespace {

class DemoCommand : public testing::Test {
protected:
    void SetUp() override { ::setenv("TMPDIR", m_tmp.Path().c_str(), 1); }
    void TearDown() override {
        ::unsetenv("TMPDIR");
        DeliveryConnection.reset();
    }

    int Run(std::vector<std::string> arguments) {
        std::istringstream in;
        std::ostringstream out, err;
        int status = RunCommand(arguments, in, out, err);
        m_out = out.str();
        m_err = err.str();
        return status;
    }

    // The demo's folders (the message model keeps a folder of its own there
    // for the life of the process).
    std::vector<std::string> Leftovers() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_tmp.Path()))
            if (entry.path().filename().string().rfind("quorvane-demo-", 0) == 0)
                names.push_back(entry.path().string());
        return names;
    }

    TempFolder m_tmp;
    std::string m_out, m_err;
};

TEST_F(DemoCommand, RunsTheWholeCycleAndCleansUp) {
    ASSERT_EQ(Run({"demo"}), 0) << m_err << m_out;
    for (const char* expected :
         {"Challenged Mail: ann@outside.test - Question about the bicycle",
          "Possible Automated Mail: news@lists.example.org", "Possible Viruses/Worms: parcel@couriers.example.net",
          "Obvious Spam: winner@lottery.example.biz", "Subject: Re: Question about the bicycl  [tarvo:",
          "2. Ann Archer <ann@outside.test> - Question about the bicycle", "  ann@outside.test\n"})
        EXPECT_NE(m_out.find(expected), std::string::npos) << expected;
    // Only the approved sender's message was left on the server by the first scan.
    size_t after = m_out.find("after the first scan");
    ASSERT_NE(after, std::string::npos);
    std::string firstInbox = m_out.substr(after, m_out.find("== The quarantine") - after);
    EXPECT_NE(firstInbox.find("1. Frank Friend"), std::string::npos);
    EXPECT_EQ(firstInbox.find("2. "), std::string::npos);
    EXPECT_TRUE(Leftovers().empty());
}

TEST_F(DemoCommand, KeepLeavesTheDataFolder) {
    ASSERT_EQ(Run({"demo", "--keep"}), 0) << m_err;
    std::vector<std::string> left = Leftovers();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_NE(m_out.find("The demo's folder is kept: " + left[0]), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(left[0] + "/data/log.txt"));
    EXPECT_TRUE(std::filesystem::exists(left[0] + "/data/WhiteList.dat"));
}

} // namespace
