#pragma once
// Reading the message info files that wait for the user in the queue
// directory: the Message Inbox window's reader (into its WindowMsg) and the
// poll's (into Context::CurrentQueueMsg). Records of older layouts are
// converted on the way. A file removed between the listing and the reading
// (its recipient's other copy took it) is skipped without a word.
#include "store/folders.h"
#include "store/msg_info_rec.h"

#include <QString>

#include <optional>

namespace nv {

class Context;

// The Message Inbox window's current record and, for a "2.0" record, the
// text it carried inside (shown as InlineText1 followed by InlineText2).
struct WindowMsgInfo {
    TMsgInfoRec WindowMsg;
    QString InlineText1;
    QString InlineText2;
};

// Reads ServerDir/queue/name into out, converting an older layout. False
// after a reported failure (the file stays in the queue) or when the file
// is gone.
bool ReadMsgInfo(Context &ctx, const QString &name, WindowMsgInfo &out);
// The reader chain from one layout down ("2.6" → "2.5" → "2.0").
bool ReadMsgInfo26(Context &ctx, const QString &name, WindowMsgInfo &out);
bool ReadMsgInfo25(Context &ctx, const QString &name, WindowMsgInfo &out);
bool ReadMsgInfo20(Context &ctx, const QString &name, WindowMsgInfo &out);

// Reads ServerDir/queue/name into CurrentQueueMsg; with UseInbox on, a
// message read is also filed into the folder "Inbox" (once).
bool ReadQueueMsg(Context &ctx, const QString &name);
// The conversion by tag of a record that is not "2.8".
bool ReadOldQueueMsg(Context &ctx, const QString &name, const QString &tag);
bool ReadQueueMsg26(Context &ctx, const QString &name);
bool ReadQueueMsg25(Context &ctx, const QString &name);
bool ReadQueueMsg20(Context &ctx, const QString &name);

// The queue info file at path as the Message Inbox window would convert it
// (FolderEntry: the record with ToNames unpacked, the version tag the
// conversion leaves, Text1 followed by Text2 of a "2.0" record, and the
// preview from its text file beside it). Nothing is shown or written.
std::optional<FolderEntry> ReadQueueFileReadOnly(Context &ctx, const QString &path, QString *error = nullptr);

} // namespace nv
