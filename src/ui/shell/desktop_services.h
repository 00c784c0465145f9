#pragma once

#include <QStringList>
#include <QUrl>

#include <functional>

// What the program asks of the desktop: opening an address or a document in
// its handler (the browser for help topics and links), and starting another
// program (the mail client). Tests replace both to see what was asked.

using UrlOpener = std::function<bool(const QUrl&)>;
using ProgramStarter = std::function<bool(const QString& program, const QStringList& arguments)>;

// Installs a replacement; an empty function restores the desktop's own.
void SetUrlOpener(UrlOpener opener);
void SetProgramStarter(ProgramStarter starter);

// Hands the address to the desktop's handler for it; false when none took it.
bool OpenUrl(const QUrl& url);
// Starts the program detached with the arguments; false when it cannot start.
bool StartProgram(const QString& program, const QStringList& arguments);
