// The older "groups.dat": converted into member files, which then list as
// the groups.
#include "directory_fuzz_support.h"

#include "directory/groups.h"
#include "directory/name_order.h"

#include <QDir>

#include <cstdio>

using namespace nv;
using namespace nvfuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    Station st(bitsOf(data, size));
    NV_FUZZ_CHECK(writeFile(st.ctx.serverFile(QStringLiteral("groups.dat")), data, size));

    if (!LoadGroups(st.ctx)) {
        std::fprintf(stderr, "LoadGroups failed: %s\n", qPrintable(st.ui.lastText));
        std::abort();
    }
    const auto &groups = st.ctx.GroupsArr;
    NV_FUZZ_CHECK(qsizetype(groups.size()) <= qsizetype(size) / kGroupRecSize);
    for (size_t i = 0; i < groups.size(); ++i) {
        NV_FUZZ_CHECK(!groups[i].GroupName.isEmpty() && groups[i].GroupName.size() <= kGroupNameLen);
        NV_FUZZ_CHECK(groups[i].MemberList.isEmpty());
        if (i > 0)
            NV_FUZZ_CHECK(CompareNames(groups[i - 1].GroupName, groups[i].GroupName) <= 0);
    }
    // Nothing but files in the network directory itself.
    const QDir dir(st.ctx.ServerDir);
    NV_FUZZ_CHECK(dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot).isEmpty());
    return 0;
}
