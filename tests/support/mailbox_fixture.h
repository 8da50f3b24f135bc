#pragma once
// A workstation with a network directory (net/, net/queue/) and a local
// working directory (local/mailbox/) in a temporary directory, signed in as
// one user, with the per-user folder bases computed. Small helpers put and
// get files by their name in a directory.
#include "mainwin/settings.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

class MailboxFixture : public ::testing::Test {
protected:
    explicit MailboxFixture(const QString &user = QStringLiteral("BOB"))
        : ws(tmp.filePath(QStringLiteral("net")), tmp.filePath(QStringLiteral("local")), user)
    {
        QDir().mkpath(queueDir());
        QDir().mkpath(mailboxDir());
        nv::ComputeFolderBases(ws.ctx);
    }

    QString queueDir() const { return tmp.filePath(QStringLiteral("net/queue")); }
    QString mailboxDir() const { return tmp.filePath(QStringLiteral("local/mailbox")); }
    QString inMailbox(const QString &name) const { return mailboxDir() + QLatin1Char('/') + name; }
    QString inQueue(const QString &name) const { return queueDir() + QLatin1Char('/') + name; }

    static void put(const QString &path, const QByteArray &data)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        f.write(data);
    }
    static QByteArray get(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    static bool exists(const QString &path) { return QFile::exists(path); }

    // Names in a directory, sorted.
    static QStringList names(const QString &dir, const QString &pattern = QStringLiteral("*"))
    {
        return QDir(dir).entryList({pattern}, QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir tmp;
    Workstation ws;
};
