#include "store/queue_reader.h"

#include "mainwin/context.h"
#include "platform/files.h"
#include "platform/ui.h"
#include "store/helpers.h"
#include "store/legacy_formats.h"
#include "store/store_texts.h"

#include <cerrno>

namespace nv {

namespace texts = store_texts;

namespace {

// The bytes of one queue info file. A file that is gone was taken by its
// recipient's other copy or its sender's retry: no message for that.
std::optional<QByteArray> readQueueFile(Context &ctx, const QString &name, const QString &openMessage)
{
    const QString bare = bareFileName(name);
    if (bare.isEmpty() || bare != name) {
        ctx.ui.error(openMessage);
        return std::nullopt;
    }
    FileError err;
    auto bytes = ctx.files.readAll(Files::join(ctx.queueDir(), bare), &err);
    if (!bytes && err.code != ENOENT)
        ctx.ui.error(openMessage);
    return bytes;
}

bool toWindow(Context &ctx, const std::optional<QueueMsg> &m, WindowMsgInfo &out)
{
    if (!m) {
        ctx.ui.plain(texts::MsgInfoInvalid);
        return false;
    }
    out.WindowMsg = m->rec;
    out.InlineText1 = m->InlineText1;
    out.InlineText2 = m->InlineText2;
    return true;
}

bool windowChain(Context &ctx, const QString &name, WindowMsgInfo &out, QueueLayout from, const QString &openMessage)
{
    const auto bytes = readQueueFile(ctx, name, openMessage);
    if (!bytes)
        return false;
    return toWindow(ctx, convertQueueFrom(from, *bytes, QueueReader::Window), out);
}

bool pollChain(Context &ctx, const QString &name, QueueLayout from, const QString &openMessage)
{
    const auto bytes = readQueueFile(ctx, name, openMessage);
    if (!bytes)
        return false;
    const auto m = convertQueueFrom(from, *bytes, QueueReader::Poll);
    if (!m) {
        ctx.ui.plain(texts::QueueMsgInvalid);
        return false;
    }
    ctx.CurrentQueueMsg = m->rec;
    return true;
}

} // namespace

bool ReadMsgInfo(Context &ctx, const QString &name, WindowMsgInfo &out)
{
    const auto bytes = readQueueFile(ctx, name, texts::MsgInfoOpen);
    if (!bytes)
        return false;
    return toWindow(ctx, readQueueBytes(*bytes, QueueReader::Window), out);
}

bool ReadMsgInfo26(Context &ctx, const QString &name, WindowMsgInfo &out)
{
    return windowChain(ctx, name, out, QueueLayout::V26, texts::MsgInfoOpen);
}

bool ReadMsgInfo25(Context &ctx, const QString &name, WindowMsgInfo &out)
{
    return windowChain(ctx, name, out, QueueLayout::V25, texts::MsgInfo25Open);
}

bool ReadMsgInfo20(Context &ctx, const QString &name, WindowMsgInfo &out)
{
    return windowChain(ctx, name, out, QueueLayout::V20, texts::MsgInfo20Open);
}

bool ReadQueueMsg(Context &ctx, const QString &name)
{
    const auto bytes = readQueueFile(ctx, name, texts::QueueMsgOpen);
    if (!bytes)
        return false;
    const auto m = readQueueBytes(*bytes, QueueReader::Poll);
    if (!m) {
        ctx.ui.plain(texts::QueueMsgInvalid);
        return false;
    }
    ctx.CurrentQueueMsg = m->rec;
    if (ctx.settings.UseInbox)
        WriteToInbox(ctx, m->InlineText1 + m->InlineText2);
    return true;
}

bool ReadOldQueueMsg(Context &ctx, const QString &name, const QString &tag)
{
    if (tag == kTag26)
        return ReadQueueMsg26(ctx, name);
    if (tag == kTag25 || tag == kTag21)
        return ReadQueueMsg25(ctx, name);
    return ReadQueueMsg20(ctx, name);
}

bool ReadQueueMsg26(Context &ctx, const QString &name)
{
    return pollChain(ctx, name, QueueLayout::V26, texts::QueueMsg26Open);
}

bool ReadQueueMsg25(Context &ctx, const QString &name)
{
    return pollChain(ctx, name, QueueLayout::V25, texts::QueueMsg26Open);
}

bool ReadQueueMsg20(Context &ctx, const QString &name)
{
    return pollChain(ctx, name, QueueLayout::V20, texts::QueueMsg20Open);
}

std::optional<FolderEntry> ReadQueueFileReadOnly(Context &ctx, const QString &path, QString *error)
{
    if (error)
        error->clear();
    const auto bytes = ctx.files.readAll(path);
    if (!bytes) {
        if (error)
            *error = texts::MsgInfoOpen;
        return std::nullopt;
    }
    const auto m = readQueueBytes(*bytes, QueueReader::Window);
    if (!m) {
        if (error)
            *error = texts::MsgInfoInvalid;
        return std::nullopt;
    }
    FolderEntry e;
    e.rec = m->rec;
    e.rec.ToNames = UnpackNames(e.rec.ToNames);
    e.versionTag = m->rec.Version;
    e.inlineText = m->InlineText1 + m->InlineText2;
    if (!e.rec.TextFileName.isEmpty()) {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QString dir = slash < 0 ? QStringLiteral(".") : path.left(slash > 0 ? slash : 1);
        const QString textPath = Files::join(dir, e.rec.TextFileName);
        if (ctx.files.isFile(textPath)) {
            if (const auto t = ctx.files.readAll(textPath))
                e.preview = firstTextLine(*t);
        }
    } else {
        e.preview = firstTextLine(e.inlineText);
    }
    return e;
}

} // namespace nv
