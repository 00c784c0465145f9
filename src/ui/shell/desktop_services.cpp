#include "ui/shell/desktop_services.h"

#include <QDesktopServices>
#include <QProcess>

namespace {

UrlOpener g_urlOpener;
ProgramStarter g_programStarter;

} // namespace

void SetUrlOpener(UrlOpener opener) {
    g_urlOpener = std::move(opener);
}

void SetProgramStarter(ProgramStarter starter) {
    g_programStarter = std::move(starter);
}

bool OpenUrl(const QUrl& url) {
    if (g_urlOpener)
        return g_urlOpener(url);
    return QDesktopServices::openUrl(url);
}

bool StartProgram(const QString& program, const QStringList& arguments) {
    if (g_programStarter)
        return g_programStarter(program, arguments);
    return QProcess::startDetached(program, arguments);
}
