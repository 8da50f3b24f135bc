// A users file in the version-2.8 layout: the conversion, then the load of
// what it wrote.
#include "directory_fuzz_support.h"

#include "directory/user_conversions.h"
#include "directory/users.h"

using namespace nv;
using namespace nvfuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    Station st(bitsOf(data, size));
    const QString path = st.ctx.serverFile(kUsersFileName);
    NV_FUZZ_CHECK(writeFile(path, data, size));

    if (!ConvertOldUserFile28(st.ctx, path))
        return 0;
    const qsizetype oldCount = qsizetype(size) / kOldUserRec28Size;
    NV_FUZZ_CHECK(LoadUsers(st.ctx));
    const qsizetype count = qsizetype(st.ctx.UsersArr.size());
    NV_FUZZ_CHECK(count == oldCount || count == oldCount + 1); // plus an Admin when none was there
    bool admin = false;
    for (const TUserRec &u : st.ctx.UsersArr) {
        NV_FUZZ_CHECK(u.Version == kUserRecVersion);
        admin = admin || u.Privilege == QLatin1String("0");
    }
    NV_FUZZ_CHECK(admin);
    NV_FUZZ_CHECK(st.files.exists(st.ctx.serverFile(kUsers28FileName)));
    return 0;
}
