#pragma once
// The read window's work on files: the message it shows, loading texts and
// the quick replies, the copy it saves into a folder (or the read-inbox for
// "Mark As Read"), and what a reply starts with. The window itself only
// holds controls and flags.
#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>

namespace nv {

class Context;

// What the read window shows. An opener fills it; the window's commands
// work from it.
struct ReadMsgContent {
    QString SentFrom;       // sender's user name
    QString SentOn;         // send time in display form ("mm/dd/yyyy hh:mm:ss")
    bool urgent = false;    // UrgentFld reads "URGENT!"
    QString ToList;         // names, each followed by ";"
    QString CcList;
    QString BccList;        // kept hidden
    QStringList InMessage;  // the lines of the text
    QString MsgTextPath;    // full path of the text file shown; "" when none
    bool receiptOwed = false; // SendReceiptBox: a receipt goes out at the first activation
};

namespace read_msg {

// A text's lines as a memo holds them: a line ends at CR LF, CR or LF; a
// break at the very end makes no empty last line. Windows-1252 bytes.
QStringList splitTextLines(const QByteArray &ansiText);
QStringList splitTextLines(const QString &text);

// The lines of a message text file; nothing when it cannot be read, which
// is reported as firstPiece + path + "\".".
std::optional<QStringList> LoadTextLines(Context &ctx, const QString &path, const QString &firstPiece);

// The quick replies of ServerDir/qreplys.txt: the first 81 characters of
// every line, in file order. A missing file gives none without a word; one
// that cannot be read is reported.
QStringList LoadQuickReplys(Context &ctx);

// The main window's read command for entry index of Msgs: its TextFileName
// is reduced to the bare name and stored back; the text comes from the
// mailbox directory when the file exists (empty otherwise). No receipt is
// owed for a folder message. Nothing when the file exists but cannot be
// read (reported).
std::optional<ReadMsgContent> ContentFromFolderRecord(Context &ctx, int index);

// The read window's WriteMsgToFolder: a copy of the message shown, with a
// text file of its own written from the lines shown, appended to the folder
// named by TmpFolder ("Deleted" and "Outbox" stand for the user's own
// files). Failures are reported; nothing is left behind by them.
enum class FolderWrite { Written, NoTarget, Failed };
FolderWrite WriteMsgToFolder(Context &ctx, const ReadMsgContent &msg);

// What a reply opens the multiple-recipient window with.
enum class ReplyMode { Reply, ReplyAll };
struct ReplyRequest {
    QStringList memoMessage; // prefix, then ">" before the first quoted line
    QString PresetTo, PresetCc, PresetBcc;
};
ReplyRequest ReplyToMsg(const QString &prefix, ReplyMode mode, const ReadMsgContent &msg);

} // namespace read_msg
} // namespace nv
