#include "ui/quarantine/quarantine_page.h"

#include "challenge/quarantine_actions.h"
#include "platform/message_box.h"
#include "platform/paths.h"
#include "records/quarantine_index.h"
#include "records/uObjects.h"
#include "records/window_state.h"
#include "ui/preview/uPreview.h"
#include "ui/quarantine/quarantine_model.h"

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

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QAction* NewAction(QObject* parent, const char* name, const QString& caption, const QString& hint = {}) {
    auto* action = new QAction(caption, parent);
    action->setObjectName(name);
    action->setToolTip(hint.isEmpty() ? QString(caption).remove('&') : hint);
    return action;
}

} // namespace

QuarantinePage::QuarantinePage(QuarantineActionWindow& actions, QWidget* parent)
    : QWidget(parent), m_actions(actions), m_model(new QuarantineModel(m_view, this)), lblTitle(new QLabel(this)),
      tabMail(new QTabBar(this)), TabControl2(new QTabBar(this)), m_toolbar(new QToolBar(this)),
      lblInformation(new QLabel(this)), lvMail(new QTreeView(this)), mnuMail(new QMenu(this)) {
    setObjectName("tsSpam");
    lblTitle->setObjectName("lblQuarantineTitle");
    QFont titleFont = lblTitle->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.3);
    lblTitle->setFont(titleFont);

    tabMail->setObjectName("tabMail");
    tabMail->setExpanding(false);
    TabControl2->setObjectName("TabControl2");
    TabControl2->setExpanding(false);
    TabControl2->setDocumentMode(true);
    for (int category = 0; category < CategoryCount; ++category)
        TabControl2->addTab(Text(CategoryName(category)));

    CreateActions();
    m_toolbar->setObjectName("ToolBar1");
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_toolbar->setIconSize(QSize(20, 20));
    m_toolbar->addActions({actAllow, actRelease, actPreview, actDelete});

    lblInformation->setObjectName("lblInformation");
    lblInformation->setWordWrap(true);
    lblInformation->setAutoFillBackground(true);
    lblInformation->setBackgroundRole(QPalette::ToolTipBase);
    lblInformation->setForegroundRole(QPalette::ToolTipText);
    lblInformation->setContentsMargins(8, 5, 8, 5);

    lvMail->setObjectName("lvMail");
    lvMail->setModel(m_model);
    lvMail->setRootIsDecorated(false);
    lvMail->setItemsExpandable(false);
    lvMail->setUniformRowHeights(true);
    lvMail->setAllColumnsShowFocus(true);
    lvMail->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvMail->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvMail->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvMail->setContextMenuPolicy(Qt::CustomContextMenu);
    lvMail->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = lvMail->header();
    header->setSectionsClickable(true);
    header->setSortIndicatorShown(false);
    header->setStretchLastSection(false);
    header->setSectionsMovable(false);
    lvMail->installEventFilter(this);
    CreateSortMenu();

    // The category tabs enclose the toolbar, the strip and the list.
    auto* categoryFrame = new QWidget(this);
    auto* inner = new QVBoxLayout(categoryFrame);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    inner->addWidget(TabControl2);
    inner->addWidget(m_toolbar);
    inner->addWidget(lblInformation);
    inner->addWidget(lvMail, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 12, 12, 12);
    layout->setSpacing(8);
    layout->addWidget(lblTitle);
    layout->addWidget(tabMail);
    layout->addWidget(categoryFrame, 1);

    connect(TabControl2, &QTabBar::currentChanged, this, &QuarantinePage::TabControl2Change);
    connect(tabMail, &QTabBar::currentChanged, this, &QuarantinePage::tabMailChange);
    connect(header, &QHeaderView::sectionClicked, this, [this](int column) {
        m_view.ColumnClick(column);
        ShowRows();
    });
    connect(lvMail, &QTreeView::doubleClicked, this, [this] { actPreview->trigger(); });
    connect(lvMail, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { mnuMail->popup(lvMail->viewport()->mapToGlobal(at)); });
    connect(lvMail->selectionModel(), &QItemSelectionModel::selectionChanged, this, &QuarantinePage::SelectionChanged);

    lblTitle->setText(Text(m_view.PageTitle()));
    lblInformation->setText(Text(m_view.InformationText()));
    UpdateActions();
}

void QuarantinePage::CreateActions() {
    QStyle* look = style();
    actAllow =
        NewAction(this, "actAllow", "&Approve", "Approve senders and release selected messages to inbox (Ctrl+A)");
    actAllow->setIcon(look->standardIcon(QStyle::SP_DialogApplyButton));
    actRelease = NewAction(this, "actRelease", "&Release", "Release selected messages to inbox (Ctrl+R)");
    actRelease->setIcon(look->standardIcon(QStyle::SP_ArrowForward));
    actPreview = NewAction(this, "actPreview", "Preview", "Securely preview selected message");
    actPreview->setIcon(look->standardIcon(QStyle::SP_FileDialogContentsView));
    actDelete = NewAction(this, "actDelete", "Delete", "Delete selected messages (Del)");
    actDelete->setIcon(look->standardIcon(QStyle::SP_TrashIcon));
    connect(actAllow, &QAction::triggered, this, &QuarantinePage::actAllowExecute);
    connect(actRelease, &QAction::triggered, this, &QuarantinePage::actReleaseExecute);
    connect(actPreview, &QAction::triggered, this, &QuarantinePage::actPreviewExecute);
    connect(actDelete, &QAction::triggered, this, &QuarantinePage::actDeleteExecute);
}

void QuarantinePage::CreateSortMenu() {
    mnuMail->setObjectName("mnuMail");
    mnuMail->addActions({actAllow, actRelease, actPreview, actDelete});
    mnuMail->addSeparator();
    QMenu* sortMenu = mnuMail->addMenu("&Sort By");
    sortMenu->setObjectName("mnuSortBy");
    m_sortGroup = new QActionGroup(this);
    auto add = [this, sortMenu](QAction*& action, const char* name, const char* caption, int column, int direction) {
        action = NewAction(this, name, caption);
        action->setCheckable(true);
        m_sortGroup->addAction(action);
        sortMenu->addAction(action);
        connect(action, &QAction::triggered, this, [this, column, direction] { SortBy(column, direction); });
    };
    add(actOrderReceived, "actOrderReceived", "Order Received", QuarantineView::OrderReceived, 0);
    sortMenu->addSeparator();
    add(actDateDown, "actDateDown", "Descending Date", QuarantineView::SortDate, QuarantineView::Descending);
    add(actDateUp, "actDateUp", "Ascending Date", QuarantineView::SortDate, QuarantineView::Ascending);
    sortMenu->addSeparator();
    add(actSubjectDown, "actSubjectDown", "Descending Subject", QuarantineView::SortSubject,
        QuarantineView::Descending);
    add(actSubjectUp, "actSubjectUp", "Ascending Subject", QuarantineView::SortSubject, QuarantineView::Ascending);
    sortMenu->addSeparator();
    add(actFromDown, "actFromDown", "Descending From", QuarantineView::SortFrom, QuarantineView::Descending);
    add(actFromUp, "actFromUp", "Ascending From", QuarantineView::SortFrom, QuarantineView::Ascending);
    actOrderReceived->setChecked(true);
}

void QuarantinePage::AddAccountTab(const QString& caption) {
    QSignalBlocker quiet(tabMail);
    tabMail->addTab(caption);
}

void QuarantinePage::RemoveAccountTab(int index) {
    QSignalBlocker quiet(tabMail);
    tabMail->removeTab(index);
    m_shownAccount = std::max(tabMail->currentIndex(), 0);
    m_view.SetCurrentAccount(m_shownAccount);
}

void QuarantinePage::SelectAccountTab(int index) {
    QSignalBlocker quiet(tabMail);
    tabMail->setCurrentIndex(index);
    m_shownAccount = index;
    m_view.SetCurrentAccount(index);
}

void QuarantinePage::StepAccountTab(int step) {
    int count = tabMail->count();
    if (count > 0)
        tabMail->setCurrentIndex((tabMail->currentIndex() + step + count) % count);
}

void QuarantinePage::SelectAllRows() {
    lvMail->selectAll();
    lvMail->setFocus();
}

void QuarantinePage::OpenView() {
    FillQuarantineList(m_view.CurrentAccount() + 1);
    for (int n = 1; n <= Accounts.Count(); ++n)
        RefreshCaptions(n);
}

void QuarantinePage::RefreshCaptions(int n) {
    if (n < 1 || n > Accounts.Count())
        return;
    if (n - 1 < tabMail->count())
        tabMail->setTabText(n - 1, Text(m_view.AccountCaption(n - 1)));
    if (n - 1 == m_view.CurrentAccount())
        for (int category = 0; category < CategoryCount; ++category)
            TabControl2->setTabText(category, Text(m_view.CategoryCaption(category)));
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

void QuarantinePage::TabControl2Change(int category) {
    m_view.SetCurrentCategory(category);
    FillQuarantineList(m_view.CurrentAccount() + 1);
    RefreshCaptions(m_view.CurrentAccount() + 1);
    lblTitle->setText(Text(m_view.PageTitle()));
    lblInformation->setText(Text(m_view.InformationText()));
}

void QuarantinePage::tabMailChange(int index) {
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
    lvMail->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
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
    for (const QModelIndex& index : lvMail->selectionModel()->selectedRows())
        m_view.Select(index.row());
    UpdateActions();
}

void QuarantinePage::UpdateActions() {
    actPreview->setEnabled(m_view.PreviewEnabled());
    for (QAction* action : {actAllow, actRelease, actDelete})
        action->setEnabled(m_view.ActionsEnabled());
}

void QuarantinePage::UpdateSortMarks() {
    QHeaderView* header = lvMail->header();
    int column = m_view.SortColumn();
    bool ascending = m_view.SortDirection() == QuarantineView::Ascending;
    header->setSortIndicatorShown(column >= 0);
    if (column >= 0)
        header->setSortIndicator(column, ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
    QAction* checked = actOrderReceived;
    if (column == QuarantineView::SortFrom)
        checked = ascending ? actFromUp : actFromDown;
    else if (column == QuarantineView::SortSubject)
        checked = ascending ? actSubjectUp : actSubjectDown;
    else if (column == QuarantineView::SortDate)
        checked = ascending ? actDateUp : actDateDown;
    checked->setChecked(true);
}

void QuarantinePage::ApplyGeometry(const WindowGeometry& geometry) {
    QHeaderView* header = lvMail->header();
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
        geometry.ColumnWidths[static_cast<size_t>(column)] = lvMail->header()->sectionSize(column);
    geometry.SortColumn = m_view.SortColumn();
    geometry.SortDirection = m_view.SortDirection();
}

void QuarantinePage::SetAccountTabsEnabled(bool enabled) {
    tabMail->setEnabled(enabled);
}

void QuarantinePage::actAllowExecute() {
    if (!actAllow->isEnabled())
        return;
    ReleaseFromView(m_view, true, m_actions);
    ShowActionResult();
}

void QuarantinePage::actReleaseExecute() {
    if (!actRelease->isEnabled())
        return;
    ReleaseFromView(m_view, false, m_actions);
    ShowActionResult();
}

void QuarantinePage::actDeleteExecute() {
    if (!actDelete->isEnabled())
        return;
    DeleteFromView(m_view, m_actions);
    ShowActionResult();
}

void QuarantinePage::actPreviewExecute() {
    TUnkMailItem* entry = m_view.SelectedEntry();
    if (!entry) {
        ShowMessageBox("No message is selected.", "Notice", MsgButtons::Ok, MsgIcon::Warning);
        return;
    }
    ShowPreview(window(), IncludeTrailingDelimiter(AccountFolder(m_view.CurrentAccount())) + entry->FileName);
}

bool QuarantinePage::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lvMail && event->type() == QEvent::KeyPress && HandleListKey(static_cast<QKeyEvent*>(event)))
        return true;
    return QWidget::eventFilter(watched, event);
}

bool QuarantinePage::HandleListKey(QKeyEvent* event) {
    Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    switch (event->key()) {
    case Qt::Key_Delete:
        actDeleteExecute();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        actPreview->trigger();
        return true;
    case Qt::Key_A:
        if (modifiers != Qt::ControlModifier)
            return false;
        // Without a selection the key release selects every row instead.
        actAllowExecute();
        return true;
    case Qt::Key_R:
        if (modifiers != Qt::ControlModifier)
            return false;
        actReleaseExecute();
        return true;
    default:
        return false;
    }
}
