#pragma once
// Messages of the folder files, the older layouts and the queue readers,
// kept in one place. A path stands between the two pieces of a quoted text.
#include <QString>

namespace nv::store_texts {

// Folder files
inline const QString LocalDirNotDesignated = QStringLiteral("The Local Directory setting has not been designated.");
inline const QString FolderAccessError = QStringLiteral("Error 0028: File access error on message file");
inline const QString NoSavedFolder = QStringLiteral("No Saved Message Folder has been designated.");
inline const QString SaveFolderWrite1 =
    QStringLiteral("Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message file: \"");
inline const QString SaveFolderText1 =
    QStringLiteral("Error encountered in NvMainForm.SaveFolderMsgs(): Unable to write to message text file: \"");
inline const QString WriteMsgNoFolder =
    QStringLiteral("Error in NvMainForm.WriteMsgToFolder(): Folder name was not specified.");
inline const QString WriteMsgNoLocalDir =
    QStringLiteral("Error in NvMainForm.WriteMsgToFolder(): The Local working directory has not been designated.");
inline const QString WriteMsgOpen1 =
    QStringLiteral("Error encountered in NvMainForm.WriteMsgToFolder(): Unable to open folder: \"");
inline const QString WriteMsgWrite1 =
    QStringLiteral("Error in NvMainForm.WriteMsgToFolder(): Unable to write to message info file: \"");
inline const QString InboxOpen1 =
    QStringLiteral("Error encountered in NvMainForm.WriteToInbox(): Unable to open mailbox: \"");
inline const QString InboxText1 =
    QStringLiteral("Error encountered in WriteToInbox(): Unable to write to message text file: \"");
inline const QString InboxWrite1 =
    QStringLiteral("Error encountered in WriteToInbox(): Unable to write to message info file: \"");
inline const QString ClearOutboxQuestion = QStringLiteral("Delete all messages from your OUTBOX?");
inline const QString ClearOutboxOpen1 =
    QStringLiteral("Error encountered in NvMainForm.ClearOutBox(): Unable to open mailbox: \"");
inline const QString LoadMsgTextOpen1 =
    QStringLiteral("Error encountered in NvMainForm.LoadMsgText(): Unable to open mailbox: \"");

// Endings of the quoted texts.
inline const QString PathEnd = QStringLiteral("\".");
inline const QString PathEndNotSaved = QStringLiteral("\".  Data was not saved.");

// Older folder files
inline const QString OldFolder26Open = QStringLiteral("Error 0027: File access error on old message file");
inline const QString OldFolder25Open = QStringLiteral("Error 0026: File access error on old message file");
inline const QString OldFolder20Open = QStringLiteral("Error 0025: File access error on old message file");
inline const QString OldFolder15Open = QStringLiteral("Error 0024: File access error on old message file");
inline const QString OldFolderInvalid = QStringLiteral("Error 0004: Invalid message file encountered.");

// Older Outbox files
inline const QString OldOutbox26Open = QStringLiteral("Error in LoadOldOutbox26(): File access error on Outbox file");
inline const QString OldOutbox25Open = QStringLiteral("Error in LoadOldOutbox25(): File access error on Outbox file");
inline const QString OldOutbox26Unreadable =
    QStringLiteral("Error in LoadOldOutbox26(): Unable to read Outbox.  Contents will be deleted.");
inline const QString OldOutbox25Unreadable =
    QStringLiteral("Error in LoadOldOutbox25(): Unable to read Outbox.  Contents will be deleted.");

// Queue info files, Message Inbox window
inline const QString MsgInfoOpen = QStringLiteral("Error 0045: File access error on message file");
inline const QString MsgInfo25Open = QStringLiteral("Error 0044: File access error on message file");
inline const QString MsgInfo20Open = QStringLiteral("Error 0043: File access error on message file");
inline const QString MsgInfoInvalid = QStringLiteral("Error 0005: Invalid message file encountered.");

// Queue info files, poll
inline const QString QueueMsgOpen = QStringLiteral("Error 0016: File access error on message file");
inline const QString QueueMsg26Open = QStringLiteral("Error 0015: File access error on message file");
inline const QString QueueMsg20Open = QStringLiteral("Error 0014: File access error on message file");
inline const QString QueueMsgInvalid = QStringLiteral("Error 0001: Invalid message file encountered.");

} // namespace nv::store_texts
