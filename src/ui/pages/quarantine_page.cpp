#include "ui/pages/quarantine_page.h"

#include <QTabBar>
#include <QVBoxLayout>

QuarantinePage::QuarantinePage(QWidget* parent)
    : TitledPage("tsSpam", "Suspect Spam", parent), tabMail(new QTabBar(this)) {
    tabMail->setObjectName("tabMail");
    tabMail->setDocumentMode(true);
    tabMail->setExpanding(false);
    Body()->addWidget(tabMail);
    Body()->addStretch();
}

void QuarantinePage::AddAccountTab(const QString& caption) {
    tabMail->addTab(caption);
}

void QuarantinePage::StepAccountTab(int step) {
    int count = tabMail->count();
    if (count == 0)
        return;
    tabMail->setCurrentIndex((tabMail->currentIndex() + step + count) % count);
}
