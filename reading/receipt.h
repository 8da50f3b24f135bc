#pragma once
// The read receipt: when a message whose sender asked for one is opened, a
// short message goes straight into the sender's queue. It is not dispatched
// like a composed message: it reaches only the sender and leaves no Outbox
// copy.
#include <QString>
#include <QStringList>

namespace nv {

class Context;

struct ReceiptResult {
    enum Status {
        Sent,
        QueueFull,  // all 99 of the sender's queue names are taken; nothing replaced
        Failed,     // the text file or the info file could not be written
    };
    Status status = Failed;
    QString infoPath; // the info file written, or the one that failed
    QString textPath; // the receipt's text file (gone again unless Sent)
};

// The receipt text: the heading with the reader's name, an empty line, and
// the message quoted with one ">" before its first line.
QStringList ReceiptLines(const QString &reader, const QStringList &inMessage);

// Writes the receipt for a message from sentFrom that reader has opened:
// the text file first, then the info file, published under the sender's
// first free queue name without ever replacing one. Failures are reported;
// a receipt that did not go out leaves no text file behind.
ReceiptResult SendReceipt(Context &ctx, const QString &reader, const QString &sentFrom, const QStringList &inMessage);

} // namespace nv
