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

// Not synced: the caller syncs it together with the file that names it.
NewTextFile createTextFile(Context &ctx, const QString &dir, const QByteArray &body)
{
    return CreateNewTextFile(ctx.random, ctx.files, dir, body, Sync::Deferred);
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

QString queueFailureMessage(const DispatchCaller &caller, const QString &user, const QueuePublish &pub)
{
    if (pub.status == QueuePublish::QueueFull)
        return texts::ErrorIn + caller.sendRoutine + texts::QueueFull1 + CutAtNul(user) + texts::QueueFull2;
    return infoWriteMessage(caller.sendRoutine, pub.path);
}

// The queue copies of a send action, written in two phases so that they
// share one sync instead of two each: first every recipient's text file and
// its info file under a temporary name, unsynced; then one sync; then each
// info file under its final name. A poller thus never finds an info file
// before both files are whole and durable. The failures wait with the
// copies, so that their boxes keep the recipients' order.
class QueueBatch {
public:
    QueueBatch(Context &ctx, const DispatchCaller &caller) : m_ctx(ctx), m_caller(caller), m_queue(ctx.queueDir()) {}

    // A recipient refused before anything is written.
    void refuse(const QString &message) { m_copies.push_back(Copy{{}, {}, {}, message}); }

    // Writes one recipient's files. False when the text file cannot be
    // created, which ends the send action (the copies before it still go).
    bool add(const QString &user, TMsgInfoRec rec, const QByteArray &text)
    {
        const NewTextFile tf = createTextFile(m_ctx, m_queue, text);
        if (!tf.ok) {
            m_copies.push_back(Copy{{}, {}, {}, textWriteMessage(m_caller.sendRoutine, tf.path)});
            return false;
        }
        rec.ToUser = user;
        rec.SentAt = SentAt(m_ctx.clock.now());
        rec.TextFileName = tf.name;
        Copy copy{tf.path, {}, {}, {}};
        const QueuePublish prepared =
            PrepareQueueInfoFile(m_ctx.files, m_queue, user, rec, Sync::Deferred, &copy.info);
        copy.infoPath = prepared.path;
        if (prepared.status != QueuePublish::Published) {
            // Nothing will ever point to the text file: take it away again.
            m_ctx.files.remove(tf.path);
            copy.textPath.clear();
            copy.failure = queueFailureMessage(m_caller, user, prepared);
        }
        m_copies.push_back(copy);
        return true;
    }

    // Code that shows boxes of its own is about to run (group loading):
    // publishes first when failures are known, so that theirs come first.
    // False as publish().
    bool publishKnownFailures()
    {
        for (const Copy &c : m_copies)
            if (!c.failure.isEmpty())
                return publish();
        return true;
    }

    // Syncs the files written, publishes every info file, then shows the
    // failures in order; the batch is empty afterwards. False when a text
    // file could not be made durable: as when it cannot be created, the send
    // action ends there and the copies after it are taken away.
    bool publish()
    {
        std::vector<Copy> copies;
        copies.swap(m_copies);
        QStringList written;
        for (const Copy &c : copies)
            if (!c.textPath.isEmpty())
                written << c.textPath << c.info.tempPath;
        const std::vector<FileError> synced = m_ctx.files.syncFiles(written);

        QStringList failures;
        bool stopped = false;
        size_t next = 0;
        for (const Copy &c : copies) {
            if (c.textPath.isEmpty()) { // refused, or failed while written
                if (!stopped)
                    failures.append(c.failure);
                continue;
            }
            const bool textDurable = synced[next++].code == 0;
            const bool infoDurable = synced[next++].code == 0;
            if (stopped) {
                discard(c);
            } else if (!textDurable) {
                // As if the text file could not be created: the send action ends here.
                discard(c);
                failures.append(textWriteMessage(m_caller.sendRoutine, c.textPath));
                stopped = true;
            } else if (!infoDurable) {
                discard(c);
                failures.append(infoWriteMessage(m_caller.sendRoutine, c.infoPath));
            } else {
                const QueuePublish pub = PublishQueueInfoFile(m_ctx.files, m_queue, c.info);
                if (pub.status != QueuePublish::Published) {
                    // Nothing will ever point to the text file: take it away again.
                    m_ctx.files.remove(c.textPath);
                    failures.append(queueFailureMessage(m_caller, c.info.user, pub));
                }
            }
        }
        // Every copy is delivered before the first box waits for the user.
        for (const QString &f : failures)
            m_ctx.ui.error(f);
        return !stopped;
    }

private:
    struct Copy {
        QString textPath;       // "" when no file of this copy is on disk
        PreparedInfoFile info;
        QString infoPath;       // the info file's name when it was written
        QString failure;        // the box of a copy refused or failed while written
    };

    void discard(const Copy &c)
    {
        m_ctx.files.remove(c.textPath);
        m_ctx.files.remove(c.info.tempPath);
    }

    Context &m_ctx;
    const DispatchCaller &m_caller;
    const QString m_queue;
    std::vector<Copy> m_copies;
};

// The record every queue copy of a message starts from.
TMsgInfoRec queueRecord(const Context &ctx, const QString &ToNames, const QString &CcNames, const QString &BccNames,
                        bool urgent, bool receipt)
{
    TMsgInfoRec rec;
    rec.FromUser = ctx.settings.UserName.left(kUserNameLen);
    rec.Urgent = option(urgent);
    rec.Receipt = option(receipt);
    rec.ToNames = ToNames.left(kListTextLen);
    rec.CcNames = CcNames.left(kListTextLen);
    rec.BccNames = BccNames.left(kListTextLen);
    return rec;
}

// SendMsgToUser for one addressee, its copies added to batch.
DispatchResult queueAddressee(Context &ctx, QueueBatch &batch, const DispatchCaller &caller, const QString &name,
                              const TMsgInfoRec &rec, const QByteArray &text)
{
    if (name.isEmpty()) {
        if (!batch.publish())
            return DispatchResult::Stopped;
        ctx.ui.plain(texts::NoAddressee);
        return DispatchResult::No;
    }

    if (caller.reloadGroups) {
        if (!batch.publishKnownFailures())
            return DispatchResult::Stopped;
        LoadGroups(ctx);
    }
    const int group = FindGroupRecipient(ctx, name);
    if (group >= 0) {
        if (!batch.publishKnownFailures())
            return DispatchResult::Stopped;
        // A member file that is gone or unreadable leaves no recipient.
        LoadMembersArr(ctx, ctx.GroupsArr[size_t(group)].GroupName);
    } else {
        ctx.MembersArr = QStringList{name.left(kUserNameLen)};
    }
    const QStringList recipients = ctx.MembersArr;

    for (const QString &user : recipients) {
        // A name that cannot form a file name never reaches the disk.
        if (!isQueueableUser(user)) {
            batch.refuse(infoWriteMessage(caller.sendRoutine, Files::join(ctx.queueDir(), queueInfoName(user, 1))));
            continue;
        }
        if (!batch.add(user, rec, text))
            return DispatchResult::Stopped;
    }
    return DispatchResult::Yes;
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
    QueueBatch batch(ctx, caller);
    const DispatchResult r = queueAddressee(ctx, batch, caller, name,
                                            queueRecord(ctx, ToNames, CcNames, BccNames, urgent, receipt),
                                            textFileBytes(body));
    return batch.publish() ? r : DispatchResult::Stopped;
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
    if (!tf.ok) {
        ctx.ui.error(textWriteMessage(caller.outboxRoutine, tf.path));
        return DispatchResult::Stopped;
    }
    rec.TextFileName = tf.name;

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
    // The text file shares the sync of the new Outbox contents.
    FileError err;
    if (canReplace && ctx.files.writeWhole(path, out, &err, {tf.path}))
        return DispatchResult::Yes;
    ctx.files.remove(tf.path);
    if (err.path == tf.path) {
        // The text file could not be made durable: as if it could not be created.
        ctx.ui.error(textWriteMessage(caller.outboxRoutine, tf.path));
        return DispatchResult::Stopped;
    }
    ctx.ui.error(infoWriteMessage(caller.outboxRoutine, path));
    return DispatchResult::Yes;
}

DispatchResult SendMessage(Context &ctx, const DispatchCaller &caller, const QStringList &toList,
                           const QStringList &ccList, const QStringList &bccList, bool urgent, bool receipt,
                           const QStringList &body)
{
    const QString to = addressListText(toList);
    const QString cc = addressListText(ccList);
    const QString bcc = addressListText(bccList);

    // Every addressee's copies go into one batch: one sync for the send.
    auto addressees = [&]() {
        const TMsgInfoRec rec = queueRecord(ctx, to, cc, bcc, urgent, receipt);
        const QByteArray text = textFileBytes(body);
        QueueBatch batch(ctx, caller);
        DispatchResult r = DispatchResult::Yes;
        for (const QString &name : toList + ccList + bccList) {
            r = queueAddressee(ctx, batch, caller, name, rec, text);
            if (r != DispatchResult::Yes)
                break;
        }
        return batch.publish() ? r : DispatchResult::Stopped;
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
