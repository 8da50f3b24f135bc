#pragma once
// Messages for the reading side of user BOB: new ones waiting in his queue
// (BOB.mNN with a text file beside it) and read ones kept in his read-inbox
// (_iBOB.mbx with text files in the mailbox directory), built byte by byte.
#include "store/msg_info_rec.h"
#include "support/mailbox_fixture.h"
#include "support/record_builder.h"

#include <vector>

class ReadingFixture : public MailboxFixture {
protected:
    struct Msg {
        QByteArray from = "ANN";
        QByteArray sentAt = "2008/02/24 09:05:00";
        QByteArray text = "Hello Bob\r\nSecond line\r\n";
        std::int32_t urgent = 2;
        std::int32_t receipt = 2;
        QByteArray textName; // drawn from the number when empty
        QByteArray toNames = "BOB;";
        QByteArray ccNames;
    };

    static QString infoName(int n) { return QStringLiteral("BOB.m%1").arg(n, 2, 10, QLatin1Char('0')); }

    // Queues m as info file n; returns the text file's name.
    QByteArray queueMsg(int n, const Msg &m)
    {
        const QByteArray textName = m.textName.isEmpty() ? QByteArray::number(1000 + n) + ".tms" : m.textName;
        put(inQueue(infoName(n)), msgInfo28(info28(m, textName)).bytes());
        put(inQueue(QString::fromLatin1(textName)), m.text);
        return textName;
    }

    // Appends m to the read-inbox with its text file; returns the text file's name.
    QByteArray readInboxMsg(const Msg &m)
    {
        const QByteArray textName =
            m.textName.isEmpty() ? QByteArray::number(5000 + int(m_inboxCount)) + ".tms" : m.textName;
        ++m_inboxCount;
        QByteArray file = exists(readInboxPath()) ? get(readInboxPath()) : QByteArray();
        file += msgInfo28(info28(m, textName)).bytes();
        put(readInboxPath(), file);
        put(inMailbox(QString::fromLatin1(textName)), m.text);
        return textName;
    }

    static MsgInfo28 info28(const Msg &m, const QByteArray &textName)
    {
        MsgInfo28 f;
        f.fromUser = m.from;
        f.toUser = "BOB";
        f.sentAt = m.sentAt;
        f.urgent = m.urgent;
        f.receipt = m.receipt;
        f.textFileName = textName;
        f.toNames = m.toNames;
        f.ccNames = m.ccNames;
        return f;
    }

    static std::vector<nv::TMsgInfoRec> recordsIn(const QString &path)
    {
        std::vector<nv::TMsgInfoRec> out;
        const QByteArray file = get(path);
        if (file == "<missing>")
            return out;
        for (qsizetype off = 0; off + nv::kMsgInfoRecSize <= file.size(); off += nv::kMsgInfoRecSize)
            out.push_back(nv::decodeMsgInfoRec(file.constData() + off));
        return out;
    }

    QString readInboxPath() const { return inMailbox(QStringLiteral("_iBOB.mbx")); }
    QString deletedPath() const { return inMailbox(QStringLiteral("_dBOB.mbx")); }
    QStringList queueFiles() const { return names(queueDir()); }
    QStringList mailboxTexts() const { return names(mailboxDir(), QStringLiteral("*.tms")); }

private:
    int m_inboxCount = 0;
};
