// A folder file of any layout in a real mailbox: shown (and converted and
// rewritten when older), appended to, and read by the tools. A folder is
// either left byte for byte as it was or rewritten whole in the current
// layout, and every record of it names a text file that exists.
#include "store_fuzz_support.h"

#include "store/folders.h"
#include "store/legacy_formats.h"
#include "store/queue_reader.h"

#include <QFile>

using namespace nv;
using namespace nvstorefuzz;

namespace {

QByteArray read(Files &files, const QString &path) { return files.readAll(path).value_or(QByteArray("<none>")); }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Station st;
    Context &ctx = st.ctx;
    const QString work = ctx.mailboxDir() + QStringLiteral("/WORK.mbx");
    const QString copy = ctx.mailboxDir() + QStringLiteral("/COPY.mbx");
    NV_STORE_FUZZ_CHECK(st.files.writeWhole(work, bytes));
    NV_STORE_FUZZ_CHECK(st.files.writeWhole(copy, bytes));
    const FolderParse parse = parseFolderFile(bytes);

    ctx.settings.LastFolder = QStringLiteral("WORK");
    const FolderLoadResult r = LoadFolderMsgs(ctx);
    NV_STORE_FUZZ_CHECK(ctx.Msgs.size() == size_t(ctx.MsgTexts.size()));
    NV_STORE_FUZZ_CHECK(r.commandsEnabled == !ctx.Msgs.empty());
    NV_STORE_FUZZ_CHECK(ctx.Msgs.size() == parse.msgs.size());
    const QByteArray shown = read(st.files, work);
    if (parse.status == FolderParse::Converted && !ctx.settings.LastFolder.isEmpty()) {
        NV_STORE_FUZZ_CHECK(isCurrentFolder(shown));
        NV_STORE_FUZZ_CHECK(shown.size() == qsizetype(parse.msgs.size()) * kMsgInfoRecSize);
        // Each record that kept its text inside now has a text file; the
        // others keep the name they had, whether or not that file is there.
        for (size_t i = 0; i < ctx.Msgs.size(); ++i) {
            const TMsgInfoRec &m = ctx.Msgs[i];
            NV_STORE_FUZZ_CHECK(!m.TextFileName.isEmpty() && m.Version == kRecVersion);
        }
        qsizetype made = 0;
        for (const ConvertedMsg &c : parse.msgs)
            made += c.rec.TextFileName.isEmpty() ? 1 : 0;
        NV_STORE_FUZZ_CHECK(st.files.find(ctx.mailboxDir(), QStringLiteral("*.tms")).size() == made);
    } else {
        NV_STORE_FUZZ_CHECK(shown == bytes);
    }
    NV_STORE_FUZZ_CHECK(ctx.settings.LastFolder.isEmpty() == (parse.status == FolderParse::Invalid));

    // An append either converts and appends or leaves the target as it was.
    if (!ctx.Msgs.empty()) {
        const bool ok = WriteMsgToFolder(ctx, QStringLiteral("COPY"), 0);
        const QByteArray after = read(st.files, copy);
        if (ok) {
            NV_STORE_FUZZ_CHECK(isCurrentFolder(after));
            NV_STORE_FUZZ_CHECK(after.size() == qsizetype(parse.msgs.size() + 1) * kMsgInfoRecSize);
        } else {
            NV_STORE_FUZZ_CHECK(after == bytes);
        }
        if (!ctx.settings.LastFolder.isEmpty()) {
            const size_t before = ctx.Msgs.size();
            NV_STORE_FUZZ_CHECK(RemoveMsg(ctx, 0));
            NV_STORE_FUZZ_CHECK(ctx.Msgs.size() == before - 1);
            NV_STORE_FUZZ_CHECK(read(st.files, work).size() == qsizetype(before - 1) * kMsgInfoRecSize);
        }
    }

    QString error;
    const auto entries = ReadFolderFileReadOnly(ctx, copy, &error);
    NV_STORE_FUZZ_CHECK(bool(entries) || !error.isEmpty());

    // The same bytes as a queue file, filed into the Inbox by the poll.
    ctx.settings.UseInbox = true;
    NV_STORE_FUZZ_CHECK(st.files.writeWhole(ctx.queueDir() + QStringLiteral("/BOB.m01"), bytes));
    if (ReadQueueMsg(ctx, QStringLiteral("BOB.m01")))
        NV_STORE_FUZZ_CHECK(isCurrentFolder(read(st.files, ctx.mailboxDir() + QStringLiteral("/Inbox.mbx"))));
    return 0;
}
