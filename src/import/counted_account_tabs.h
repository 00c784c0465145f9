#pragma once

#include "records/account_editor.h"

// Account tabs with no window behind them: they only count the tabs and
// remember the selected one, for driving the account editor headless (the
// command line's account detection).
class CountedAccountTabs : public AccountEditorTabs {
public:
    // Starts with one tab per existing account, the first one selected.
    explicit CountedAccountTabs(int accounts) : m_count(accounts), m_selected(accounts > 0 ? 0 : -1) {}

    void AppendAccountTabs() override { ++m_count; }
    void RemoveAccountTabs(int) override {
        --m_count;
        if (m_selected >= m_count)
            m_selected = m_count - 1;
    }
    int SelectedEditorTab() const override { return m_selected; }
    void SelectEditorTab(int index) override { m_selected = index; }
    // The quarantine view follows the editor here: there is only one tab set.
    int SelectedQuarantineTab() const override { return m_selected; }
    void SelectQuarantineTab(int index) override { m_selected = index; }
    void RefreshCaptions(int) override {}
    void FillQuarantineList(int) override {}
    void ShowFields(bool) override {}

    int Count() const { return m_count; }

private:
    int m_count;
    int m_selected;
};
