#include "compose/dispatch.h"

#include "directory/groups.h"
#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/folders.h"
#include "store/helpers.h"
#include "store/legacy_formats.h"
#include "store/msg_info_rec.h"
#include "store/naming.h"
#include "store/sent_at.h"

#include <optional>
#include <vector>

namespace nv {

namespace texts = compose_texts;

namespace {

constexpr int kUserNameLen = 16;
constexpr int kListTextLen = 255;
// Exclusive creations of a text file before it is given up; a clash needs
// another writer to take the very name drawn a moment before.
constexpr int kMaxTextCreates = 20;
// Numbered copies of an unreadable Outbox kept beside it.
constexpr int kMaxOutboxCopies = 99;

qint32 option(bool on) { return on ? kOptionOn : kOptionOff; }

QString infoWriteMessage(const QString &routine, const QString &path)
{
    return texts::ErrorIn + routine + texts::InfoFileWrite + path + texts::PathEndNotSaved;
}

QString textWriteMessage(const QString &routine, const QString &path)
{
    return texts::ErrorIn + routine + texts::TextFileWrite + path + texts::PathEndNotSaved;
}

struct NewTextFile {
    std::optional<QString> name; // set when the file was written
    QString path;                // the file written, or the one that failed
};

// A message text file under a fresh name, created exclusively so that no
// file of another sender is ever replaced; names are drawn without waiting.
NewTextFile createTextFile(Context &ctx, const QString &dir, const QByteArray &body)
{
    NewTextFile out;
    for (int i = 0; i < kMaxTextCreates; ++i) {
        const QString name = NewMsgFileName(ctx.random, ctx.files, dir);
        out.path = Files::join(dir, name);
        switch (ctx.files.createExclusive(out.path, body)) {
        case PublishResult::Published:
            out.name = name;
            return out;
        case PublishResult::Exists:
            continue;
        case PublishResult::Failed:
            return out;
        }
    }
    return out;
}

bool usableFileBase(const QString &base)
{
    return !base.isEmpty() && !base.contains(QLatin1Char('/')) && !base.contains(QLatin1Char('\\'))
        && !base.contains(QChar(u'\0')) && base != QLatin1String(".") && base != QLatin1String("..");
}

// What an existing Outbox file holds, read as the caller reads it.
struct OutboxRead {
    std::vector<TMsgInfoRec> recs;
    qsizetype keptBytes = 0;       // the leading bytes that are exactly recs (no conversion)
    bool converted = false;        // recs came from an older layout
    bool dropped = false;          // the file's contents could not be carried over
};

OutboxRead readOutbox(Context &ctx, const DispatchCaller &caller, const QString &path, const QByteArray &bytes)
{
    OutboxRead out;
    qsizetype off = 0;
    bool stopped = false;
    while (off < bytes.size()) {
        // A file holding more than the capacity counts as full.
        if (caller.outboxCapacity > 0 && out.recs.size() >= size_t(caller.outboxCapacity))
            break;
        auto rec = decodeMsgInfoRec(bytes, off);
        if (!rec || rec->Version != kRecVersion) {
            stopped = true;
            break;
        }
        out.recs.push_back(std::move(*rec));
        off += kMsgInfoRecSize;
    }
    out.keptBytes = off;
    if (!stopped)
        return out;

    // The record that stopped the reading names the older layout.
    out.recs.clear();
    out.keptBytes = 0;
    const QByteArray tag = leadingTag(bytes, off);
    if (tag == kTag26.toLatin1())
        LoadOldOutbox26(ctx, path, out.recs);
    else if (tag == kTag25.toLatin1())
        LoadOldOutbox25(ctx, path, out.recs);
    else
        ctx.ui.error(caller.outboxUnreadable);
    out.converted = !out.recs.empty();
    out.dropped = out.recs.empty();
    return out;
}

// Keeps the bytes of an Outbox that is about to be replaced by its new
// record alone, under a name no search of the program matches.
bool keepUnreadableOutbox(Context &ctx, const QByteArray &bytes)
{
    for (int n = 1; n <= kMaxOutboxCopies; ++n) {
        const QString copy =
            Files::join(ctx.mailboxDir(), ctx.OutboxBase + QStringLiteral(".bad") + QString::number(n));
        if (ctx.files.exists(copy))
            continue;
        switch (ctx.files.publishExclusive(copy, bytes)) {
        case PublishResult::Published:
            return true;
        case PublishResult::Exists:
            continue;
        case PublishResult::Failed:
            return false;
        }
    }
    return false;
}

} // namespace

QString addressListText(const QStringList &names)
{
    QString text;
    for (const QString &n : names) {
        text += n;
        text += QLatin1Char(';');
        if (text.size() > kListTextLen)
            break;
    }
    return text.left(kListTextLen);
}

DispatchResult SendMsgToUser(Context &ctx, const DispatchCaller &caller, const QString &name, const QString &ToNames,
                             const QString &CcNames, const QString &BccNames, bool urgent, bool receipt,
                             const QStringList &body)
{
    if (name.isEmpty()) {
        ctx.ui.plain(texts::NoAddressee);
        return DispatchResult::No;
    }

    if (caller.reloadGroups)
        LoadGroups(ctx);
    const int group = FindGroupRecipient(ctx, name);
    if (group >= 0) {
        // A member file that is gone or unreadable leaves no recipient.
        LoadMembersArr(ctx, ctx.GroupsArr[size_t(group)].GroupName);
    } else {
        ctx.MembersArr = QStringList{name.left(kUserNameLen)};
    }
    const QStringList recipients = ctx.MembersArr;

    const QString queue = ctx.queueDir();
    const QByteArray text = textFileBytes(body);
    TMsgInfoRec rec;
    rec.FromUser = ctx.settings.UserName.left(kUserNameLen);
    rec.Urgent = option(urgent);
    rec.Receipt = option(receipt);
    rec.ToNames = ToNames.left(kListTextLen);
    rec.CcNames = CcNames.left(kListTextLen);
    rec.BccNames = BccNames.left(kListTextLen);

    for (const QString &user : recipients) {
        // A name that cannot form a file name never reaches the disk.
        if (!isQueueableUser(user)) {
            ctx.ui.error(infoWriteMessage(caller.sendRoutine, Files::join(queue, queueInfoName(user, 1))));
            continue;
        }

        // The text file first: a poller never finds an info file whose text
        // is still missing.
        const NewTextFile tf = createTextFile(ctx, queue, text);
        if (!tf.name) {
            ctx.ui.error(textWriteMessage(caller.sendRoutine, tf.path));
            return DispatchResult::Stopped;
        }

        rec.ToUser = user;
        rec.SentAt = SentAt(ctx.clock.now());
        rec.TextFileName = *tf.name;

        const QueuePublish pub = WriteQueueInfoFile(ctx.files, queue, user, rec);
        if (pub.status == QueuePublish::Published)
            continue;
        // Nothing will ever point to the text file: take it away again.
        ctx.files.remove(tf.path);
        if (pub.status == QueuePublish::QueueFull)
            ctx.ui.error(texts::ErrorIn + caller.sendRoutine + texts::QueueFull1 + CutAtNul(user) + texts::QueueFull2);
        else
            ctx.ui.error(infoWriteMessage(caller.sendRoutine, pub.path));
    }
    return DispatchResult::Yes;
}

DispatchResult WriteToOutbox(Context &ctx, const DispatchCaller &caller, const QString &ToNames,
                             const QString &CcNames, const QString &BccNames, bool urgent,
                             const QStringList &body)
{
    if (!ctx.settings.UseOutBox)
        return DispatchResult::Yes;

    const QString path = FolderFilePath(ctx, kOutboxFolder);
    // Without a local directory or with a user name that cannot name a file
    // there is no Outbox file to write: the write fails as such.
    if (!dirIsSet(ctx.LocalDir) || !usableFileBase(ctx.OutboxBase)) {
        ctx.ui.error(infoWriteMessage(caller.outboxRoutine, path));
        return DispatchResult::Yes;
    }

    OutboxRead old;
    QByteArray oldBytes;
    if (ctx.files.exists(path)) {
        auto bytes = ctx.files.readAll(path);
        if (!bytes) {
            ctx.ui.error(texts::ErrorEncounteredIn + caller.outboxRoutine + texts::MailboxOpen + path
                         + texts::PathEnd);
            return DispatchResult::No;
        }
        oldBytes = std::move(*bytes);
        old = readOutbox(ctx, caller, path, oldBytes);
    }

    if (caller.outboxCapacity > 0 && old.recs.size() >= size_t(caller.outboxCapacity)) {
        if (ctx.ui.askYesNo(MsgKind::Warning, caller.outboxFull))
            ClearOutBox(ctx);
        else
            ctx.ui.error(caller.outboxNotWritten);
        return DispatchResult::No;
    }

    TMsgInfoRec rec;
    rec.FromUser = ctx.settings.UserName.left(kUserNameLen);
    rec.SentAt = SentAt(ctx.clock.now());
    rec.Urgent = option(urgent);
    rec.Receipt = kOptionOff; // the sender owes himself no receipt
    rec.ToNames = ToNames.left(kListTextLen);
    rec.CcNames = CcNames.left(kListTextLen);
    rec.BccNames = BccNames.left(kListTextLen);

    const NewTextFile tf = createTextFile(ctx, ctx.mailboxDir(), textFileBytes(body));
    if (!tf.name) {
        ctx.ui.error(textWriteMessage(caller.outboxRoutine, tf.path));
        return DispatchResult::Stopped;
    }
    rec.TextFileName = *tf.name;

    QByteArray out;
    if (old.converted) {
        out.reserve(qsizetype(old.recs.size() + 1) * kMsgInfoRecSize);
        for (const TMsgInfoRec &r : old.recs)
            out += encodeMsgInfoRec(r);
    } else {
        out = oldBytes.left(old.keptBytes);
    }
    out += encodeMsgInfoRec(rec);

    // The old contents are dropped only once they are safe beside the file.
    const bool canReplace = !old.dropped || keepUnreadableOutbox(ctx, oldBytes);
    if (!canReplace || !ctx.files.writeWhole(path, out)) {
        ctx.files.remove(tf.path);
        ctx.ui.error(infoWriteMessage(caller.outboxRoutine, path));
    }
    return DispatchResult::Yes;
}

DispatchResult SendMessage(Context &ctx, const DispatchCaller &caller, const QStringList &toList,
                           const QStringList &ccList, const QStringList &bccList, bool urgent, bool receipt,
                           const QStringList &body)
{
    const QString to = addressListText(toList);
    const QString cc = addressListText(ccList);
    const QString bcc = addressListText(bccList);

    auto addressees = [&]() {
        for (const QStringList *list : {&toList, &ccList, &bccList})
            for (const QString &name : *list) {
                const DispatchResult r = SendMsgToUser(ctx, caller, name, to, cc, bcc, urgent, receipt, body);
                if (r != DispatchResult::Yes)
                    return r;
            }
        return DispatchResult::Yes;
    };

    if (caller.order == DispatchCaller::Order::AddresseesFirst) {
        const DispatchResult r = addressees();
        if (r != DispatchResult::Yes)
            return r;
        return WriteToOutbox(ctx, caller, to, cc, bcc, urgent, body);
    }
    const DispatchResult r = WriteToOutbox(ctx, caller, to, cc, bcc, urgent, body);
    if (r != DispatchResult::Yes)
        return r;
    return addressees();
}

} // namespace nv
