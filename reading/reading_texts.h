#pragma once
// Captions and messages of the Message Inbox and the read window, kept in
// one place. A path or a name stands between the two pieces of a quoted text.
#include <QString>

namespace nv::reading_texts {

// ---- Message Inbox window
inline const QString NewMsgsCaption = QStringLiteral("Message Inbox");
inline const QString OkCaption = QStringLiteral("&Ok");
inline const QString ReadCaption = QStringLiteral("&Read");
inline const QString DeleteCaption = QStringLiteral("&Delete");
inline const QString MarkAsReadCaption = QStringLiteral("&Mark As Read");

inline const QString NewMsgsNoLocalDir =
    QStringLiteral("Error in WriteMsgToFolder(): The Local working directory has not been designated.");
inline const QString NewMsgsOpenMailbox1 =
    QStringLiteral("Error encountered in NewMsgsForm.WriteMsgToFolder(): Unable to open mailbox: \"");
inline const QString NewMsgsMoveText1 = QStringLiteral("Error in WriteMsgToFolder(): Unable to move message text file: ");
inline const QString NewMsgsMoveText2 = QStringLiteral(".");
inline const QString NewMsgsWriteInfo1 =
    QStringLiteral("Error in NewMsgsForm.WriteMsgToFolder(): Unable to write to message info file: \"");
inline const QString KeepAsNewWrite1 =
    QStringLiteral("Error in NewMsgsForm.ReadAMsg(): Unable to write to message info file: \"");
// A message text file that cannot be loaded for reading.
inline const QString NewMsgsOpenText1 =
    QStringLiteral("Error in NewMsgsForm.ReadAMsg(): Unable to open message text file: \"");
inline const QString MainOpenText1 =
    QStringLiteral("Error in NvMainForm.ReadCurrentMsg(): Unable to open message text file: \"");

// ---- read window
inline const QString ReadMsgCaption = QStringLiteral("Norvane - Read Message");
inline const QString FromLabel = QStringLiteral("From:");
inline const QString SentLabel = QStringLiteral("Sent:");
inline const QString ToLabel = QStringLiteral("To:");
inline const QString CcLabel = QStringLiteral("Cc:");
inline const QString MessageLabel = QStringLiteral("Message:");
inline const QString QuickReplyLabel = QStringLiteral("Quick Reply:");
inline const QString UrgentText = QStringLiteral("URGENT!");
inline const QString ReceiptSentText = QStringLiteral("Receipt Sent");

inline const QString ReplyCaption = QStringLiteral("&Reply");
inline const QString ReplyAllCaption = QStringLiteral("Reply &All");
inline const QString SaveCaption = QStringLiteral("&Save");
inline const QString PrintCaption = QStringLiteral("&Print");
inline const QString ExitCaption = QStringLiteral("E&xit");
inline const QString KeepAsNewCaption = QStringLiteral("Keep As &New");

inline const QString FileMenu = QStringLiteral("&File");
inline const QString EditMenu = QStringLiteral("&Edit");
inline const QString MessageMenu = QStringLiteral("&Message");
inline const QString CutCaption = QStringLiteral("Cu&t");
inline const QString CopyCaption = QStringLiteral("&Copy");
inline const QString PasteCaption = QStringLiteral("&Paste");
inline const QString SelectAllCaption = QStringLiteral("&Select All");

inline const QString DeleteThisQuestion = QStringLiteral("Delete this message?");

inline const QString QuickRepliesOpen1 =
    QStringLiteral("Error encountered in ReadMsgForm.LoadQuickReplys(): Unable to open quick replies: \"");

inline const QString ReceiptHeading = QStringLiteral("RECEIPT: The following message was read by: ");
inline const QString ReceiptWriteInfo1 =
    QStringLiteral("Error in ReadMsgForm.SendReceipt(): Unable to write to message info file: \"");
inline const QString ReceiptWriteText1 =
    QStringLiteral("Error in ReadMsgForm.SendReceipt(): Unable to write to message text file: \"");
// + the sender's name + ReceiptQueueFull2
inline const QString ReceiptQueueFull1 = QStringLiteral("Error in ReadMsgForm.SendReceipt(): The message queue of \"");
inline const QString ReceiptQueueFull2 = QStringLiteral("\" is full.  Data was not saved.");

inline const QString ReadMsgNoLocalDir = QStringLiteral("Error 0031: The Local working directory has not been designated.");
inline const QString ReadMsgOpenMailbox1 =
    QStringLiteral("Error encountered in ReadMsgForm.WriteMsgToFolder(): Unable to open mailbox: \"");
inline const QString ReadMsgWriteText1 =
    QStringLiteral("Error in ReadMsgForm.WriteMsgToFolder(): Unable to write to message text file: \"");
inline const QString ReadMsgWriteInfo1 =
    QStringLiteral("Error in ReadMsgForm.WriteMsgToFolder(): Unable to write to message info file: \"");

// Endings of the quoted texts.
inline const QString PathEnd = QStringLiteral("\".");
inline const QString PathEndNotSaved = QStringLiteral("\".  Data was not saved.");

} // namespace nv::reading_texts
