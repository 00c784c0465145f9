#include "challenge/quarantine_view.h"

#include "quarantine_fixture.h"

#include <vector>

namespace {

class QuarantineViewTest : public QuarantineFixture {
protected:
    std::vector<std::string> Subjects() const {
        std::vector<std::string> subjects;
        for (const QuarantineRow& row : m_view.Rows())
            subjects.push_back(row.Subject);
        return subjects;
    }
    std::vector<std::string> Captions() const {
        std::vector<std::string> captions;
        for (const QuarantineRow& row : m_view.Rows())
            captions.push_back(row.Caption);
        return captions;
    }

    QuarantineView m_view;
};

SerialDateTime Day(int day) {
    return EncodeDateTime({2024, 5, day, 9, 30, 0, 0});
}

TEST_F(QuarantineViewTest, FillShowsTheCurrentCategoryNewestFirst) {
    AddAccount("me@example.com");
    Quarantine(0, "a@example.org", "first", CategoryChallenged, Day(1), "Ann");
    Quarantine(0, "list@example.org", "list", CategoryAutomated);
    Quarantine(0, "b@example.org", "second", CategoryChallenged, Day(2));
    m_view.Fill();
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"second", "first"}));
    EXPECT_EQ(Captions(), (std::vector<std::string>{"b@example.org", "Ann"}));
    EXPECT_EQ(m_view.Rows()[1].DateText, ShortDateText(Day(1)));

    m_view.SetCurrentCategory(CategoryAutomated);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"list"}));
}

TEST_F(QuarantineViewTest, HeaderClicksSortAscendingThenDescendingAndOrderReceivedRestores) {
    AddAccount("me@example.com");
    Quarantine(0, "a@example.org", "beta", CategoryChallenged, Day(3));
    Quarantine(0, "b@example.org", "Alpha", CategoryChallenged, Day(1));
    Quarantine(0, "c@example.org", "gamma", CategoryChallenged, Day(2));
    m_view.Fill();

    m_view.ToggleSortColumn(QuarantineView::SortSubject);
    EXPECT_EQ(m_view.SortDirection(), QuarantineView::Ascending);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"Alpha", "beta", "gamma"}));
    m_view.ToggleSortColumn(QuarantineView::SortSubject);
    EXPECT_EQ(m_view.SortDirection(), QuarantineView::Descending);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"gamma", "beta", "Alpha"}));

    m_view.SortBy(QuarantineView::SortDate, QuarantineView::Descending);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"beta", "gamma", "Alpha"}));
    m_view.SetOrderReceived();
    EXPECT_EQ(m_view.SortColumn(), QuarantineView::OrderReceived);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"gamma", "Alpha", "beta"}));
}

TEST_F(QuarantineViewTest, EqualKeysStayNewestFirstAndSelectionFollowsTheRows) {
    AddAccount("me@example.com");
    Quarantine(0, "x@example.org", "old", CategoryChallenged, Day(5));
    Quarantine(0, "y@example.org", "new", CategoryChallenged, Day(5));
    Quarantine(0, "z@example.org", "early", CategoryChallenged, Day(1));
    m_view.Fill();
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"early", "new", "old"}));
    m_view.Select(1); // "new"
    m_view.SortBy(QuarantineView::SortDate, QuarantineView::Descending);
    EXPECT_EQ(Subjects(), (std::vector<std::string>{"new", "old", "early"}));
    EXPECT_EQ(m_view.SelectedRows(), std::vector<int>{0});
    ASSERT_NE(m_view.SelectedEntry(), nullptr);
    EXPECT_EQ(m_view.SelectedEntry()->Subject, "new");
}

TEST_F(QuarantineViewTest, CommandsFollowTheSelection) {
    AddAccount("me@example.com");
    Quarantine(0, "a@example.org", "one");
    Quarantine(0, "b@example.org", "two");
    m_view.Fill();
    EXPECT_FALSE(m_view.ActionsEnabled());
    m_view.Select(0);
    EXPECT_TRUE(m_view.PreviewEnabled());
    m_view.Select(1);
    EXPECT_FALSE(m_view.PreviewEnabled());
    EXPECT_TRUE(m_view.ActionsEnabled());
    m_view.Select(7);
    EXPECT_EQ(m_view.SelectedCount(), 2);
    m_view.Fill();
    EXPECT_EQ(m_view.SelectedCount(), 0);
}

TEST_F(QuarantineViewTest, CaptionsCountPerAccountAndCategory) {
    Account& first = AddAccount("me@example.com");
    first.ReplyAddress = "reply@example.com";
    Account& second = AddAccount("other@example.com");
    second.Enabled = false;
    Quarantine(0, "a@example.org", "one", CategoryChallenged);
    Quarantine(0, "b@example.org", "two", CategorySpam);
    Quarantine(0, "c@example.org", "three", 7);
    Quarantine(1, "d@example.org", "four", CategorySpam);
    m_view.Fill();
    EXPECT_EQ(m_view.AccountCaption(0), "reply@example.com - 3");
    EXPECT_EQ(m_view.AccountCaption(1), "other@example.com - 1 (disabled)");
    EXPECT_EQ(m_view.CategoryCaption(CategoryChallenged), "Challenged Mail - 1");
    EXPECT_EQ(m_view.CategoryCaption(CategorySpam), "Obvious Spam - 1");
    EXPECT_EQ(m_view.CategoryCaption(CategoryVirus), "Possible Viruses/Worms - 0");

    m_view.SetCurrentCategory(CategorySpam);
    EXPECT_EQ(m_view.PageTitle(), "Quarantine: Obvious Spam");
    EXPECT_EQ(m_view.InformationText(), "These are obvious spam messages.");
    m_view.SetCurrentAccount(1);
    EXPECT_EQ(m_view.CurrentCategory(), CategorySpam);
    EXPECT_EQ(Subjects(), std::vector<std::string>{"four"});
    m_view.SetCurrentAccount(5);
    EXPECT_EQ(m_view.CurrentAccount(), 1);
}

TEST_F(QuarantineViewTest, NoAccountShowsNothing) {
    m_view.Fill();
    EXPECT_TRUE(m_view.Rows().empty());
    EXPECT_EQ(m_view.SelectedEntry(0), nullptr);
    EXPECT_EQ(m_view.CategoryCaption(CategoryChallenged), "Challenged Mail - 0");
}

} // namespace
