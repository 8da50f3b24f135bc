#include "reading/new_msgs.h"

#include "mainwin/context.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "reading/folder_append.h"
#include "reading/reading_texts.h"
#include "store/folders.h"
#include "store/helpers.h"
#include "store/legacy_formats.h"
#include "store/naming.h"
#include "store/queue_reader.h"
#include "store/sent_at.h"

#include <cerrno>

namespace nv::new_msgs {

namespace texts = reading_texts;

namespace {

constexpr size_t kMaxRows = size_t(kMaxNewMsgItems);

TNewMsgItem itemFrom(const TMsgInfoRec &r)
{
    TNewMsgItem it;
    it.Version = r.Version.left(11);
    it.FromUser = r.FromUser;
    it.ToUser = r.ToUser;
    it.SentAt = r.SentAt;
    it.Urgent = r.Urgent;
    it.Receipt = r.Receipt;
    it.ToNames = r.ToNames;
    it.CcNames = r.CcNames;
    it.BccNames = r.BccNames;
    it.TextFileName = bareFileName(r.TextFileName);
    return it;
}

// The record a row is filed as: no receipt is owed by a filed copy.
TMsgInfoRec recordOf(const TNewMsgItem &it)
{
    TMsgInfoRec r;
    r.Version = kRecVersion;
    r.FromUser = it.FromUser;
    r.ToUser = it.ToUser;
    r.SentAt = it.SentAt;
    r.Urgent = it.Urgent;
    r.Receipt = kOptionOff;
    r.TextFileName = bareFileName(it.TextFileName);
    r.ToNames = it.ToNames;
    r.CcNames = it.CcNames;
    r.BccNames = it.BccNames;
    return r;
}

void appendQueueRows(Context &ctx, std::vector<NewMsgRow> &rows)
{
    const QString user = CutAtNul(ctx.settings.UserName);
    if (!dirIsSet(ctx.ServerDir) || !isQueueableUser(user))
        return;
    for (const QString &name : ctx.files.find(ctx.queueDir(), user + QStringLiteral(".m*"))) {
        WindowMsgInfo info;
        if (!ReadMsgInfo(ctx, name, info))
            continue; // its reader said why; the file stays in the queue
        NewMsgRow row;
        row.item = itemFrom(info.WindowMsg);
        row.item.InfoFileName = name;
        row.item.InReadInbox = false;
        row.inlineText = info.InlineText1 + info.InlineText2;
        rows.push_back(std::move(row));
        if (rows.size() >= kMaxRows)
            return;
    }
}

// The read-inbox's records newest first. A folder in the current layout is
// read here directly; anything else is loaded the way the main window
// loads a folder, which converts, rewrites and reports.
std::vector<TMsgInfoRec> readInboxRecords(Context &ctx)
{
    std::vector<TMsgInfoRec> out;
    if (!dirIsSet(ctx.LocalDir) || !usableFolderName(ctx.InboxBase))
        return out;
    const QString path = FolderFilePath(ctx, ctx.InboxBase);
    if (!ctx.files.exists(path))
        return out;
    if (const auto bytes = ctx.files.readAll(path)) {
        FolderParse parse = parseFolderFile(*bytes);
        if (parse.status == FolderParse::Current) {
            std::vector<QByteArray> keys;
            keys.reserve(parse.msgs.size());
            for (const ConvertedMsg &m : parse.msgs)
                keys.push_back(toAnsi(m.rec.SentAt));
            out.reserve(parse.msgs.size());
            for (const int i : NewestFirstOrder(keys))
                out.push_back(std::move(parse.msgs[size_t(i)].rec));
            return out;
        }
    }
    FolderSwap swap(ctx, ctx.InboxBase);
    LoadFolderMsgs(ctx);
    out = ctx.Msgs;
    return out;
}

void sortNewestFirst(std::vector<NewMsgRow> &rows)
{
    std::vector<QByteArray> keys;
    keys.reserve(rows.size());
    for (const NewMsgRow &r : rows)
        keys.push_back(toAnsi(r.item.SentAt));
    std::vector<NewMsgRow> sorted;
    sorted.reserve(rows.size());
    for (const int i : NewestFirstOrder(keys))
        sorted.push_back(std::move(rows[size_t(i)]));
    rows = std::move(sorted);
}

void reportMoveFailure(Context &ctx, const QString &name)
{
    ctx.ui.plain(texts::NewMsgsMoveText1 + name + texts::NewMsgsMoveText2);
}

} // namespace

std::vector<NewMsgRow> BuildMsgList(Context &ctx)
{
    std::vector<NewMsgRow> rows;
    appendQueueRows(ctx, rows);
    if (rows.size() < kMaxRows) {
        for (const TMsgInfoRec &r : readInboxRecords(ctx)) {
            if (rows.size() >= kMaxRows)
                break;
            NewMsgRow row;
            row.item = itemFrom(r);
            row.item.InReadInbox = true;
            rows.push_back(std::move(row));
        }
    }
    sortNewestFirst(rows);
    for (NewMsgRow &row : rows) {
        if (row.item.TextFileName.isEmpty()) {
            row.preview = firstTextLine(row.inlineText);
            continue;
        }
        const QString path = rowTextPath(ctx, row.item);
        if (!path.isEmpty() && ctx.files.exists(path))
            row.preview = LoadMsgText(ctx, path);
    }
    return rows;
}

QString rowTextPath(Context &ctx, const TNewMsgItem &item)
{
    const QString name = bareFileName(item.TextFileName);
    if (name.isEmpty())
        return QString();
    return item.InReadInbox ? MailboxTextPath(ctx, name) : Files::join(ctx.queueDir(), name);
}

std::optional<ReadMsgContent> ContentForRow(Context &ctx, const NewMsgRow &row)
{
    TNewMsgItem it = row.item;
    it.TextFileName = bareFileName(it.TextFileName);

    ReadMsgContent c;
    c.SentFrom = it.FromUser;
    c.SentOn = ShowDateTime(it.SentAt);
    c.urgent = it.Urgent == kOptionOn;
    c.receiptOwed = it.Receipt == kOptionOn;
    if (!it.InReadInbox && it.Version == kTag20) {
        // The text is inside the info file: read it again.
        WindowMsgInfo info;
        if (!ReadMsgInfo(ctx, it.InfoFileName, info))
            return std::nullopt;
        c.InMessage = read_msg::splitTextLines(info.InlineText1 + info.InlineText2);
    } else if (!it.TextFileName.isEmpty()) {
        const QString path = rowTextPath(ctx, it);
        const auto lines = read_msg::LoadTextLines(ctx, path, texts::NewMsgsOpenText1);
        if (!lines)
            return std::nullopt;
        c.InMessage = *lines;
        c.MsgTextPath = path;
    }
    c.ToList = UnpackNames(it.ToNames);
    c.CcList = it.CcNames;
    c.BccList = it.BccNames;
    return c;
}

FolderWrite WriteMsgToFolder(Context &ctx, const NewMsgRow &row)
{
    const QString target = ctx.TmpFolder;
    if (target.isEmpty())
        return FolderWrite::NoTarget;
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.error(texts::NewMsgsNoLocalDir);
        return FolderWrite::Failed;
    }
    // An unreadable target is found out before anything is copied.
    const QString folderPath = appendTargetPath(ctx, target);
    if (!usableFolderName(FolderBaseName(ctx, target))
        || (ctx.files.exists(folderPath) && !ctx.files.readAll(folderPath))) {
        ctx.ui.error(texts::NewMsgsOpenMailbox1 + folderPath + texts::PathEnd);
        return FolderWrite::Failed;
    }

    TMsgInfoRec rec = recordOf(row.item);
    const QString mailbox = ctx.mailboxDir();
    ctx.files.mkpath(mailbox);

    // The text goes into the mailbox as a copy; the queue keeps its own
    // until the folder record is written.
    QString created;
    const QString name = rec.TextFileName;
    if (!name.isEmpty()) {
        const QString src = Files::join(ctx.queueDir(), name);
        const QString dest = Files::join(mailbox, name);
        if (!ctx.files.exists(src)) {
            MoveAFile(ctx.ui, ctx.files, src, dest); // says that it does not exist
            reportMoveFailure(ctx, name);
            rec.TextFileName.clear(); // nothing of that name belongs to the record
        } else {
            FileError err;
            if (ctx.files.copyNoOverwrite(src, dest, &err)) {
                created = dest;
            } else {
                // The name belongs to another message in the mailbox: the
                // copy gets a fresh one.
                const auto bytes = err.code == EEXIST ? ctx.files.readAll(src) : std::nullopt;
                const NewText t = bytes ? CreateTextFile(ctx, mailbox, *bytes) : NewText{};
                if (!t.ok) {
                    reportMoveFailure(ctx, name);
                    return FolderWrite::Failed;
                }
                created = t.path;
                rec.TextFileName = t.name;
            }
        }
    } else if (!row.inlineText.isEmpty()) {
        // A "2.0" message carried its text inside: it gets a text file.
        const NewText t = CreateTextFile(ctx, mailbox, toAnsi(row.inlineText));
        if (!t.ok) {
            reportMoveFailure(ctx, t.name);
            return FolderWrite::Failed;
        }
        created = t.path;
        rec.TextFileName = t.name;
    }

    const FolderAppend a = AppendToFolder(ctx, target, rec);
    if (a.status != FolderAppend::Written) {
        if (!created.isEmpty())
            ctx.files.remove(created);
        ctx.ui.error(a.status == FolderAppend::Unreadable
                         ? texts::NewMsgsOpenMailbox1 + a.path + texts::PathEnd
                         : texts::NewMsgsWriteInfo1 + a.path + texts::PathEndNotSaved);
        return FolderWrite::Failed;
    }
    return FolderWrite::Written;
}

void DeleteQueueFiles(Context &ctx, const TNewMsgItem &item)
{
    const QString queue = ctx.queueDir();
    // The info file first: a text file left alone is harmless, an info file
    // without its text would list an empty message.
    const QString info = bareFileName(item.InfoFileName);
    if (!info.isEmpty())
        ctx.files.remove(Files::join(queue, info));
    const QString text = bareFileName(item.TextFileName);
    if (isMsgTextFileName(text))
        ctx.files.remove(Files::join(queue, text));
}

bool RemoveReadInboxMsg(Context &ctx, const QString &fromUser, const QString &sentAt, const QString &textFileName,
                        bool markedAsRead)
{
    Q_UNUSED(textFileName); // the record found names the same text file
    FolderSwap swap(ctx, ctx.InboxBase);
    swap.reloadOnRestore();
    if (ctx.InboxBase.isEmpty())
        return false;
    LoadFolderMsgs(ctx);
    for (size_t i = 0; i < ctx.Msgs.size(); ++i) {
        const TMsgInfoRec &r = ctx.Msgs[i];
        if (r.FromUser == fromUser && r.SentAt == sentAt)
            return DeleteFolderMsg(ctx, int(i), ctx.MsgSaved || markedAsRead);
    }
    return false;
}

bool MarkAsRead(Context &ctx, const NewMsgRow &row)
{
    if (row.item.InReadInbox)
        return false;
    ctx.TmpFolder = ctx.InboxBase;
    if (WriteMsgToFolder(ctx, row) != FolderWrite::Written)
        return false; // not filed: it stays new
    DeleteQueueFiles(ctx, row.item);
    return true;
}

bool DeleteMsg(Context &ctx, const NewMsgRow &row)
{
    ctx.MsgSaved = false;
    const TNewMsgItem &it = row.item;
    if (it.InReadInbox)
        return RemoveReadInboxMsg(ctx, it.FromUser, it.SentAt, it.TextFileName, false);
    if (ctx.settings.UseDeletedBox) {
        ctx.TmpFolder = ctx.DeletedBase;
        if (WriteMsgToFolder(ctx, row) == FolderWrite::Failed)
            return false; // no Deleted copy: it stays in the queue
    }
    DeleteQueueFiles(ctx, it);
    return true;
}

void FinishReading(Context &ctx, const NewMsgRow &row, const ReadOutcome &outcome)
{
    const TNewMsgItem &it = row.item;
    if (outcome.KeepAsNew) {
        if (it.Receipt == kOptionOn && outcome.receiptSent)
            KeepAsNewRewrite(ctx, it);
        return;
    }
    if (it.InReadInbox) {
        if (ctx.MsgRemoved)
            RemoveReadInboxMsg(ctx, it.FromUser, it.SentAt, it.TextFileName, outcome.MarkedAsRead);
        return;
    }
    // Every way out of the read window but "Keep As New" gives a verdict;
    // without one the message stays where it is.
    if (!ctx.MsgRemoved && !ctx.MsgSaved && !outcome.MarkedAsRead)
        return;
    if (ctx.settings.UseDeletedBox && !ctx.MsgSaved && !outcome.MarkedAsRead) {
        ctx.TmpFolder = ctx.DeletedBase;
        if (WriteMsgToFolder(ctx, row) == FolderWrite::Failed)
            return; // no Deleted copy: it stays in the queue
    }
    DeleteQueueFiles(ctx, it);
}

bool KeepAsNewRewrite(Context &ctx, const TNewMsgItem &item)
{
    const QString info = bareFileName(item.InfoFileName);
    if (info.isEmpty())
        return false;
    const QString path = Files::join(ctx.queueDir(), info);
    if (!ctx.files.exists(path))
        return false;
    FileError err;
    if (!ctx.files.writeWhole(path, encodeMsgInfoRec(recordOf(item)), &err)) {
        ctx.ui.error(texts::KeepAsNewWrite1 + path + texts::PathEndNotSaved);
        return false;
    }
    return true;
}

} // namespace nv::new_msgs
