#include "mainwin/presence.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// The presence test over every user of a 500-user office, half of them stamped.
void BM_UserLoggedIn500(benchmark::State &state)
{
    QTemporaryDir dir;
    Workstation ws(dir.path(), dir.path(), "ANN");
    ws.clock.set(QDateTime::currentDateTime());
    QDir().mkpath(dir.filePath("activity"));
    QStringList users;
    for (int i = 0; i < 500; ++i) {
        users << QStringLiteral("USER%1").arg(i);
        if (i % 2 == 0) {
            QFile f(dir.filePath(QStringLiteral("activity/USER%1.dat").arg(i)));
            f.open(QIODevice::WriteOnly);
            f.write("XX");
        }
    }
    for (auto _ : state) {
        int in = 0;
        for (const QString &u : users)
            in += nv::UserLoggedIn(ws.ctx, u) ? 1 : 0;
        benchmark::DoNotOptimize(in);
    }
}
BENCHMARK(BM_UserLoggedIn500)->Unit(benchmark::kMillisecond);

} // namespace
