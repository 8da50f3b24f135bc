// The users file in the current layout: LoadUsers, then a save and a load
// must give the same list back.
#include "directory_fuzz_support.h"

#include "directory/name_order.h"
#include "directory/users.h"

using namespace nv;
using namespace nvfuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (bytes.size() >= kUserRecSize) {
        // Keep it a current file: the older layouts have fuzzers of their own.
        bytes[0] = 3;
        bytes[1] = '3';
        bytes[2] = '.';
        bytes[3] = '0';
    }
    Station st(bitsOf(data, size));
    NV_FUZZ_CHECK(st.files.writeWhole(st.ctx.serverFile(kUsersFileName), bytes));

    NV_FUZZ_CHECK(LoadUsers(st.ctx));
    const auto &users = st.ctx.UsersArr;
    NV_FUZZ_CHECK(qsizetype(users.size()) == bytes.size() / kUserRecSize);
    NV_FUZZ_CHECK(st.ctx.NoUsersFlag == users.empty());
    for (size_t i = 1; i < users.size(); ++i)
        NV_FUZZ_CHECK(CompareNames(users[i - 1].UserName, users[i].UserName) <= 0);
    for (const TUserRec &u : users) {
        NV_FUZZ_CHECK(u.UserName.size() <= 16 && u.Password.size() <= 16);
        NV_FUZZ_CHECK(u.Privilege.size() <= 2 && u.UsePassword.size() <= 1);
    }

    const std::vector<TUserRec> loaded = users;
    NV_FUZZ_CHECK(EditUsersSaveUsers(st.ctx));
    NV_FUZZ_CHECK(LoadUsers(st.ctx));
    NV_FUZZ_CHECK(users.size() == loaded.size());
    for (size_t i = 0; i < users.size(); ++i) {
        TUserRec expected = loaded[i];
        expected.Version = kUserRecVersion; // written as the current tag
        NV_FUZZ_CHECK(users[i] == expected);
    }
    return 0;
}
