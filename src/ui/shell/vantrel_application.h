#pragma once

#include <QApplication>

// The application object of the desktop program. An error that an operation
// does not handle itself ends that operation, is shown in an "Error" box
// with its text, and the program goes on.
class VantrelApplication : public QApplication {
    Q_OBJECT
public:
    VantrelApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows an error that reached the top of an operation.
void ReportUnhandledError(const char* text);
