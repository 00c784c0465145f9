#include "ui/main/navigation_bar.h"

#include "ui/main/navigation_images.h"

#include <QIcon>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int ImageSize = 32;

struct ButtonInfo {
    ScanControl Page;
    const char* Name;
    const char* Caption;
    const char* Hint;
    const char* Image;
};

const ButtonInfo Buttons[] = {
    {ScanControl::Scan, "scanButton", "Scan", "Scan your email accounts for spam", ":/icons/nav-scan.svg"},
    {ScanControl::Quarantine, "quarantineButton", "Quarantine", "Manage quarantined messages",
     ":/icons/nav-quarantine.svg"},
    {ScanControl::ApprovedSenders, "approvedSendersButton", "Approved Senders", "Manage approved senders list",
     ":/icons/nav-approved.svg"},
    {ScanControl::Settings, "settingsButton", "Settings", "Change program settings and preferences",
     ":/icons/nav-settings.svg"},
    {ScanControl::Help, "helpButton", "Help", "View help manual", ":/icons/nav-help.svg"},
    {ScanControl::About, "aboutButton", "About", "View version and other information about Quorvane",
     ":/icons/nav-about.svg"},
};

QToolButton* NewButton(const ButtonInfo& info, QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(info.Name);
    button->setText(info.Caption);
    button->setToolTip(info.Hint);
    button->setStatusTip(info.Hint);
    button->setAutoRaise(true);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setIconSize(QSize(ImageSize, ImageSize));
    button->setIcon(QIcon(info.Image));
    button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    button->setMinimumWidth(112);
    // The button of the page shown stays pressed; Help selects no page.
    button->setCheckable(info.Page != ScanControl::Help);
    return button;
}

} // namespace

NavigationBar::NavigationBar(QWidget* parent) : QWidget(parent) {
    setObjectName("navigationBar");
    setAutoFillBackground(true);
    QPalette colours = palette();
    colours.setColor(QPalette::Window, colours.color(QPalette::Base));
    setPalette(colours);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(6, 10, 6, 10);
    column->setSpacing(4);
    for (const ButtonInfo& info : Buttons) {
        QToolButton* button = NewButton(info, this);
        column->addWidget(button);
        m_entries.push_back({info.Page, button, info.Image});
        connect(button, &QToolButton::clicked, this, [this, page = info.Page] { emit PageRequested(page); });
    }
    column->addStretch();
}

QToolButton* NavigationBar::Button(ScanControl control) const {
    for (const Entry& entry : m_entries)
        if (entry.Page == control)
            return entry.Button;
    return nullptr;
}

void NavigationBar::MarkPage(ScanControl page) {
    for (const Entry& entry : m_entries)
        entry.Button->setChecked(entry.Page == page && entry.Page != ScanControl::Help);
}

void NavigationBar::UseDisabledImages() {
    for (const Entry& entry : m_entries) {
        QImage image = QIcon(entry.Image).pixmap(ImageSize, ImageSize).toImage();
        entry.Button->setIcon(NavigationIcon(WithDisabledImage(image)));
    }
}
