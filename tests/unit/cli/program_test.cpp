#include "platform/paths.h"
#include "support/run_program.h"
#include "support/temp_folder.h"
#include "test_paths.h"

#include <gtest/gtest.h>

namespace {

TEST(Program, AddsAndShowsAnApprovedSender) {
    TempFolder data;
    int status = -1;
    RunProgram("--data-dir " + data.Path() + " lists add approved Foo@Example.COM", status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(RunProgram("--data-dir " + data.Path() + " lists show approved", status), "foo@example.com\n");
    EXPECT_EQ(status, 0);
    EXPECT_EQ(data.Read("WhiteList.dat"), "foo@example.com\r\n");
}

TEST(Program, RefusesAnInvalidAddressWithStatusOne) {
    TempFolder data;
    int status = -1;
    std::string output = RunProgram("--data-dir " + data.Path() + " lists add blocked 'a@b'", status);
    EXPECT_EQ(output, "\"a@b\" is not a valid email address, please try again\n");
    EXPECT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_FALSE(FileExists(data.File("BlackList.dat")));
}

} // namespace
