#pragma once
// Mailbox folder files: LocalDir/mailbox/<base>.mbx, a plain sequence of
// TMsgInfoRec records whose message texts are separate files in the same
// directory. The main window shows one folder at a time (Context::Msgs and
// MsgTexts, folder LastFolder); every change is written back at once, and
// every rewrite replaces the file whole (Files::writeWhole), so a crash or a
// full disk leaves the old folder or the new one.
//
// Display names: "Outbox" and "Deleted", spelled exactly so, stand for the
// user's own files OutboxBase and DeletedBase; every other name, DELETED and
// OUTBOX among them, is an ordinary folder of that name.
#include "store/msg_info_rec.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

namespace nv {

class Context;

inline const QString kOutboxFolder = QStringLiteral("Outbox");
inline const QString kDeletedFolder = QStringLiteral("Deleted");
inline const QString kInboxFolder = QStringLiteral("Inbox"); // the ordinary folder WriteToInbox fills
inline const QString kFolderExt = QStringLiteral(".mbx");
constexpr int kMsgTextPreviewLen = 80;

// ---- names and paths

// The base name of a folder shown as displayName: OutboxBase for exactly
// "Outbox", DeletedBase for exactly "Deleted", else the name itself.
QString FolderBaseName(const Context &ctx, const QString &displayName);

// How a folder file (a name found in the mailbox directory) is listed:
// "Outbox" or "Deleted" for the user's own special files, its name without
// ".mbx" for an ordinary folder; nothing for read-inboxes, other users'
// special files and names that would not map back to this file.
std::optional<QString> FolderDisplayName(const Context &ctx, const QString &fileName);

// Path of the folder file shown as displayName. Where the file server
// matches names ignoring case but the disk does not, an existing file
// whose name differs only in ASCII letter case is used.
QString FolderFilePath(const Context &ctx, const QString &displayName);

// Path of a message text file named by a record (reduced to its bare name;
// "" when the name names no file), found the same way.
QString MailboxTextPath(const Context &ctx, const QString &textFileName);

// ---- the folder on display

struct FolderLoadResult {
    // Whether the read and delete commands are to be enabled; empty when
    // they keep their state (the folder could not be read).
    std::optional<bool> commandsEnabled;
};

// Fills Msgs and MsgTexts from LastFolder, newest first. A folder of an
// older layout is converted and rewritten at once; each record that kept
// its text inside gets a text file with the whole text.
FolderLoadResult LoadFolderMsgs(Context &ctx);

// Rewrites the folder file of LastFolder from Msgs in their order; a record
// without a text file gets one holding its MsgTexts entry. True when the
// folder file was written; false with no folder shown (LastFolder empty).
bool SaveFolderMsgs(Context &ctx);

// Removes entry index from Msgs and MsgTexts and saves the folder; when the
// folder cannot be written the entry stays.
bool RemoveMsg(Context &ctx, int index);

// Appends a copy of entry index of Msgs (same text file, which now belongs
// to the copy) to the folder baseName ("Outbox"/"Deleted" map as above).
// A target in an older layout is converted first. False after a reported
// failure; the target file is then unchanged.
bool WriteMsgToFolder(Context &ctx, const QString &baseName, int index);

// Appends CurrentQueueMsg to the folder "Inbox" with a fresh copy of its
// text: the queue text file's, or inlineText for a message that carried its
// text inside. A message already in the Inbox (same sender, recipient, time
// and lists) is not added again: the poll meets a waiting message many times.
bool WriteToInbox(Context &ctx, const QString &inlineText = QString());

// Asks, then deletes the user's Outbox file and the text files of its
// records. True when the Outbox is gone.
bool ClearOutBox(Context &ctx);

// Deletes entry index the way the main window's delete command does: into
// the Deleted folder with its text file when UseDeletedBox is on, msgSaved
// is off and the folder shown is not "Deleted"; else the text file goes for
// good. The entry stays when its Deleted copy or the folder rewrite failed.
bool DeleteFolderMsg(Context &ctx, int index, bool msgSaved);

// The first line of a text file, at most 80 characters; "" when the file
// does not exist or cannot be read (the latter reported).
QString LoadMsgText(Context &ctx, const QString &path);

// The first line of a text (up to CR or LF), at most 80 characters.
QString firstTextLine(const QByteArray &ansiText);
QString firstTextLine(const QString &text);

// ---- the folder list

// Where folder import hooks in: called with the names of the export files
// (*.exp) in the mailbox directory, before the folder files are listed.
using ImportOffer = std::function<void(const QStringList &exportFiles)>;

// Rebuilds FolderNames from the mailbox directory (no limit on their
// number). Returns the export files found.
QStringList ScanFolders(Context &ctx, const ImportOffer &offerImports = {});

// FolderNames in ascending order of their Windows-1252 bytes (upper case
// before lower case).
void SortFolders(Context &ctx);

struct FolderRefresh {
    QStringList names;      // FolderNames, in list order
    int selected = -1;      // the entry of LastFolder; -1 when it is not listed
    FolderLoadResult load;  // of the folder then loaded
};

// Scan, sort, select LastFolder (the first folder when LastFolder is
// empty, which then becomes LastFolder) and load it.
FolderRefresh RefreshFolders(Context &ctx, const ImportOffer &offerImports = {});

// ---- order

// The display order of records by their stored SentAt bytes, newest first,
// exactly as the older clients' exchange sort leaves it (records with equal
// times included). Element k is the index of the record shown k-th.
std::vector<int> NewestFirstOrder(const std::vector<QByteArray> &sentAt);

// ---- read-only access (for tools)

// One message as shown: the record converted in memory, the version tag the
// conversion leaves ("2.8", "2.6", "2.5.0", "2.1.0", "2.0", "1.5"), the whole
// inline text of a record that kept its text inside, and the list preview.
// ToNames is as the read window shows it (older notation unpacked).
struct FolderEntry {
    TMsgInfoRec rec;
    QString versionTag;
    QString inlineText;
    QString preview;
};

// The messages of the folder file at path, newest first, converted in
// memory; nothing is written or shown. A missing file is an empty folder.
// Empty with *error set when the file cannot be read or no layout reads it;
// a value with *error set when damaged records were skipped.
std::optional<std::vector<FolderEntry>> ReadFolderFileReadOnly(Context &ctx, const QString &path,
                                                               QString *error = nullptr);

} // namespace nv
