// A users file in the version-01 layout (sizes a multiple of 17): the
// conversion, then the load of what it wrote.
#include "directory_fuzz_support.h"

#include "directory/user_conversions.h"
#include "directory/users.h"

using namespace nv;
using namespace nvfuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.isEmpty())
        return 0;
    if (bytes.size() % kOldUserRec01Size)
        bytes.append(QByteArray(kOldUserRec01Size - bytes.size() % kOldUserRec01Size, '\0'));
    Station st(bitsOf(data, size));
    const QString path = st.ctx.serverFile(kUsersFileName);
    NV_FUZZ_CHECK(st.files.writeWhole(path, bytes));

    const bool as01 = guessOldUsersLayout(bytes) == OldUsersLayout::Version01;
    if (!ConvertUserFile01(st.ctx, path))
        return 0;
    NV_FUZZ_CHECK(LoadUsers(st.ctx));
    if (as01) {
        NV_FUZZ_CHECK(qsizetype(st.ctx.UsersArr.size()) == bytes.size() / kOldUserRec01Size);
        NV_FUZZ_CHECK(st.files.exists(st.ctx.serverFile(kUsers01FileName)));
        for (const TUserRec &u : st.ctx.UsersArr)
            NV_FUZZ_CHECK(u.Password == u.UserName && (u.Privilege == "1" || u.Privilege == "2"));
    }
    return 0;
}
