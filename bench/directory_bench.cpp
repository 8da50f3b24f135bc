#include "directory/groups.h"
#include "directory/users.h"
#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/files.h"

#include "support/record_builder.h"
#include "support/scripted_ui.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A shuffled users file: names in no order, so the load sorts for real.
QByteArray usersFile(int count)
{
    QByteArray out;
    for (int i = 0; i < count; ++i) {
        const int k = int((quint64(i) * 7919) % quint64(count));
        const QByteArray name = (k % 2 ? "user" : "USER") + QByteArray::number(k);
        out += userRec30({"3.0", name, QByteArray::number(k % 3), "pw" + QByteArray::number(k), k % 2 ? "Y" : "N"});
    }
    return out;
}

struct Station {
    QTemporaryDir dir;
    ScriptedUi ui;
    nv::Files files;
    nv::FixedClock clock{QDateTime(QDate(2008, 2, 24), QTime(9, 5, 0))};
    nv::SeededRandom random{1};
    nv::Context ctx{nv::Platform{ui, files, clock, random}};
    Station() { ctx.ServerDir = dir.path(); }
};

void BM_LoadUsers(benchmark::State &state)
{
    Station st;
    const int count = int(state.range(0));
    st.files.writeWhole(st.ctx.serverFile(QStringLiteral("users.dat")), usersFile(count));
    st.ctx.settings.UserName = QStringLiteral("user1");
    for (auto _ : state) {
        if (!nv::LoadUsers(st.ctx) || int(st.ctx.UsersArr.size()) != count) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(st.ctx.UsersArr.data());
    }
    state.SetItemsProcessed(state.iterations() * count);
}
BENCHMARK(BM_LoadUsers)->Arg(2000);

void BM_SortUsers(benchmark::State &state)
{
    Station st;
    const int count = int(state.range(0));
    st.files.writeWhole(st.ctx.serverFile(QStringLiteral("users.dat")), usersFile(count));
    nv::LoadUsers(st.ctx);
    std::vector<nv::TUserRec> shuffled = st.ctx.UsersArr;
    for (size_t i = 0; i < shuffled.size(); ++i)
        std::swap(shuffled[i], shuffled[(i * 7919) % shuffled.size()]);
    for (auto _ : state) {
        st.ctx.UsersArr = shuffled;
        nv::SortUsers(st.ctx);
        benchmark::DoNotOptimize(st.ctx.UsersArr.data());
    }
}
BENCHMARK(BM_SortUsers)->Arg(2000);

void BM_LoadMembersArr(benchmark::State &state)
{
    Station st;
    QList<QByteArray> lines;
    for (int i = 0; i < state.range(0); ++i)
        lines << "member" + QByteArray::number((i * 7919) % state.range(0));
    st.files.writeWhole(st.ctx.serverFile(QStringLiteral("STAFF.nvg")), memberFile(lines));
    for (auto _ : state) {
        nv::LoadMembersArr(st.ctx, QStringLiteral("STAFF"));
        benchmark::DoNotOptimize(st.ctx.MembersArr.size());
    }
}
BENCHMARK(BM_LoadMembersArr)->Arg(2000);

} // namespace
