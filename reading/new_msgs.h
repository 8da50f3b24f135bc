#pragma once
// The Message Inbox's work on files: the list of new messages waiting in
// the queue and of messages kept in the read-inbox, and the life of a
// received message on the reading side (filed into a folder, marked as
// read, deleted, kept as new). The window holds only its state and
// controls.
//
// The queue files of a new message are deleted only once its folder record
// is written: a message that cannot be filed stays in the queue.
#include "reading/read_msg.h"

#include <QString>

#include <optional>
#include <vector>

namespace nv {

class Context;

// One row of the Message Inbox, in memory only.
struct TNewMsgItem {
    QString Version;  // "2.8" or the tag the conversion leaves ("2.6", "2.5.0", "2.1.0", "2.0")
    QString FromUser;
    QString ToUser;
    QString SentAt;   // stored form "yyyy/mm/dd hh:mm:ss"
    qint32 Urgent = 2;
    qint32 Receipt = 2;
    QString ToNames;
    QString CcNames;
    QString BccNames;
    QString InfoFileName; // queue info file name; "" for read-inbox rows
    QString TextFileName; // bare name: in the queue for a queue row, in the mailbox for a read-inbox row
    bool InReadInbox = false;
};

// A row with what the list shows of it.
struct NewMsgRow {
    TNewMsgItem item;
    QString preview;    // first line of the text, at most 80 characters
    QString inlineText; // the text a "2.0" record carries inside
};

constexpr int kMaxNewMsgItems = 255;

namespace new_msgs {

// The rows, newest first: the user's queue files that read (in directory
// order, at most 255), then the read-inbox records (newest first) up to 255
// rows in all, sorted together by SentAt. Queue files that cannot be read
// are reported by their reader and left out. The main window's folder is
// left as it was.
std::vector<NewMsgRow> BuildMsgList(Context &ctx);

// The path of a row's text file ("" when it has none).
QString rowTextPath(Context &ctx, const TNewMsgItem &item);

// What the read window shows for a row (ReadAMsg). Nothing when the text
// cannot be loaded (reported): the window is then not shown.
std::optional<ReadMsgContent> ContentForRow(Context &ctx, const NewMsgRow &row);

// This window's WriteMsgToFolder: appends the row (Receipt 2) to the folder
// named by TmpFolder, with its text file copied from the queue into the
// mailbox directory (under a fresh name when that name is taken there; a
// "2.0" message's text gets a text file of its own). The queue files are
// left alone: the caller deletes them once this gave Written.
enum class FolderWrite { Written, NoTarget, Failed };
FolderWrite WriteMsgToFolder(Context &ctx, const NewMsgRow &row);

// Deletes a queue row's info file, then its text file. Missing files are
// not reported.
void DeleteQueueFiles(Context &ctx, const TNewMsgItem &item);

// Takes a message out of the read-inbox: into the Deleted folder with its
// text file when UseDeletedBox is on and neither MsgSaved nor markedAsRead
// is set, else for good. A record not found changes nothing.
bool RemoveReadInboxMsg(Context &ctx, const QString &fromUser, const QString &sentAt, const QString &textFileName,
                        bool markedAsRead);

// "&Mark As Read" of the list: a queue row's record goes into the
// read-inbox with its text file and leaves the queue. False when nothing
// changed.
bool MarkAsRead(Context &ctx, const NewMsgRow &row);

// "&Delete" of the list (after the question): a read-inbox row leaves the
// read-inbox; a queue row leaves the queue, into the Deleted folder when
// UseDeletedBox is on. False when nothing changed.
bool DeleteMsg(Context &ctx, const NewMsgRow &row);

// How the read window was left, besides the main window's MsgRemoved and
// MsgSaved.
struct ReadOutcome {
    bool KeepAsNew = false;
    bool MarkedAsRead = false;
    bool receiptSent = false; // a receipt went out during the showing
};

// What follows the read window for a row (ReadAMsg, after the window).
void FinishReading(Context &ctx, const NewMsgRow &row, const ReadOutcome &outcome);

// A message kept as new whose receipt went out: its info file is rewritten
// with Receipt 2, so that no second receipt is sent.
bool KeepAsNewRewrite(Context &ctx, const TNewMsgItem &item);

} // namespace new_msgs
} // namespace nv
