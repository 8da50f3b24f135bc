#include "reading/folder_append.h"

#include "mainwin/context.h"
#include "platform/files.h"
#include "store/folders.h"
#include "store/legacy_formats.h"
#include "store/naming.h"

namespace nv {

namespace {

// Exclusive creations of one text file tried before it is given up.

// The folder's records in the current layout, or nothing when they cannot
// be read as such. An older layout is converted (and rewritten) by loading
// the folder the way the main window shows it.
std::optional<QByteArray> currentRecords(Context &ctx, const QString &folder, const QString &path)
{
    if (!ctx.files.exists(path))
        return QByteArray();
    auto bytes = ctx.files.readAll(path);
    if (!bytes)
        return std::nullopt;
    FolderParse parse = parseFolderFile(*bytes);
    if (parse.status == FolderParse::Current)
        return bytes;
    if (parse.status != FolderParse::Converted)
        return std::nullopt; // appending behind records nobody can read would bury them
    {
        FolderSwap swap(ctx, folder);
        LoadFolderMsgs(ctx);
        if (ctx.settings.LastFolder.isEmpty())
            return std::nullopt; // the conversion failed and said so
    }
    bytes = ctx.files.readAll(path);
    if (!bytes || parseFolderFile(*bytes).status != FolderParse::Current)
        return std::nullopt;
    return bytes;
}

} // namespace

FolderSwap::FolderSwap(Context &ctx, const QString &folder)
    : m_ctx(ctx), m_lastFolder(ctx.settings.LastFolder), m_msgs(std::move(ctx.Msgs)), m_texts(std::move(ctx.MsgTexts))
{
    ctx.Msgs.clear();
    ctx.MsgTexts.clear();
    ctx.settings.LastFolder = folder;
}

FolderSwap::~FolderSwap()
{
    m_ctx.settings.LastFolder = m_lastFolder;
    if (m_reload) {
        LoadFolderMsgs(m_ctx);
        return;
    }
    m_ctx.Msgs = std::move(m_msgs);
    m_ctx.MsgTexts = std::move(m_texts);
}

bool usableFolderName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'))
        && !name.contains(QChar(u'\0')) && name != QLatin1String(".") && name != QLatin1String("..");
}

QString appendTargetPath(Context &ctx, const QString &folder)
{
    if (!usableFolderName(FolderBaseName(ctx, folder)))
        return Files::join(ctx.mailboxDir(), folder + kFolderExt);
    return FolderFilePath(ctx, folder);
}

FolderAppend AppendToFolder(Context &ctx, const QString &folder, const TMsgInfoRec &rec)
{
    FolderAppend out;
    out.path = appendTargetPath(ctx, folder);
    if (!usableFolderName(FolderBaseName(ctx, folder))) {
        out.status = FolderAppend::Unreadable;
        return out;
    }
    const auto base = currentRecords(ctx, folder, out.path);
    if (!base) {
        out.status = FolderAppend::Unreadable;
        return out;
    }
    ctx.files.mkpath(ctx.mailboxDir());
    // Written whole: a failed write leaves the old folder, never half a record.
    FileError err;
    if (!ctx.files.writeWhole(out.path, *base + encodeMsgInfoRec(rec), &err)) {
        out.status = FolderAppend::WriteFailed;
        return out;
    }
    out.status = FolderAppend::Written;
    return out;
}

NewText CreateTextFile(Context &ctx, const QString &dir, const QByteArray &body)
{
    return CreateNewTextFile(ctx.random, ctx.files, dir, body);
}

bool isMsgTextFileName(const QString &name)
{
    return name.endsWith(QLatin1String(".tms"), Qt::CaseInsensitive) && name.size() > 4;
}

} // namespace nv
