// Showing a big folder: LoadFolderMsgs reads the folder file, one line of
// every text file, and sorts newest first.
#include "mainwin/settings.h"
#include "store/folders.h"
#include "store/legacy_formats.h"
#include "store/msg_info_rec.h"
#include "support/workstation.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kMessages = 10000;

void put(const QString &path, const QByteArray &data)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(data);
}

// A mailbox with the folder BIG (distinct times, shuffled) and SAME (every
// message sent in the same second), both of kMessages records with their
// text files. Made once for all runs.
struct BigMailbox {
    BigMailbox() : ws(QString(), dir.path())
    {
        const QString mailbox = dir.filePath(QStringLiteral("mailbox"));
        QDir().mkpath(mailbox);
        ws.ctx.settings.UserName = QStringLiteral("BOB");
        nv::ComputeFolderBases(ws.ctx);
        QByteArray big, same;
        big.reserve(qsizetype(kMessages) * nv::kMsgInfoRecSize);
        same.reserve(big.capacity());
        for (int i = 0; i < kMessages; ++i) {
            nv::TMsgInfoRec r;
            r.FromUser = QStringLiteral("ANN");
            r.ToUser = QStringLiteral("BOB");
            const int n = (i * 7919) % kMessages; // shuffled
            r.SentAt = QDateTime(QDate(2008, 1, 1), QTime(0, 0)).addSecs(n * 60).toString(u"yyyy/MM/dd hh:mm:ss");
            r.TextFileName = QString::number(10000000 + i) + QStringLiteral(".tms");
            r.ToNames = QStringLiteral("bob;(g)SALES;");
            put(mailbox + QLatin1Char('/') + r.TextFileName,
                "Message number " + QByteArray::number(i) + "\r\nSecond line of the text\r\n");
            big += nv::encodeMsgInfoRec(r);
            r.SentAt = QStringLiteral("2008/02/24 09:05:00");
            same += nv::encodeMsgInfoRec(r);
        }
        put(mailbox + QStringLiteral("/BIG.mbx"), big);
        put(mailbox + QStringLiteral("/SAME.mbx"), same);

        QByteArray old;
        for (int i = 0; i < kMessages; ++i) {
            QByteArray rec(nv::kMsgInfoRec20Size, '\0');
            const QByteArray from = "ANN", sent = "1999/01/01 10:00:00", text = "An old message kept inside";
            rec[0] = char(from.size());
            rec.replace(1, from.size(), from);
            rec[34] = char(sent.size());
            rec.replace(35, sent.size(), sent);
            rec[64] = char(text.size());
            rec.replace(65, text.size(), text);
            old += rec;
        }
        oldFolder = old;
    }

    QTemporaryDir dir;
    Workstation ws;
    QByteArray oldFolder;
};

BigMailbox &mailbox()
{
    static BigMailbox m;
    return m;
}

void loadFolder(benchmark::State &state, const char *folder)
{
    BigMailbox &m = mailbox();
    for (auto _ : state) {
        m.ws.ctx.settings.LastFolder = QString::fromLatin1(folder);
        benchmark::DoNotOptimize(nv::LoadFolderMsgs(m.ws.ctx));
        if (m.ws.ctx.Msgs.size() != size_t(kMessages))
            state.SkipWithError("folder not loaded");
    }
    state.SetItemsProcessed(state.iterations() * kMessages);
}

void BM_LoadFolderMsgs_10000(benchmark::State &state) { loadFolder(state, "BIG"); }
BENCHMARK(BM_LoadFolderMsgs_10000)->Unit(benchmark::kMillisecond);

// Equal times take the older clients' exchange sort, which is quadratic.
void BM_LoadFolderMsgs_10000_EqualTimes(benchmark::State &state) { loadFolder(state, "SAME"); }
BENCHMARK(BM_LoadFolderMsgs_10000_EqualTimes)->Unit(benchmark::kMillisecond);

// Converting a "2.0" folder in memory (no files written).
void BM_ParseFolderFile_TwoNought_10000(benchmark::State &state)
{
    const QByteArray &bytes = mailbox().oldFolder;
    for (auto _ : state)
        benchmark::DoNotOptimize(nv::parseFolderFile(bytes));
    state.SetItemsProcessed(state.iterations() * kMessages);
}
BENCHMARK(BM_ParseFolderFile_TwoNought_10000)->Unit(benchmark::kMillisecond);

} // namespace
