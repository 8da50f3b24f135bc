#pragma once
// Captions and messages of the main window, kept in one place.
#include <QString>

namespace nv::texts {

inline const QString MessagesFor = QStringLiteral("Messages for:");
inline const QString CreateCaption = QStringLiteral("&Create");
inline const QString PhoneMsgCaption = QStringLiteral("&Phone Msg");
inline const QString InboxCaption = QStringLiteral("&Inbox");
inline const QString MinimizeCaption = QStringLiteral("&Minimize");
inline const QString FoldersLabel = QStringLiteral("Folders:");
inline const QString MessagesLabel = QStringLiteral("Messages:");
inline const QString ReadCaption = QStringLiteral("&Read");
inline const QString DeleteCaption = QStringLiteral("&Delete");

inline const QString FileMenu = QStringLiteral("&File");
inline const QString ExitCaption = QStringLiteral("E&xit");
inline const QString MessageMenu = QStringLiteral("&Message");
inline const QString GetCaption = QStringLiteral("&Get");
inline const QString ExportFolderCaption = QStringLiteral("&Export Folder");
inline const QString ImportFolderCaption = QStringLiteral("&Import Folder");
inline const QString SetupMenu = QStringLiteral("&Setup");
inline const QString UsersCaption = QStringLiteral("&Users");
inline const QString GroupsCaption = QStringLiteral("&Groups");
inline const QString SettingsCaption = QStringLiteral("&Settings");
inline const QString FoldersCaption = QStringLiteral("Folders");
inline const QString HelpMenu = QStringLiteral("&Help");
inline const QString HelpCaption = QStringLiteral("&Help");
inline const QString AboutCaption = QStringLiteral("&About");

inline const QString HintUrgent = QStringLiteral("Urgent!");
inline const QString HintReceived = QStringLiteral("Date and time message was received");
inline const QString HintFrom = QStringLiteral("Message sent from");
inline const QString HintMessage = QStringLiteral("Message");

inline const QString EnterSettingsFirst = QStringLiteral("You must enter the system settings before continuing.");
inline const QString SetupUsersFirst = QStringLiteral("You must setup user names before continuing.");
inline const QString ExitQuestion =
    QStringLiteral("If you exit, you will not be notified of the receipt of new messages.  Exit anyway?");
inline const QString NetworkLost =
    QStringLiteral("Error 0030: Unable to locate Norvane network directory.  Your network may have gone down.");
inline const QString InboxEmpty = QStringLiteral("Your inbox is empty.");
inline const QString DeleteCurrentQuestion = QStringLiteral("Delete the current message?");

} // namespace nv::texts
