#include "records/window_state.h"

#include "platform/data_folder.h"
#include "records/ini_document.h"
#include "support/scripted_message_boxes.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class WindowState : public ::testing::Test {
protected:
    void SetUp() override { SetDataFolderOverride(m_data.Path()); }
    void TearDown() override { SetDataFolderOverride(""); }

    WindowGeometry Loaded(const std::string& settings, WorkArea area = {1024, 768}) {
        m_data.Write("vantrel.ini", "[Settings]\r\n" + settings);
        WindowGeometry geometry;
        LoadWindowState(geometry, area);
        return geometry;
    }

    TempFolder m_data;
};

} // namespace

TEST_F(WindowState, NoSettingsFileGivesDesignedSizeAtBottomRight) {
    WindowGeometry geometry;
    geometry.ColumnWidths = {180, 210, 90}; // the columns' current widths are the defaults
    LoadWindowState(geometry, {1280, 1000});
    EXPECT_EQ(geometry.Width, 600);
    EXPECT_EQ(geometry.Height, 400);
    EXPECT_EQ(geometry.Left, 680);
    EXPECT_EQ(geometry.Top, 600);
    EXPECT_TRUE(geometry.Maximized);
    EXPECT_EQ(geometry.SortColumn, -1);
    EXPECT_EQ(geometry.SortDirection, -1);
    EXPECT_EQ(geometry.ColumnWidths, (std::array<int, 3>{180, 210, 90}));
    EXPECT_EQ(geometry.ColumnMinimumZero, (std::array<bool, 3>{false, false, false}));
}

TEST_F(WindowState, KeepsTheWindowOnTheWorkArea) {
    struct Case {
        const char* settings;
        int left, top, width, height;
    } cases[] = {
        {"Left=5000\r\nTop=10\r\n", 424, 10, 600, 400},                             // 1024 - 600
        {"Left=-10\r\nTop=-5\r\n", 0, 0, 600, 400},                                 // negative becomes 0
        {"Left=20\r\nTop=5000\r\n", 20, 368, 600, 400},                             // 768 - 400
        {"Left=1024\r\nTop=768\r\n", 1024, 768, 600, 400},                          // at the edge is not beyond it
        {"Width=800\r\nHeight=500\r\n", 224, 268, 800, 500},                        // defaults follow the stored size
        {"Width=2000\r\nHeight=900\r\nLeft=5000\r\nTop=5000\r\n", 0, 0, 2000, 900}, // larger than the work area
        {"Width=300\r\nHeight=0x64\r\nLeft=0\r\nTop=0\r\n", 0, 0, 600, 400},        // never below the minimum size
        {"Left=abc\r\nTop=\r\n", 424, 368, 600, 400},                               // unparsable: defaults
    };
    for (const auto& c : cases) {
        WindowGeometry geometry = Loaded(c.settings);
        EXPECT_EQ(geometry.Left, c.left) << c.settings;
        EXPECT_EQ(geometry.Top, c.top) << c.settings;
        EXPECT_EQ(geometry.Width, c.width) << c.settings;
        EXPECT_EQ(geometry.Height, c.height) << c.settings;
    }
}

TEST_F(WindowState, StoredZeroWidthKeepsColumnHidden) {
    WindowGeometry geometry = Loaded("Column1=0\r\nColumn2=150\r\nMaximized=0\r\nSortColumn=2\r\nSortDirection=1\r\n");
    EXPECT_EQ(geometry.ColumnWidths, (std::array<int, 3>{0, 150, 100}));
    EXPECT_EQ(geometry.ColumnMinimumZero, (std::array<bool, 3>{true, false, false}));
    EXPECT_FALSE(geometry.Maximized);
    EXPECT_EQ(geometry.SortColumn, 2);
    EXPECT_EQ(geometry.SortDirection, 1);
}

TEST_F(WindowState, SaveWritesEveryKeyAndKeepsOtherLines) {
    m_data.Write("vantrel.ini", "; mine\r\n[Settings]\r\nTimeout=45\r\nWidth=1\r\n\r\n[Account1]\r\nPort=995\r\n");
    WindowGeometry saved;
    saved.Left = 12;
    saved.Top = 34;
    saved.Width = 700;
    saved.Height = 450;
    saved.Maximized = false;
    saved.SortColumn = 1;
    saved.SortDirection = -1;
    saved.ColumnWidths = {0, 220, 90};
    SaveWindowState(saved);
    EXPECT_EQ(m_data.Read("vantrel.ini"), "; mine\r\n[Settings]\r\nTimeout=45\r\nWidth=700\r\nLeft=12\r\nTop=34\r\n"
                                          "Height=450\r\nSortColumn=1\r\nSortDirection=-1\r\nColumn1=0\r\n"
                                          "Column2=220\r\nColumn3=90\r\nMaximized=0\r\n\r\n[Account1]\r\nPort=995\r\n");

    WindowGeometry loaded;
    LoadWindowState(loaded, {1024, 768});
    EXPECT_EQ(loaded.Left, 12);
    EXPECT_EQ(loaded.Top, 34);
    EXPECT_EQ(loaded.Width, 700);
    EXPECT_EQ(loaded.Height, 450);
    EXPECT_FALSE(loaded.Maximized);
    EXPECT_EQ(loaded.SortColumn, 1);
    EXPECT_EQ(loaded.ColumnWidths, saved.ColumnWidths);
    EXPECT_EQ(loaded.ColumnMinimumZero, (std::array<bool, 3>{true, false, false}));
}

TEST_F(WindowState, SaveFailureIsShownAsErrorBox) {
    std::filesystem::create_directory(m_data.File("vantrel.ini"));
    ScriptedMessageBoxes boxes;
    boxes.Answer(MsgResult::Ok);
    SaveWindowState(WindowGeometry());
    ASSERT_EQ(boxes.Boxes().size(), 1u);
    const auto& box = boxes.Boxes()[0];
    EXPECT_NE(box.text.find("vantrel.ini"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find("Is a directory"), std::string::npos) << box.text;
    EXPECT_EQ(box.title, "Error");
    EXPECT_EQ(box.buttons, MsgButtons::Ok);
    EXPECT_EQ(box.icon, MsgIcon::Error);
    EXPECT_TRUE(std::filesystem::is_directory(m_data.File("vantrel.ini")));
}
