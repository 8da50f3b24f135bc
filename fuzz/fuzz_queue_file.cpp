// A queue info file of any layout, as the Message Inbox window and the poll
// read it: a current record cut short is never taken for an older one.
#include "store_fuzz_support.h"

#include "store/legacy_formats.h"

using namespace nv;
using namespace nvstorefuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool taggedCurrent = leadingTag(bytes) == "2.8";

    for (const QueueReader who : {QueueReader::Window, QueueReader::Poll}) {
        const auto m = readQueueBytes(bytes, who);
        if (taggedCurrent)
            NV_STORE_FUZZ_CHECK(bool(m) == (bytes.size() >= kMsgInfoRecSize));
        if (!m)
            continue;
        checkRecord(m->rec);
        switch (m->layout) {
        case QueueLayout::Current:
            NV_STORE_FUZZ_CHECK(taggedCurrent && bytes.size() >= kMsgInfoRecSize);
            break;
        case QueueLayout::V26:
            NV_STORE_FUZZ_CHECK(bytes.size() >= kMsgInfoRec26Size && m->rec.Version == kTag26);
            NV_STORE_FUZZ_CHECK(who == QueueReader::Poll || m->rec.Receipt == kOptionOff);
            break;
        case QueueLayout::V25:
            NV_STORE_FUZZ_CHECK(bytes.size() >= kMsgInfoRec25Size);
            NV_STORE_FUZZ_CHECK(m->rec.Version == kTag25 || m->rec.Version == kTag21);
            break;
        case QueueLayout::V20:
            NV_STORE_FUZZ_CHECK(bytes.size() >= kMsgInfoRec20Size && m->rec.Version == kTag20);
            NV_STORE_FUZZ_CHECK(m->rec.TextFileName.isEmpty());
            NV_STORE_FUZZ_CHECK(m->InlineText1.size() <= 250 && m->InlineText2.size() <= 250);
            break;
        }
        if (m->layout != QueueLayout::Current)
            NV_STORE_FUZZ_CHECK(m->rec.CcNames.isEmpty() && m->rec.BccNames.isEmpty());
        if (m->layout != QueueLayout::V20)
            NV_STORE_FUZZ_CHECK(m->InlineText1.isEmpty() && m->InlineText2.isEmpty());
        UnpackNames(m->rec.ToNames);
    }
    for (const QueueLayout from : {QueueLayout::V26, QueueLayout::V25, QueueLayout::V20}) {
        const auto m = convertQueueFrom(from, bytes, QueueReader::Window);
        NV_STORE_FUZZ_CHECK(!(m && taggedCurrent));
        if (m)
            checkRecord(m->rec);
    }
    return 0;
}
