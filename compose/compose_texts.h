#pragma once
// Messages of dispatch and the composing windows, kept in one place. The
// messages that name a routine are built from the routine's name and the
// pieces below; a path or a user name stands between two pieces.
#include <QString>

namespace nv::compose_texts {

inline const QString NoAddressee = QStringLiteral("You must select a name to send to.");
inline const QString NoRecipients = QStringLiteral("You must select someone to send the message to.");

// "Error in " + routine + InfoFileWrite + path + PathEndNotSaved
inline const QString ErrorIn = QStringLiteral("Error in ");
inline const QString ErrorEncounteredIn = QStringLiteral("Error encountered in ");
inline const QString InfoFileWrite = QStringLiteral("(): Unable to write to message info file: \"");
inline const QString TextFileWrite = QStringLiteral("(): Unable to write to message text file: \"");
inline const QString MailboxOpen = QStringLiteral("(): Unable to open mailbox: \"");
// "Error in " + routine + QueueFull1 + user + QueueFull2
inline const QString QueueFull1 = QStringLiteral("(): The message queue of \"");
inline const QString QueueFull2 = QStringLiteral("\" is full.  Data was not saved.");
inline const QString PathEnd = QStringLiteral("\".");
inline const QString PathEndNotSaved = QStringLiteral("\".  Data was not saved.");

// Routine names inside the messages, by caller.
inline const QString MultiSendRoutine = QStringLiteral("NvCommon.SendMsgToUser");
inline const QString CreateSendRoutine = QStringLiteral("CreateMsgForm.SendMsgToUser");
inline const QString PhoneSendRoutine = QStringLiteral("PhoneMsgForm.SendMsg");
inline const QString MultiOutboxRoutine = QStringLiteral("NvCommon.WriteToOutbox");
inline const QString CreateOutboxRoutine = QStringLiteral("CreateMsgForm.WriteToOutbox");
inline const QString PhoneOutboxRoutine = QStringLiteral("PhoneMsgForm.WriteToOutbox");

inline const QString MultiOutboxUnreadable =
    QStringLiteral("Error in NvCommon.WriteToOutbox(): Unable to read Outbox.  Contents will be deleted.");
inline const QString FormOutboxUnreadable =
    QStringLiteral("Error in WriteToOutbox(): Unable to read Outbox.  Contents will be deleted.");
inline const QString CreateOutboxFull = QStringLiteral("Your Outbox is full.  Empty it now?");
inline const QString PhoneOutboxFull = QStringLiteral("Your OUTBOX is full.  Empty it now?");
inline const QString CreateOutboxNotWritten = QStringLiteral("Message was not written to your Outbox.");
inline const QString PhoneOutboxNotWritten = QStringLiteral("Message was not written to your OUTBOX.");

} // namespace nv::compose_texts
