// A send to 100 recipients, as the multiple-recipient window does it: 100
// text files and 100 info files, with or without the Outbox copy. Goal:
// under 50 ms. Run once on the build's disk and once on a memory file
// system (/dev/shm) to tell the cost of syncing from the rest.
#include "compose/dispatch.h"
#include "mainwin/context.h"
#include "mainwin/settings.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "support/scripted_ui.h"

#include <QDir>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString baseDir(bool memory)
{
    return memory && QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

// args: recipients, Outbox on, on /dev/shm
void BM_SendToMany(benchmark::State &state)
{
    const int recipients = int(state.range(0));
    const bool outbox = state.range(1) != 0;
    QTemporaryDir tmp(baseDir(state.range(2) != 0) + QStringLiteral("/nvbench-XXXXXX"));
    const QString queue = tmp.filePath(QStringLiteral("net/queue"));
    const QString mailbox = tmp.filePath(QStringLiteral("local/mailbox"));

    ScriptedUi ui;
    nv::Files files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{7};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
    ctx.ServerDir = tmp.filePath(QStringLiteral("net"));
    ctx.LocalDir = tmp.filePath(QStringLiteral("local"));
    ctx.settings.UserName = QStringLiteral("ANN");
    ctx.settings.UseOutBox = outbox;
    nv::ComputeFolderBases(ctx);

    QStringList to;
    for (int i = 0; i < recipients; ++i)
        to.append(QStringLiteral("USER%1").arg(i, 3, 10, QLatin1Char('0')));
    const QStringList body = {QStringLiteral("The quarterly figures are on the shared drive."),
                              QStringLiteral("Please read them before Monday's meeting."), QString(),
                              QStringLiteral("Ann")};

    for (auto _ : state) {
        state.PauseTiming();
        QDir(queue).removeRecursively();
        QDir(mailbox).removeRecursively();
        QDir().mkpath(queue);
        QDir().mkpath(mailbox);
        state.ResumeTiming();
        const nv::DispatchResult r =
            nv::SendMessage(ctx, nv::kMultiRecipientCaller, to, {}, {}, false, false, body);
        if (r != nv::DispatchResult::Yes || !ui.boxes.empty()) {
            state.SkipWithError("the send failed");
            break;
        }
    }
    state.SetItemsProcessed(state.iterations() * recipients);
}
BENCHMARK(BM_SendToMany)
    ->ArgNames({"recipients", "outbox", "shm"})
    ->Args({100, 0, 0})
    ->Args({100, 1, 0})
    ->Args({100, 0, 1})
    ->Args({100, 1, 1})
    ->Args({1, 1, 0})
    ->Unit(benchmark::kMillisecond);

// The create window's worst Outbox: 99 records read and rewritten whole.
void BM_WriteToOutbox99(benchmark::State &state)
{
    QTemporaryDir tmp;
    const QString mailbox = tmp.filePath(QStringLiteral("local/mailbox"));
    ScriptedUi ui;
    nv::Files files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{7};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
    ctx.LocalDir = tmp.filePath(QStringLiteral("local"));
    ctx.settings.UserName = QStringLiteral("ANN");
    nv::ComputeFolderBases(ctx);
    QDir().mkpath(mailbox);
    const QString outbox = mailbox + QStringLiteral("/_oANN.mbx");
    nv::TMsgInfoRec rec;
    rec.FromUser = QStringLiteral("ANN");
    rec.ToNames = QStringLiteral("bob;");
    QByteArray old;
    for (int i = 0; i < 99; ++i)
        old += nv::encodeMsgInfoRec(rec);

    for (auto _ : state) {
        state.PauseTiming();
        files.writeWhole(outbox, old);
        state.ResumeTiming();
        if (nv::WriteToOutbox(ctx, nv::kCreateMsgCaller, QStringLiteral("bob;"), {}, {}, false,
                              {QStringLiteral("Hello")}) != nv::DispatchResult::Yes) {
            state.SkipWithError("the Outbox write failed");
            break;
        }
    }
}
BENCHMARK(BM_WriteToOutbox99)->Unit(benchmark::kMillisecond);

} // namespace
