#include "reading/read_msg.h"

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
#include "store/sent_at.h"

namespace nv::read_msg {

namespace texts = reading_texts;

namespace {

constexpr int kQuickReplyLen = 81;
const QString kQuickRepliesFile = QStringLiteral("qreplys.txt");

} // namespace

QStringList splitTextLines(const QString &text)
{
    QStringList out;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        out.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        out.append(text.mid(start));
    return out;
}

QStringList splitTextLines(const QByteArray &ansiText) { return splitTextLines(fromAnsi(ansiText)); }

std::optional<QStringList> LoadTextLines(Context &ctx, const QString &path, const QString &firstPiece)
{
    const auto bytes = ctx.files.isFile(path) ? ctx.files.readAll(path) : std::nullopt;
    if (!bytes) {
        ctx.ui.error(firstPiece + path + texts::PathEnd);
        return std::nullopt;
    }
    return splitTextLines(*bytes);
}

QStringList LoadQuickReplys(Context &ctx)
{
    if (!dirIsSet(ctx.ServerDir))
        return {};
    const QString path = ctx.serverFile(kQuickRepliesFile);
    if (!ctx.files.exists(path))
        return {};
    const auto bytes = ctx.files.isFile(path) ? ctx.files.readAll(path) : std::nullopt;
    if (!bytes) {
        ctx.ui.error(texts::QuickRepliesOpen1 + path + texts::PathEnd);
        return {};
    }
    QStringList out;
    for (const QString &line : splitTextLines(*bytes))
        out.append(line.left(kQuickReplyLen));
    return out;
}

std::optional<ReadMsgContent> ContentFromFolderRecord(Context &ctx, int index)
{
    if (index < 0 || size_t(index) >= ctx.Msgs.size())
        return std::nullopt;
    TMsgInfoRec &rec = ctx.Msgs[size_t(index)];
    ReadMsgContent c;
    c.SentFrom = rec.FromUser;
    c.SentOn = ShowDateTime(rec.SentAt);
    c.urgent = rec.Urgent == kOptionOn;
    c.ToList = rec.ToNames;
    c.CcList = rec.CcNames;
    c.BccList = rec.BccNames;
    c.receiptOwed = false; // no receipt for a message read from a folder

    rec.TextFileName = bareFileName(rec.TextFileName);
    const QString path = MailboxTextPath(ctx, rec.TextFileName);
    if (!path.isEmpty() && ctx.files.exists(path)) {
        const auto lines = LoadTextLines(ctx, path, texts::MainOpenText1);
        if (!lines)
            return std::nullopt;
        c.InMessage = *lines;
        c.MsgTextPath = path;
    }
    return c;
}

FolderWrite WriteMsgToFolder(Context &ctx, const ReadMsgContent &msg)
{
    const QString target = ctx.TmpFolder;
    if (target.isEmpty())
        return FolderWrite::NoTarget;
    if (!dirIsSet(ctx.LocalDir)) {
        ctx.ui.error(texts::ReadMsgNoLocalDir);
        return FolderWrite::Failed;
    }

    TMsgInfoRec rec;
    rec.Version = kRecVersion;
    rec.FromUser = msg.SentFrom;
    rec.ToUser = ctx.settings.UserName;
    rec.SentAt = StoreDateTime(msg.SentOn);
    rec.Urgent = msg.urgent ? kOptionOn : kOptionOff;
    rec.Receipt = kOptionOff;
    rec.ToNames = msg.ToList;
    rec.CcNames = msg.CcList;
    rec.BccNames = msg.BccList;

    // An unreadable target is found out before anything is written.
    const QString folderPath = appendTargetPath(ctx, target);
    if (!usableFolderName(FolderBaseName(ctx, target))) {
        ctx.ui.error(texts::ReadMsgOpenMailbox1 + folderPath + texts::PathEnd);
        return FolderWrite::Failed;
    }
    if (ctx.files.exists(folderPath) && !ctx.files.readAll(folderPath)) {
        ctx.ui.error(texts::ReadMsgOpenMailbox1 + folderPath + texts::PathEnd);
        return FolderWrite::Failed;
    }

    // The copy's own text file first: a record is never written without
    // the text it names.
    const QString mailbox = ctx.mailboxDir();
    ctx.files.mkpath(mailbox);
    const NewText text = CreateTextFile(ctx, mailbox, textFileBytes(msg.InMessage));
    if (!text.ok) {
        ctx.ui.error(texts::ReadMsgWriteText1 + text.path + texts::PathEndNotSaved);
        return FolderWrite::Failed;
    }
    rec.TextFileName = text.name;

    const FolderAppend a = AppendToFolder(ctx, target, rec);
    if (a.status != FolderAppend::Written) {
        ctx.files.remove(text.path);
        ctx.ui.error(a.status == FolderAppend::Unreadable
                         ? texts::ReadMsgOpenMailbox1 + a.path + texts::PathEnd
                         : texts::ReadMsgWriteInfo1 + a.path + texts::PathEndNotSaved);
        return FolderWrite::Failed;
    }
    return FolderWrite::Written;
}

ReplyRequest ReplyToMsg(const QString &prefix, ReplyMode mode, const ReadMsgContent &msg)
{
    ReplyRequest r;
    r.memoMessage.append(prefix);
    if (msg.InMessage.isEmpty()) {
        r.memoMessage.append(QStringLiteral(">"));
    } else {
        r.memoMessage.append(QLatin1Char('>') + msg.InMessage.first());
        r.memoMessage.append(msg.InMessage.mid(1));
    }
    r.PresetTo = msg.SentFrom + QLatin1Char(';');
    if (mode == ReplyMode::ReplyAll) {
        r.PresetTo += msg.ToList;
        r.PresetCc = msg.CcList;
    }
    return r;
}

} // namespace nv::read_msg
