#pragma once

#include "challenge/quarantine_view.h"

#include <QWidget>

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QTabBar;
class QToolBar;
class QTreeView;
class QuarantineActionWindow;
class QuarantineModel;
struct WindowGeometry;

// The quarantine page ("Suspect Spam"): the account tabs m_accountTabs, the
// category tabs m_categoryTabs, the toolbar (Approve, Release, Preview,
// Delete), the information strip and the list m_messageList with its context menu
// m_contextMenu. The state (account, category, rows, sort order, selection) is
// the core's QuarantineView; the page shows it and passes the user's
// commands to the quarantine actions.
class QuarantinePage : public QWidget {
    Q_OBJECT
public:
    QuarantinePage(QuarantineActionWindow& actions, QWidget* parent = nullptr);

    QuarantineView& View() { return m_view; }

    // An account's tab: added at start-up or by the account editor, removed
    // with the account; the tab switch handling does not run for these.
    void AddAccountTab(const QString& caption);
    void RemoveAccountTab(int index);
    void SelectAccountTab(int index);
    // Ctrl+F6 and Ctrl+Shift+F6: the next (1) or previous (-1) account tab,
    // wrapping around.
    void StepAccountTab(int step);
    // Ctrl+A on the page: every row selected, the list focused.
    void SelectAllRows();

    // What opening the page does after the password gate: the list filled
    // for the current account and every account's captions refreshed.
    void OpenView();
    // The captions of account n (1-based) and, for the current account, of
    // the category tabs.
    void RefreshCaptions(int n);
    // Refills the list for account n (1-based) when it is the current one.
    void FillQuarantineList(int n);
    void SetSortColumn(int column);

    // The column widths and sort order kept in the settings file.
    void ApplyGeometry(const WindowGeometry& geometry);
    void StoreGeometry(WindowGeometry& geometry) const;

    // The account tabs, disabled while an action runs.
    void SetAccountTabsEnabled(bool enabled);

    void ApproveSelected();
    void ReleaseSelected();
    void PreviewSelected();
    void DeleteSelected();

signals:
    // RefreshCaptions ran for the account at index (0-based).
    void AccountCaptionChanged(int index);
    // The user moved to the account tab at index.
    void AccountTabChanged(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void CreateActions();
    void CreateSortMenu();
    void ShowCategory(int category);
    void ShowAccount(int index);
    void ShowRows();
    // The list and the captions after an action changed the index.
    void ShowActionResult();
    void SelectionChanged();
    void UpdateActions();
    void UpdateSortMarks();
    void SortBy(int column, int direction);
    bool HandleListKey(QKeyEvent* event);

    QuarantineView m_view;
    QuarantineActionWindow& m_actions;
    QuarantineModel* m_model;
    int m_shownAccount = 0;
    bool m_syncingSelection = false;

    QLabel* m_titleLabel;
    QTabBar* m_accountTabs;
    QTabBar* m_categoryTabs;
    QToolBar* m_toolbar;
    QLabel* m_informationLabel;
    QTreeView* m_messageList;
    QMenu* m_contextMenu;
    QAction* m_approveAction;
    QAction* m_releaseAction;
    QAction* m_previewAction;
    QAction* m_deleteAction;
    QActionGroup* m_sortGroup;
    QAction* m_sortReceivedAction;
    QAction* m_sortDateDescAction;
    QAction* m_sortDateAscAction;
    QAction* m_sortFromDescAction;
    QAction* m_sortFromAscAction;
    QAction* m_sortSubjectDescAction;
    QAction* m_sortSubjectAscAction;
};
