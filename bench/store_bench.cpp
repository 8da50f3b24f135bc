#include "platform/files.h"
#include "store/msg_info_rec.h"
#include "store/naming.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

nv::TMsgInfoRec benchRec()
{
    nv::TMsgInfoRec r;
    r.FromUser = "ANN";
    r.ToUser = "BOB";
    r.SentAt = "2008/02/24 09:05:00";
    r.Urgent = 1;
    r.TextFileName = "12345678.tms";
    r.ToNames = QString("bob;(g)SALES;carl;").repeated(10);
    r.CcNames = "dora;";
    return r;
}

void BM_EncodeMsgInfoRec(benchmark::State &state)
{
    const nv::TMsgInfoRec r = benchRec();
    for (auto _ : state)
        benchmark::DoNotOptimize(nv::encodeMsgInfoRec(r));
}
BENCHMARK(BM_EncodeMsgInfoRec);

void BM_DecodeMsgInfoRec(benchmark::State &state)
{
    const QByteArray bytes = nv::encodeMsgInfoRec(benchRec());
    for (auto _ : state)
        benchmark::DoNotOptimize(nv::decodeMsgInfoRec(bytes, 0));
}
BENCHMARK(BM_DecodeMsgInfoRec);

// The worst queue that still has room: 98 waiting messages.
void BM_QueueFileName98Present(benchmark::State &state)
{
    QTemporaryDir dir;
    for (int n = 1; n <= 98; ++n) {
        QFile f(dir.filePath(nv::queueInfoName("BOB", n)));
        if (!f.open(QIODevice::WriteOnly)) {
            state.SkipWithError("cannot create the queue files");
            return;
        }
    }
    nv::Files files;
    for (auto _ : state)
        benchmark::DoNotOptimize(nv::QueueFileName(files, dir.path(), "BOB"));
}
BENCHMARK(BM_QueueFileName98Present);

} // namespace
