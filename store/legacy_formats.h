#pragma once
// The record layouts of earlier releases and their conversion into
// TMsgInfoRec. They still turn up in queue info files written by older
// clients, in folder files and in Outbox files. Nothing writes them: a
// converted folder is rewritten in the current layout by its caller.
//
// The byte-level readers here never show anything and never touch a file,
// so the CLI and the fuzzers use them as they are; the routines that take a
// Context read the file themselves and report their failures in boxes.
#include "store/msg_info_rec.h"

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

namespace nv {

class Context;

constexpr int kMsgInfoRec26Size = 420;
constexpr int kMsgInfoRec25Size = 416;
constexpr int kMsgInfoRec20Size = 568;
constexpr int kMsgInfoRec15Size = 316;

inline const QString kTag26 = QStringLiteral("2.6");
inline const QString kTag25 = QStringLiteral("2.5.0");
inline const QString kTag21 = QStringLiteral("2.1.0");
// Tags given by convention to the two layouts without a Version field.
inline const QString kTag20 = QStringLiteral("2.0");
inline const QString kTag15 = QStringLiteral("1.5");

// "2.6": the current layout's first 417 bytes, without Cc and Bcc lists.
struct TMsgInfoRec26 {
    QString Version, FromUser, ToUser, SentAt;
    qint32 Urgent = 0;
    qint32 Receipt = 0;
    QString TextFileName; // may hold a full path
    QString ToNames;
};

// "2.5.0" and "2.1.0": no receipt field.
struct TMsgInfoRec25 {
    QString Version, FromUser, ToUser, SentAt;
    qint32 Urgent = 0;
    QString TextFileName; // may hold a full path
    QString ToNames;
};

// No tag ("2.0"): the text is inside the record, in two pieces.
struct TMsgInfoRec20 {
    QString FromUser, ToUser, SentAt;
    qint32 Urgent = 0;
    QString Text1, Text2; // Text2 continues Text1 directly
};

// No tag ("1.5"): only in folder files.
struct TMsgInfoRec15 {
    QString FromUser, ToUser, SentAt;
    qint32 Urgent = 0;
    QString Text;
};

namespace legacy_layout {
// "2.6"
constexpr int V26VersionAt = 0, V26FromUserAt = 12, V26ToUserAt = 29, V26SentAtAt = 46, V26UrgentAt = 72,
              V26ReceiptAt = 76, V26TextFileNameAt = 80, V26ToNamesAt = 161;
// "2.5.0" / "2.1.0"
constexpr int V25VersionAt = 0, V25FromUserAt = 12, V25ToUserAt = 29, V25SentAtAt = 46, V25UrgentAt = 72,
              V25TextFileNameAt = 76, V25ToNamesAt = 157;
// "2.0" and "1.5" share their head.
constexpr int OldFromUserAt = 0, OldToUserAt = 17, OldSentAtAt = 34, OldUrgentAt = 60, OldTextAt = 64;
constexpr int V20Text2At = 315;
constexpr int OldTextLen = 250;
} // namespace legacy_layout

// p must hold the layout's record size.
TMsgInfoRec26 decodeMsgInfoRec26(const char *p);
TMsgInfoRec25 decodeMsgInfoRec25(const char *p);
TMsgInfoRec20 decodeMsgInfoRec20(const char *p);
TMsgInfoRec15 decodeMsgInfoRec15(const char *p);

// The string[11] at offset, of whatever bytes the buffer holds there: the
// version tag of a tagged record.
QByteArray leadingTag(const QByteArray &bytes, qsizetype offset = 0);

// A name list of the older notation ("^" after each name, "$" at the end)
// in the current one (";" after each name): ANN^BOB^$ gives ANN;BOB;. A list
// that already holds a ";" is in the current notation and passes unchanged,
// so a name with a "$" in it keeps it.
QString UnpackNames(const QString &list);

// ---- Folder files ------------------------------------------------------

enum class FolderLayout { Current, V26, V25, V20, V15 };

// One folder record as converted, with the text it carried inside ("2.0":
// Text1 followed by Text2; oldest: Text), which still needs a text file.
struct ConvertedMsg {
    TMsgInfoRec rec;
    QString inlineText;
};

struct FolderParse {
    enum Status {
        Current,   // every record a whole "2.8" one (or no record at all)
        Converted, // an older layout, converted whole
        Salvaged,  // no layout reads the file: the whole "2.8" records in it, the rest skipped
        Invalid,   // nothing readable
    };
    Status status = Invalid;
    FolderLayout layout = FolderLayout::Current; // the layout that read the records
    std::vector<ConvertedMsg> msgs;              // in file order; TextFileName reduced to a bare name
};

// The converter the file's first record that is not a whole "2.8" record
// picks by its tag: "2.6", "2.5.0"/"2.1.0", anything else the "2.0" one.
// Current when there is no such record.
FolderLayout folderConverterFor(const QByteArray &bytes);

// Runs the converter `from` on the whole file; a converter that cannot read
// a record hands the whole file to the next older one (26, 25, 20, 15).
// Empty when the oldest cannot read it either; *used names the one that did.
std::optional<std::vector<ConvertedMsg>> convertFolderFrom(FolderLayout from, const QByteArray &bytes,
                                                           FolderLayout *used = nullptr);

// A whole folder file: recognised, decoded or converted.
FolderParse parseFolderFile(const QByteArray &bytes);

struct OldFolderLoad {
    enum Status { Loaded, OpenFailed, Invalid };
    Status status = Invalid;
    FolderLayout layout = FolderLayout::Current;
    std::vector<ConvertedMsg> msgs;
};

// Read the folder file at path and convert it, starting with their own
// layout. An open failure shows "Error 00NN: File access error on old
// message file"; a file no converter reads shows "Error 0004: Invalid
// message file encountered." and empties LastFolder, so that nothing is saved.
OldFolderLoad LoadOldFolder26(Context &ctx, const QString &path);
OldFolderLoad LoadOldFolder25(Context &ctx, const QString &path);
OldFolderLoad LoadOldFolder20(Context &ctx, const QString &path);
OldFolderLoad LoadOldFolder15(Context &ctx, const QString &path);

// ---- Outbox files --------------------------------------------------------

// The records of an Outbox in layout V26 (tag "2.6") or V25 (tags "2.5.0"
// and "2.1.0") as current records; empty when a record is cut or carries
// another tag.
std::optional<std::vector<TMsgInfoRec>> convertOldOutbox(FolderLayout layout, const QByteArray &bytes);

// Convert the Outbox file at path into outboxRecs. path is the user's own
// Outbox file whose records are of the older layout; the shared "Outbox.mbx"
// of older releases holds every user's sent messages and is not merged into
// one user's Outbox. Failures are reported here and leave outboxRecs empty.
void LoadOldOutbox26(Context &ctx, const QString &path, std::vector<TMsgInfoRec> &outboxRecs);
void LoadOldOutbox25(Context &ctx, const QString &path, std::vector<TMsgInfoRec> &outboxRecs);

// ---- Queue info files ----------------------------------------------------

// Whose conversion rules apply: the Message Inbox window's (WindowMsg) or
// the poll's (CurrentQueueMsg). They differ in Receipt of "2.6" records and
// in the To list of "2.0" records.
enum class QueueReader { Window, Poll };

enum class QueueLayout { Current, V26, V25, V20 };

struct QueueMsg {
    TMsgInfoRec rec;     // TextFileName reduced to a bare name
    QString InlineText1; // "2.0" only
    QString InlineText2;
    QueueLayout layout = QueueLayout::Current;
};

// One queue info file: a whole "2.8" record, or an older layout by its tag.
// Empty when no reader can read it, and for a "2.8" record cut short.
std::optional<QueueMsg> readQueueBytes(const QByteArray &bytes, QueueReader who);

// The reader chain from `from` (26, 25 or 20): a reader that cannot read
// the file hands it down to the next older one.
std::optional<QueueMsg> convertQueueFrom(QueueLayout from, const QByteArray &bytes, QueueReader who);

} // namespace nv
