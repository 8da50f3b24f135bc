// Real norvane-cli processes against one queue directory: senders running at
// the same time never replace each other's messages, and a sender killed at
// any moment never leaves a message that a poller could take for whole
// while it is not.
#include "platform/files.h"
#include "store/msg_info_rec.h"
#include "support/process_runner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <csignal>
#include <random>
#include <thread>

using nv::decodeMsgInfoRec;
using nv::TMsgInfoRec;

namespace {

const QString kCli = QStringLiteral(NV_CLI_PATH);

QByteArray get(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

QStringList filesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

// The info files of user as a poller finds them (the pattern "USER.m*").
QStringList infoFiles(const QString &queue, const QString &user)
{
    QStringList out;
    for (const QString &n : filesIn(queue))
        if (nv::Files::matchPattern(user + QStringLiteral(".m*"), n))
            out.append(n);
    return out;
}

// Every info file in the queue under its final name is one whole record
// whose text file is complete (equal to expected, when given). Returns the
// bodies found by info file name.
QMap<QString, QByteArray> checkWholeMessages(const QString &queue, const QStringList &infos,
                                             const QByteArray &expected = QByteArray())
{
    QMap<QString, QByteArray> bodies;
    for (const QString &name : infos) {
        const QByteArray bytes = get(queue + QLatin1Char('/') + name);
        EXPECT_EQ(bytes.size(), nv::kMsgInfoRecSize) << name.toStdString();
        if (bytes.size() != nv::kMsgInfoRecSize)
            continue;
        const TMsgInfoRec rec = decodeMsgInfoRec(bytes.constData());
        EXPECT_EQ(rec.Version, "2.8") << name.toStdString();
        EXPECT_TRUE(name.startsWith(rec.ToUser + QStringLiteral(".m"))) << name.toStdString();
        const QString textPath = queue + QLatin1Char('/') + rec.TextFileName;
        EXPECT_TRUE(QFile::exists(textPath)) << name.toStdString();
        const QByteArray text = get(textPath);
        if (!expected.isNull()) {
            EXPECT_EQ(text, expected) << name.toStdString() << " names an incomplete text file";
        }
        bodies.insert(name, text);
    }
    return bodies;
}

std::vector<pid_t> startWorkers(int count, const std::function<pid_t(int)> &start)
{
    std::vector<pid_t> pids;
    for (int w = 0; w < count; ++w) {
        const pid_t pid = start(w);
        EXPECT_GT(pid, 0);
        if (pid > 0)
            pids.push_back(pid);
    }
    return pids;
}

class SendReliabilityTest : public ::testing::Test {
protected:
    QTemporaryDir tmp;
    QString net = tmp.filePath(QStringLiteral("net"));
    QString queue = tmp.filePath(QStringLiteral("net/queue"));
    void SetUp() override
    {
        ASSERT_TRUE(QFile::exists(kCli)) << "built norvane-cli expected at " << kCli.toStdString();
        QDir().mkpath(queue);
    }
};

TEST_F(SendReliabilityTest, ConcurrentSendersNeverReplaceEachOthersMessages)
{
    constexpr int kWorkers = 8;
    constexpr int kPerWorker = 10;
    // Each worker is one shell that runs its ten sends one after another,
    // each body unique and handed over on standard input.
    const QString loop = QStringLiteral(
        "i=1; while [ $i -le %1 ]; do "
        "printf 'worker %s message %s\\n' \"$1\" \"$i\" | \"$2\" send --server \"$3\" --from \"W$1\" --to BOB "
        "|| exit 1; i=$((i+1)); done").arg(kPerWorker);
    const auto pids = startWorkers(kWorkers, [&](int w) {
        return spawnProcess(QStringLiteral("/bin/sh"), {"-c", loop, "sh", QString::number(w), kCli, net}, QString(),
                            QString(), tmp.filePath(QStringLiteral("w%1.err").arg(w)));
    });
    for (size_t w = 0; w < pids.size(); ++w) {
        const ProcessExit e = waitProcess(pids[w]);
        EXPECT_TRUE(e.exited && e.code == 0)
            << "worker " << w << ": " << get(tmp.filePath(QStringLiteral("w%1.err").arg(w))).toStdString();
    }

    const QStringList infos = infoFiles(queue, QStringLiteral("BOB"));
    ASSERT_EQ(infos.size(), kWorkers * kPerWorker);
    const auto bodies = checkWholeMessages(queue, infos);
    QSet<QByteArray> seen;
    for (const QByteArray &b : bodies)
        seen.insert(b);
    for (int w = 0; w < kWorkers; ++w)
        for (int i = 1; i <= kPerWorker; ++i)
            EXPECT_TRUE(seen.contains(QStringLiteral("worker %1 message %2\r\n").arg(w).arg(i).toLatin1()))
                << "worker " << w << " message " << i << " arrived";
    EXPECT_EQ(seen.size(), kWorkers * kPerWorker) << "each message exactly once";
    EXPECT_EQ(filesIn(queue).size(), 2 * kWorkers * kPerWorker) << "no temporary or orphaned file";

    // Beyond 99: 24 more senders at once, 19 places left.
    QMap<QString, QByteArray> before;
    for (const QString &n : infos)
        before.insert(n, get(queue + QLatin1Char('/') + n));
    constexpr int kMore = 24;
    const auto more = startWorkers(kMore, [&](int k) {
        const QString body = tmp.filePath(QStringLiteral("more%1.txt").arg(k));
        put(body, QStringLiteral("late message %1\n").arg(k).toLatin1());
        return spawnProcess(kCli, {"send", "--server", net, "--from", "LATE", "--to", "BOB", "--body-file", body},
                            QString(), QString(), tmp.filePath(QStringLiteral("more%1.err").arg(k)));
    });
    int ok = 0, full = 0;
    for (size_t k = 0; k < more.size(); ++k) {
        const ProcessExit e = waitProcess(more[k]);
        ASSERT_TRUE(e.exited);
        const QByteArray err = get(tmp.filePath(QStringLiteral("more%1.err").arg(k)));
        if (e.code == 0) {
            ++ok;
            EXPECT_TRUE(err.isEmpty()) << err.toStdString();
        } else {
            ++full;
            EXPECT_EQ(e.code, 1);
            EXPECT_EQ(err, "Error in NvCommon.SendMsgToUser(): The message queue of \"BOB\" is full.  "
                           "Data was not saved.\n");
        }
    }
    EXPECT_EQ(ok, 99 - kWorkers * kPerWorker);
    EXPECT_EQ(full, kMore - ok);

    const QStringList after = infoFiles(queue, QStringLiteral("BOB"));
    ASSERT_EQ(after.size(), 99);
    for (auto it = before.cbegin(); it != before.cend(); ++it)
        EXPECT_EQ(get(queue + QLatin1Char('/') + it.key()), it.value()) << it.key().toStdString() << " replaced";
    checkWholeMessages(queue, after);
    EXPECT_EQ(filesIn(queue).size(), 2 * 99) << "no text file left for a refused message";
}

TEST_F(SendReliabilityTest, KilledSenderNeverLeavesAHalfMessage)
{
    const QString local = tmp.filePath(QStringLiteral("local"));
    const QString mailbox = local + QStringLiteral("/mailbox");
    const QString outbox = mailbox + QStringLiteral("/_oANN.mbx");
    std::mt19937 gen(20080224);
    std::uniform_int_distribution<int> delayUs(0, 30000);
    QElapsedTimer total;
    total.start();
    int iterations = 0, killedMidway = 0, outboxWritten = 0;

    for (int it = 0; it < 40 && total.elapsed() < 120000; ++it, ++iterations) {
        QDir(queue).removeRecursively();
        QDir().mkpath(queue);
        // Many recipients make the send long enough to be cut anywhere; a few
        // let the kill land in the Outbox rewrite too.
        const int recipients = it % 2 == 0 ? 80 : 6;
        QStringList names;
        for (int r = 0; r < recipients; ++r)
            names.append(QStringLiteral("U%1").arg(r, 2, 10, QLatin1Char('0')));
        QByteArray body;
        for (int line = 0; line < 40; ++line)
            body += QStringLiteral("iteration %1 line %2 ").arg(it).arg(line).toLatin1() + QByteArray(60, 'x') + "\n";
        const QByteArray expectedText = QByteArray(body).replace("\n", "\r\n");
        const QString bodyPath = tmp.filePath(QStringLiteral("body.txt"));
        put(bodyPath, body);
        const QByteArray outboxBefore = get(outbox);

        const pid_t pid = spawnProcess(kCli, {"send", "--server", net, "--from", "ANN", "--local", local, "--to",
                                              names.join(QLatin1Char(';')), "--body-file", bodyPath});
        ASSERT_GT(pid, 0);
        std::this_thread::sleep_for(std::chrono::microseconds(delayUs(gen)));
        ::kill(pid, SIGKILL);
        waitProcess(pid);

        SCOPED_TRACE("iteration " + std::to_string(it));
        int delivered = 0;
        for (const QString &user : names) {
            const QStringList infos = infoFiles(queue, user);
            EXPECT_LE(infos.size(), 1) << user.toStdString();
            checkWholeMessages(queue, infos, expectedText);
            delivered += int(infos.size());
        }
        if (delivered > 0 && delivered < recipients)
            ++killedMidway;
        for (const QString &n : filesIn(queue)) {
            const bool info = nv::Files::matchPattern(QStringLiteral("U??.m*"), n);
            const bool text = n.endsWith(QStringLiteral(".tms"));
            const bool temp = n.startsWith(QStringLiteral("~t")) && n.endsWith(QStringLiteral(".tmq"));
            EXPECT_TRUE(info || text || temp) << n.toStdString();
        }

        // The Outbox is the old one or the old one with the new record, whose
        // text file is then complete.
        const QByteArray outboxNow = get(outbox);
        if (outboxNow != outboxBefore) {
            ++outboxWritten;
            ASSERT_EQ(outboxNow.size(), outboxBefore.size() + nv::kMsgInfoRecSize);
            EXPECT_EQ(outboxNow.left(outboxBefore.size()), outboxBefore);
            const TMsgInfoRec rec = decodeMsgInfoRec(outboxNow.constData() + outboxBefore.size());
            EXPECT_EQ(get(mailbox + QLatin1Char('/') + rec.TextFileName), expectedText);
            EXPECT_EQ(delivered, recipients) << "the Outbox copy comes last";
        }
    }
    std::printf("[          ] %d kills, %d in the middle of the queue step, %d after the Outbox rewrite\n", iterations,
                killedMidway, outboxWritten);
    EXPECT_GE(iterations, 10);
}

} // namespace
