#include "ui/help/help.h"

#include "platform/message_box.h"
#include "platform/paths.h"
#include "ui/shell/desktop_services.h"

#include <QDir>
#include <QFileInfo>
#include <QUrl>

namespace {

QString g_helpFile;

const QString TopicSeparator = QStringLiteral("::/");

// Page indexes of the main window and the settings tabs, as the help knows them.
const char* const PageTopics[] = {"scan.htm", "suspectspam.htm", "approvedsenders.htm", nullptr, nullptr, AboutTopic};
const char* const SettingsTabTopics[] = {"preferences.htm", "challenge.htm", "accounts.htm", "blacklist.htm",
                                         "advanced.htm"};
constexpr int SettingsPage = 3;

// The file a topic path names: the topic in the help folder, the contents
// for none.
QString TopicFile(const QString& folder, const QString& topic) {
    return QDir(folder).filePath(topic.isEmpty() ? QString(ContentsTopic) : topic);
}

} // namespace

QString FindHelpFile() {
    QString programFolder = QString::fromStdString(ProgramFolder());
    QStringList candidates{QDir(programFolder).filePath("help")};
#ifdef QUORVANE_HELP_FROM_BINDIR
    candidates << QDir::cleanPath(QDir(programFolder).filePath(QUORVANE_HELP_FROM_BINDIR));
#endif
    for (const QString& folder : candidates)
        if (QFileInfo(folder).isDir())
            return folder;
    return candidates.front();
}

QString HelpFile() {
    return g_helpFile;
}

void SetHelpFile(const QString& folder) {
    g_helpFile = folder;
}

QString HelpTopicPath(const QString& topic) {
    return g_helpFile + TopicSeparator + topic;
}

QString HelpTopicFor(int page, int settingsTab) {
    if (page == SettingsPage) {
        if (settingsTab >= 0 && settingsTab < static_cast<int>(std::size(SettingsTabTopics)))
            return SettingsTabTopics[settingsTab];
        return {};
    }
    if (page >= 0 && page < static_cast<int>(std::size(PageTopics)) && PageTopics[page])
        return PageTopics[page];
    return {};
}

bool OpenHelp(const QString& topicPath, int command) {
    int separator = topicPath.indexOf(TopicSeparator);
    QString folder = separator < 0 ? topicPath : topicPath.left(separator);
    QString topic = separator < 0 ? QString() : topicPath.mid(separator + TopicSeparator.size());
    if (!QFileInfo(folder).isDir()) {
        ShowMessageBox("HTML Help not installed.", "Error", MsgButtons::Ok, MsgIcon::Error);
        return false;
    }
    if (command == HelpShowContents)
        topic.clear();
    OpenUrl(QUrl::fromLocalFile(TopicFile(folder, topic)));
    return true;
}

void OpenHelpTopicQuietly(const QString& topic) {
    QString file = TopicFile(g_helpFile, topic);
    if (QFileInfo::exists(file))
        OpenUrl(QUrl::fromLocalFile(file));
}
