// A group's member file: loaded, written back and loaded again unchanged.
#include "directory_fuzz_support.h"

#include "directory/groups.h"
#include "directory/name_order.h"

using namespace nv;
using namespace nvfuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    Station st(bitsOf(data, size));
    NV_FUZZ_CHECK(writeFile(st.ctx.serverFile(QStringLiteral("G.nvg")), data, size));

    NV_FUZZ_CHECK(LoadMembersArr(st.ctx, QStringLiteral("G")));
    const QStringList members = st.ctx.MembersArr;
    for (qsizetype i = 0; i < members.size(); ++i) {
        NV_FUZZ_CHECK(members[i].size() <= kGroupNameLen);
        NV_FUZZ_CHECK(!members[i].contains(QLatin1Char('\r')) && !members[i].contains(QLatin1Char('\n')));
        if (i > 0)
            NV_FUZZ_CHECK(CompareNames(members[i - 1], members[i]) <= 0);
    }
    NV_FUZZ_CHECK(WriteGroupFile(st.ctx, QStringLiteral("G")));
    NV_FUZZ_CHECK(LoadMembersArr(st.ctx, QStringLiteral("G")));
    NV_FUZZ_CHECK(st.ctx.MembersArr == members);
    return 0;
}
