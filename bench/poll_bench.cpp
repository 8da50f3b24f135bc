#include "mainwin/poll.h"
#include "store/msg_info_rec.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// One timer poll for BOB while 5,000 files of other users wait in the queue.
void BM_CheckForMsgs5000Others(benchmark::State &state)
{
    QTemporaryDir dir;
    Workstation ws(dir.filePath("net"), dir.filePath("local"), "BOB");
    QDir().mkpath(dir.filePath("net/queue"));
    QDir().mkpath(dir.filePath("local/mailbox"));
    nv::ComputeFolderBases(ws.ctx);
    nv::TMsgInfoRec rec;
    rec.FromUser = "ANN";
    const QByteArray bytes = nv::encodeMsgInfoRec(rec);
    for (int i = 0; i < 5000; ++i) {
        const bool info = i % 2 == 0;
        QFile f(dir.filePath(info ? QStringLiteral("net/queue/USER%1.m%2").arg(i / 98).arg(i % 98 + 1, 2, 10, QLatin1Char('0'))
                                  : QStringLiteral("net/queue/%1.tms").arg(10000000 + i)));
        f.open(QIODevice::WriteOnly);
        f.write(info ? bytes : QByteArray("text\r\n"));
    }
    ws.ui.minimized = false;
    for (auto _ : state) {
        const nv::PollResult r = nv::CheckForMsgs(ws.ctx, false);
        benchmark::DoNotOptimize(r.found);
    }
}
BENCHMARK(BM_CheckForMsgs5000Others)->Unit(benchmark::kMillisecond);

} // namespace
