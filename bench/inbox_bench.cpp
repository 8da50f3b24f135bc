#include "mainwin/settings.h"
#include "reading/new_msgs.h"
#include "store/msg_info_rec.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

nv::TMsgInfoRec message(int i, const QString &textName)
{
    nv::TMsgInfoRec r;
    r.FromUser = QStringLiteral("USER%1").arg(i % 40);
    r.ToUser = "BOB";
    r.SentAt = QStringLiteral("2008/02/%1 %2:%3:%4")
                   .arg(1 + i % 28, 2, 10, QChar('0'))
                   .arg(i / 3600 % 24, 2, 10, QChar('0'))
                   .arg(i / 60 % 60, 2, 10, QChar('0'))
                   .arg(i % 60, 2, 10, QChar('0'));
    r.Urgent = 2;
    r.TextFileName = textName;
    r.ToNames = "BOB;CAROL;";
    return r;
}

// What the Message Inbox rebuilds at every tick: a full queue of 99
// waiting messages and a read-inbox of 2,000 kept ones, each with its text.
void BM_InboxBuildMsgList(benchmark::State &state)
{
    QTemporaryDir tmp;
    const QString queue = tmp.filePath("net/queue");
    const QString mailbox = tmp.filePath("local/mailbox");
    QDir().mkpath(queue);
    QDir().mkpath(mailbox);
    const QByteArray text = "A line of the message that is long enough to be cut in the list preview here\r\n"
                            "and a second line\r\n";
    bool ok = true;
    for (int n = 1; n <= 99; ++n) {
        const QString name = QStringLiteral("%1.tms").arg(10000 + n);
        ok &= writeFile(queue + '/' + name, text);
        ok &= writeFile(queue + QStringLiteral("/BOB.m%1").arg(n, 2, 10, QChar('0')),
                        nv::encodeMsgInfoRec(message(100000 + n, name)));
    }
    QByteArray inbox;
    for (int i = 0; i < 2000; ++i) {
        const QString name = QStringLiteral("%1.tms").arg(20000 + i);
        ok &= writeFile(mailbox + '/' + name, text);
        inbox += nv::encodeMsgInfoRec(message(i * 37, name));
    }
    ok &= writeFile(mailbox + "/_iBOB.mbx", inbox);
    if (!ok) {
        state.SkipWithError("cannot create the fixture");
        return;
    }

    Workstation ws(tmp.filePath("net"), tmp.filePath("local"), "BOB");
    nv::ComputeFolderBases(ws.ctx);
    size_t rows = 0;
    for (auto _ : state) {
        const auto list = nv::new_msgs::BuildMsgList(ws.ctx);
        rows = list.size();
        benchmark::DoNotOptimize(list.data());
    }
    state.counters["rows"] = double(rows);
    if (!ws.ui.boxes.empty())
        state.SkipWithError("the build reported something");
}
BENCHMARK(BM_InboxBuildMsgList)->Unit(benchmark::kMillisecond);

} // namespace
