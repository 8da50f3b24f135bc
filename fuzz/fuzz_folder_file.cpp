// A folder file of any layout, read in memory: recognised, converted or
// salvaged, never read past its end; the Outbox converters on the same bytes.
#include "store_fuzz_support.h"

#include "platform/codec.h"
#include "store/folders.h"
#include "store/legacy_formats.h"

#include <algorithm>

using namespace nv;
using namespace nvstorefuzz;

namespace {

int recordSize(FolderLayout l)
{
    switch (l) {
    case FolderLayout::Current: return kMsgInfoRecSize;
    case FolderLayout::V26: return kMsgInfoRec26Size;
    case FolderLayout::V25: return kMsgInfoRec25Size;
    case FolderLayout::V20: return kMsgInfoRec20Size;
    case FolderLayout::V15: return kMsgInfoRec15Size;
    }
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const FolderParse p = parseFolderFile(bytes);
    switch (p.status) {
    case FolderParse::Current:
        NV_STORE_FUZZ_CHECK(isCurrentFolder(bytes));
        NV_STORE_FUZZ_CHECK(qsizetype(p.msgs.size()) == bytes.size() / kMsgInfoRecSize);
        NV_STORE_FUZZ_CHECK(folderConverterFor(bytes) == FolderLayout::Current);
        break;
    case FolderParse::Converted:
        NV_STORE_FUZZ_CHECK(p.layout != FolderLayout::Current);
        NV_STORE_FUZZ_CHECK(bytes.size() % recordSize(p.layout) == 0);
        NV_STORE_FUZZ_CHECK(qsizetype(p.msgs.size()) == bytes.size() / recordSize(p.layout));
        break;
    case FolderParse::Salvaged:
        NV_STORE_FUZZ_CHECK(!p.msgs.empty());
        NV_STORE_FUZZ_CHECK(qsizetype(p.msgs.size()) <= bytes.size() / kMsgInfoRecSize);
        break;
    case FolderParse::Invalid:
        NV_STORE_FUZZ_CHECK(p.msgs.empty());
        NV_STORE_FUZZ_CHECK(!bytes.isEmpty());
        break;
    }

    std::vector<QByteArray> keys;
    for (const ConvertedMsg &m : p.msgs) {
        checkRecord(m.rec);
        // Text kept inside only by the layouts without text files.
        NV_STORE_FUZZ_CHECK(m.inlineText.isEmpty() || m.rec.TextFileName.isEmpty());
        NV_STORE_FUZZ_CHECK(m.inlineText.size() <= 500);
        NV_STORE_FUZZ_CHECK(firstTextLine(m.inlineText).size() <= kMsgTextPreviewLen);
        keys.push_back(toAnsi(m.rec.SentAt));
    }

    // Newest first, every record once.
    const std::vector<int> order = NewestFirstOrder(keys);
    NV_STORE_FUZZ_CHECK(order.size() == keys.size());
    std::vector<int> seen(order);
    std::sort(seen.begin(), seen.end());
    for (size_t i = 0; i < seen.size(); ++i)
        NV_STORE_FUZZ_CHECK(seen[i] == int(i));
    for (size_t i = 1; i < order.size(); ++i)
        NV_STORE_FUZZ_CHECK(!(keys[size_t(order[i - 1])] < keys[size_t(order[i])]));

    // Every converter on its own, and the Outbox ones.
    for (const FolderLayout l : {FolderLayout::V26, FolderLayout::V25, FolderLayout::V20, FolderLayout::V15}) {
        FolderLayout used = FolderLayout::Current;
        if (const auto msgs = convertFolderFrom(l, bytes, &used)) {
            NV_STORE_FUZZ_CHECK(used >= l);
            NV_STORE_FUZZ_CHECK(qsizetype(msgs->size()) * recordSize(used) == bytes.size());
        }
    }
    for (const FolderLayout l : {FolderLayout::V26, FolderLayout::V25}) {
        if (const auto recs = convertOldOutbox(l, bytes)) {
            NV_STORE_FUZZ_CHECK(qsizetype(recs->size()) * recordSize(l) == bytes.size());
            for (const TMsgInfoRec &r : *recs) {
                NV_STORE_FUZZ_CHECK(r.Version == kRecVersion);
                checkRecord(r);
            }
        }
    }
    return 0;
}
