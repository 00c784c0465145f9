#pragma once

#include <QString>

// The help topics: HTML pages in a "help" folder beside the program (or,
// for an installed program, in its shared data folder), opened in the
// desktop's browser. A topic path is the help folder, "::/" and the topic's
// file name, as HelpTopicPath builds it.

inline constexpr const char* AboutTopic = "about.htm";
inline constexpr const char* GettingStartedTopic = "getting_started.htm";
inline constexpr const char* LicenseTopic = "license.htm";
inline constexpr const char* UpdateNoticeTopic = "update_notice.htm";
inline constexpr const char* ContentsTopic = "index.htm";

// OpenHelp commands.
enum HelpCommand { HelpShowTopic = 0, HelpShowContents = 1 };

// Where the topics are: "help" beside the program, else the installed
// folder; the first of them that exists, or the first when none does.
QString FindHelpFile();

// The folder that the help requests of this process use (HelpFile).
QString HelpFile();
void SetHelpFile(const QString& folder);

// HelpFile + "::/" + topic.
QString HelpTopicPath(const QString& topic);

// The topic of the page shown (page index of the main window) and, on the
// settings page, of its tab; "" for a page without one.
QString HelpTopicFor(int page, int settingsTab);

// Opens the topic (command HelpShowTopic; an empty topic opens the
// contents) or the table of contents (HelpShowContents) in the browser.
// When the help folder is missing: "HTML Help not installed." in an error
// box, and false. The browser failing to start is not reported.
bool OpenHelp(const QString& topicPath, int command);

// Opens a topic outside the main window's help requests (the update notice,
// the Getting Started Guide): nothing is reported when it cannot be shown.
void OpenHelpTopicQuietly(const QString& topic);
