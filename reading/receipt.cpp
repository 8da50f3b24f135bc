#include "reading/receipt.h"

#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "reading/folder_append.h"
#include "reading/reading_texts.h"
#include "store/msg_info_rec.h"
#include "store/naming.h"
#include "store/sent_at.h"

namespace nv {

namespace rtexts = reading_texts;

QStringList ReceiptLines(const QString &reader, const QStringList &inMessage)
{
    QStringList lines{rtexts::ReceiptHeading + reader, QString()};
    if (inMessage.isEmpty()) {
        lines.append(QStringLiteral(">"));
    } else {
        lines.append(QLatin1Char('>') + inMessage.first());
        lines.append(inMessage.mid(1));
    }
    return lines;
}

ReceiptResult SendReceipt(Context &ctx, const QString &reader, const QString &sentFrom, const QStringList &inMessage)
{
    ReceiptResult out;
    const QString queue = ctx.queueDir();
    if (!isQueueableUser(sentFrom)) {
        // A sender's name that cannot form a file name has no queue.
        out.infoPath = Files::join(queue, queueInfoName(sentFrom, 1));
        ctx.ui.error(rtexts::ReceiptWriteInfo1 + out.infoPath + rtexts::PathEndNotSaved);
        return out;
    }

    const NewText text = CreateTextFile(ctx, queue, textFileBytes(ReceiptLines(reader, inMessage)));
    out.textPath = text.path;
    if (!text.ok) {
        ctx.ui.error(rtexts::ReceiptWriteText1 + text.path + rtexts::PathEndNotSaved);
        return out;
    }

    TMsgInfoRec rec;
    rec.Version = kRecVersion;
    rec.FromUser = reader;
    rec.ToUser = sentFrom;
    rec.SentAt = SentAt(ctx.clock.now());
    rec.Urgent = kOptionOff;
    rec.Receipt = kOptionOff;
    rec.TextFileName = text.name;
    rec.ToNames = sentFrom + QLatin1Char(';');

    const QueuePublish pub = WriteQueueInfoFile(ctx.files, queue, sentFrom, rec);
    out.infoPath = pub.path;
    switch (pub.status) {
    case QueuePublish::Published:
        out.status = ReceiptResult::Sent;
        return out;
    case QueuePublish::QueueFull:
        ctx.files.remove(text.path);
        out.status = ReceiptResult::QueueFull;
        ctx.ui.error(rtexts::ReceiptQueueFull1 + sentFrom + rtexts::ReceiptQueueFull2);
        return out;
    case QueuePublish::Failed:
        break;
    }
    ctx.files.remove(text.path);
    out.status = ReceiptResult::Failed;
    ctx.ui.error(rtexts::ReceiptWriteInfo1 + pub.path + rtexts::PathEndNotSaved);
    return out;
}

} // namespace nv
