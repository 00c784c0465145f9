#include "ui/quarantine/quarantine_page.h"

#include "challenge/quarantine_actions.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "records/account.h"
#include "records/account_folder.h"
#include "records/quarantine_index.h"
#include "records/window_state.h"
#include "ui/preview/preview_dialog.h"
#include "ui/quarantine/quarantine_model.h"
#include "ui/shell/qt_text.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QStyle>
#include <QTabBar>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int CategoryCount = 4;

QAction* NewAction(QObject* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(name);
    action->setToolTip(hint.isEmpty() ? QString(caption).remove('&') : hint);
    return action;
}

} // namespace

QuarantinePage::QuarantinePage(QuarantineActionWindow& actions, QWidget* parent)
    : QWidget(parent), m_actions(actions), m_model(new QuarantineModel(m_view, this)), m_titleLabel(new QLabel(this)),
      m_accountTabs(new QTabBar(this)), m_categoryTabs(new QTabBar(this)), m_toolbar(new QToolBar(this)),
      m_informationLabel(new QLabel(this)), m_messageList(new QTreeView(this)), m_contextMenu(new QMenu(this)) {
    setObjectName("quarantinePage");
    m_titleLabel->setObjectName("quarantineTitleLabel");
    QFont titleFont = m_titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    m_titleLabel->setFont(titleFont);

    m_accountTabs->setObjectName("accountTabs");
    m_accountTabs->setExpanding(false);
    m_categoryTabs->setObjectName("categoryTabs");
    m_categoryTabs->setExpanding(false);
    m_categoryTabs->setDocumentMode(true);
    for (int category = 0; category < CategoryCount; ++category)
        m_categoryTabs->addTab(QtText(CategoryName(category)));

    CreateActions();
    m_toolbar->setObjectName("quarantineToolBar");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->setIconSize(QSize(20, 20));
    m_toolbar->addActions({m_approveAction, m_releaseAction, m_previewAction, m_deleteAction});

    m_informationLabel->setObjectName("informationLabel");
    m_informationLabel->setWordWrap(true);
    m_informationLabel->setAutoFillBackground(true);
    m_informationLabel->setBackgroundRole(QPalette::ToolTipBase);
    m_informationLabel->setForegroundRole(QPalette::ToolTipText);
    m_informationLabel->setContentsMargins(8, 5, 8, 5);

    m_messageList->setObjectName("messageList");
    m_messageList->setModel(m_model);
    m_messageList->setRootIsDecorated(false);
    m_messageList->setItemsExpandable(false);
    m_messageList->setUniformRowHeights(true);
    m_messageList->setAllColumnsShowFocus(true);
    m_messageList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_messageList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_messageList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_messageList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_messageList->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = m_messageList->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    m_messageList->installEventFilter(this);
    CreateSortMenu();

    // The category tabs enclose the toolbar, the strip and the list.
    auto* categoryFrame = new QWidget(this);
    auto* inner = new QVBoxLayout(categoryFrame);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    inner->addWidget(m_categoryTabs);
    inner->addWidget(m_toolbar);
    inner->addWidget(m_informationLabel);
    inner->addWidget(m_messageList, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(m_titleLabel);
    layout->addWidget(m_accountTabs);
    layout->addWidget(categoryFrame, 1);

    connect(m_categoryTabs, &QTabBar::currentChanged, this, &QuarantinePage::ShowCategory);
    connect(m_accountTabs, &QTabBar::currentChanged, this, &QuarantinePage::ShowAccount);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        m_view.ToggleSortColumn(column);
        ShowRows();
    });
    connect(m_messageList, &QTreeView::doubleClicked, this, [this] { m_previewAction->trigger(); });
    connect(m_messageList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { m_contextMenu->popup(m_messageList->viewport()->mapToGlobal(at)); });
    connect(m_messageList->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &QuarantinePage::SelectionChanged);

    m_titleLabel->setText(QtText(m_view.PageTitle()));
    m_informationLabel->setText(QtText(m_view.InformationText()));
    UpdateActions();
}

void QuarantinePage::CreateActions() {
    QStyle* look = style();
    m_approveAction =
        NewAction(this, "approveAction", "&Approve", "Approve senders and release selected messages to inbox (Ctrl+A)");
    m_approveAction->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    m_releaseAction = NewAction(this, "releaseAction", "&Release", "Release selected messages to inbox (Ctrl+R)");
    m_releaseAction->setIcon(look->standardIcon(QStyle::SP_ArrowForward));
    m_previewAction = NewAction(this, "previewAction", "Preview", "Securely preview selected message");
    m_previewAction->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
    m_deleteAction = NewAction(this, "deleteAction", "Delete", "Delete selected messages (Del)");
    m_deleteAction->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    connect(m_approveAction, &QAction::triggered, this, &QuarantinePage::ApproveSelected);
    connect(m_releaseAction, &QAction::triggered, this, &QuarantinePage::ReleaseSelected);
    connect(m_previewAction, &QAction::triggered, this, &QuarantinePage::PreviewSelected);
    connect(m_deleteAction, &QAction::triggered, this, &QuarantinePage::DeleteSelected);
}

void QuarantinePage::CreateSortMenu() {
    m_contextMenu->setObjectName("contextMenu");
    m_contextMenu->addActions({m_approveAction, m_releaseAction, m_previewAction, m_deleteAction});
    m_contextMenu->addSeparator();
    QMenu* sortMenu = m_contextMenu->addMenu("&Sort By");
    sortMenu->setObjectName("sortByMenu");
    m_sortGroup = new QActionGroup(this);
    auto add = [this, sortMenu](QAction*& action, const char* name, const char* caption, int column, int direction) {
        action = NewAction(this, name, caption);
        action->setCheckable(true);
        m_sortGroup->addAction(action);
        sortMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, column, direction] { SortBy(column, direction); });
    };
    add(m_sortReceivedAction, "sortReceivedAction", "Order Received", QuarantineView::OrderReceived, 0);
    sortMenu->addSeparator();
    add(m_sortDateDescAction, "sortDateDescAction", "Descending Date", QuarantineView::SortDate,
        QuarantineView::Descending);
    add(m_sortDateAscAction, "sortDateAscAction", "Ascending Date", QuarantineView::SortDate,
        QuarantineView::Ascending);
    sortMenu->addSeparator();
    add(m_sortSubjectDescAction, "sortSubjectDescAction", "Descending Subject", QuarantineView::SortSubject,
        QuarantineView::Descending);
    add(m_sortSubjectAscAction, "sortSubjectAscAction", "Ascending Subject", QuarantineView::SortSubject,
        QuarantineView::Ascending);
    sortMenu->addSeparator();
    add(m_sortFromDescAction, "sortFromDescAction", "Descending From", QuarantineView::SortFrom,
        QuarantineView::Descending);
    add(m_sortFromAscAction, "sortFromAscAction", "Ascending From", QuarantineView::SortFrom,
        QuarantineView::Ascending);
    m_sortReceivedAction->setChecked(true);
}

void QuarantinePage::AddAccountTab(const QString& caption) {
    QSignalBlocker quiet(m_accountTabs);
    m_accountTabs->addTab(caption);
}

void QuarantinePage::RemoveAccountTab(int index) {
    QSignalBlocker quiet(m_accountTabs);
    m_accountTabs->removeTab(index);
    m_shownAccount = std::max(m_accountTabs->currentIndex(), 0);
    m_view.SetCurrentAccount(m_shownAccount);
}

void QuarantinePage::SelectAccountTab(int index) {
    QSignalBlocker quiet(m_accountTabs);
    m_accountTabs->setCurrentIndex(index);
    m_shownAccount = index;
    m_view.SetCurrentAccount(index);
}

void QuarantinePage::StepAccountTab(int step) {
    int count = m_accountTabs->count();
    if (count > 0)
        m_accountTabs->setCurrentIndex((m_accountTabs->currentIndex() + step + count) % count);
}

void QuarantinePage::SelectAllRows() {
    m_messageList->selectAll();
    m_messageList->setFocus();
}

void QuarantinePage::OpenView() {
    FillQuarantineList(m_view.CurrentAccount() + 1);
    for (int n = 1; n <= Accounts.Count(); ++n)
        RefreshCaptions(n);
}

void QuarantinePage::RefreshCaptions(int n) {
    if (n < 1 || n > Accounts.Count())
        return;
    if (n - 1 < m_accountTabs->count())
        m_accountTabs->setTabText(n - 1, QtText(m_view.AccountCaption(n - 1)));
    if (n - 1 == m_view.CurrentAccount())
        for (int category = 0; category < CategoryCount; ++category)
            m_categoryTabs->setTabText(category, QtText(m_view.CategoryCaption(category)));
    emit AccountCaptionChanged(n - 1);
    QCoreApplication::processEvents();
}

void QuarantinePage::FillQuarantineList(int n) {
    if (n < 1 || n > Accounts.Count())
        return;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    m_view.SetCurrentAccount(n - 1);
    RefreshCaptions(n);
    m_view.Fill();
    ShowRows();
    QApplication::restoreOverrideCursor();
}

void QuarantinePage::SetSortColumn(int column) {
    m_view.SetSortColumn(column);
    ShowRows();
}

void QuarantinePage::SortBy(int column, int direction) {
    if (column == QuarantineView::OrderReceived) {
        if (m_view.SortColumn() == QuarantineView::OrderReceived)
            return;
        m_view.SetOrderReceived();
        FillQuarantineList(m_view.CurrentAccount() + 1);
        return;
    }
    m_view.SortBy(column, direction);
    ShowRows();
}

void QuarantinePage::ShowCategory(int category) {
    m_view.SetCurrentCategory(category);
    FillQuarantineList(m_view.CurrentAccount() + 1);
    RefreshCaptions(m_view.CurrentAccount() + 1);
    m_titleLabel->setText(QtText(m_view.PageTitle()));
    m_informationLabel->setText(QtText(m_view.InformationText()));
}

void QuarantinePage::ShowAccount(int index) {
    // The captions of the account being left are brought up to date first.
    RefreshCaptions(m_shownAccount + 1);
    m_shownAccount = index;
    FillQuarantineList(index + 1);
    emit AccountTabChanged(index);
}

void QuarantinePage::ShowRows() {
    m_syncingSelection = true;
    m_model->Reload();
    // The core keeps the selection by message across a sort; show it again.
    QItemSelection selection;
    for (int row : m_view.SelectedRows())
        selection.select(m_model->index(row, 0), m_model->index(row, m_model->columnCount() - 1));
    m_messageList->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncingSelection = false;
    UpdateSortMarks();
    UpdateActions();
}

void QuarantinePage::ShowActionResult() {
    ShowRows();
    RefreshCaptions(m_view.CurrentAccount() + 1);
}

void QuarantinePage::SelectionChanged() {
    if (m_syncingSelection)
        return;
    m_view.ClearSelection();
    for (const QModelIndex& index : m_messageList->selectionModel()->selectedRows())
        m_view.Select(index.row());
    UpdateActions();
}

void QuarantinePage::UpdateActions() {
    m_previewAction->setEnabled(m_view.PreviewEnabled());
    for (QAction* action : {m_approveAction, m_releaseAction, m_deleteAction})
        action->setEnabled(m_view.ActionsEnabled());
}

void QuarantinePage::UpdateSortMarks() {
    QHeaderView* header = m_messageList->header();
    int column = m_view.SortColumn();
    bool ascending = m_view.SortDirection() == QuarantineView::Ascending;
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    QAction* checked = m_sortReceivedAction;
    if (column == QuarantineView::SortFrom)
        checked = ascending ? m_sortFromAscAction : m_sortFromDescAction;
    else if (column == QuarantineView::SortSubject)
        checked = ascending ? m_sortSubjectAscAction : m_sortSubjectDescAction;
    else if (column == QuarantineView::SortDate)
        checked = ascending ? m_sortDateAscAction : m_sortDateDescAction;
    checked->setChecked(true);
}

void QuarantinePage::ApplyGeometry(const WindowGeometry& geometry) {
    QHeaderView* header = m_messageList->header();
    for (int column = 0; column < 3; ++column) {
        // A column stored with no width stays hidden, but can be dragged open.
        if (geometry.ColumnMinimumZero[static_cast<size_t>(column)])
            header->setMinimumSectionSize(0);
        header->resizeSection(column, geometry.ColumnWidths[static_cast<size_t>(column)]);
    }
    if (geometry.SortColumn >= 0)
        m_view.SortBy(geometry.SortColumn, geometry.SortDirection);
    UpdateSortMarks();
}

void QuarantinePage::StoreGeometry(WindowGeometry& geometry) const {
    for (int column = 0; column < 3; ++column)
        geometry.ColumnWidths[static_cast<size_t>(column)] = m_messageList->header()->sectionSize(column);
    geometry.SortColumn = m_view.SortColumn();
    geometry.SortDirection = m_view.SortDirection();
}

void QuarantinePage::SetAccountTabsEnabled(bool enabled) {
    m_accountTabs->setEnabled(enabled);
}

void QuarantinePage::ApproveSelected() {
    if (!m_approveAction->isEnabled())
        return;
    ReleaseFromView(m_view, true, m_actions);
    ShowActionResult();
}

void QuarantinePage::ReleaseSelected() {
    if (!m_releaseAction->isEnabled())
        return;
    ReleaseFromView(m_view, false, m_actions);
    ShowActionResult();
}

void QuarantinePage::DeleteSelected() {
    if (!m_deleteAction->isEnabled())
        return;
    DeleteFromView(m_view, m_actions);
    ShowActionResult();
}

void QuarantinePage::PreviewSelected() {
    QuarantineEntry* entry = m_view.SelectedEntry();
    if (!entry) {
        ShowMessageBox("No message is selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    ShowPreview(window(), IncludeTrailingDelimiter(AccountFolder(m_view.CurrentAccount())) + entry->FileName);
}

bool QuarantinePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_messageList && event->type() == QEvent::KeyPress && HandleListKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool QuarantinePage::HandleListKey(QKeyEvent* event) {
    Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Delete:
        DeleteSelected();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_previewAction->trigger();
        return true;
    case Qt::Key_A:
        if (modifiers != Qt::ControlModifier)
            return false;
        // Without a selection the key release selects every row instead.
        ApproveSelected();
        return true;
    case Qt::Key_R:
        if (modifiers != Qt::ControlModifier)
            return false;
        ReleaseSelected();
        return true;
    default:
        return false;
    }
}
