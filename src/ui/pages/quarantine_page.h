#pragma once

#include "ui/pages/titled_page.h"

class QTabBar;

// The quarantine page ("Suspect Spam"): for now its account tabs tabMail,
// one per account, named by the account's address.
class QuarantinePage : public TitledPage {
    Q_OBJECT
public:
    explicit QuarantinePage(QWidget* parent = nullptr);

    void AddAccountTab(const QString& caption);
    // Ctrl+F6 and Ctrl+Shift+F6: the next (step 1) or previous (step -1)
    // account tab, wrapping around.
    void StepAccountTab(int step);

    QTabBar* tabMail;
};
