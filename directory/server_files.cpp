#include "directory/server_files.h"

#include "mainwin/context.h"
#include "platform/files.h"

#include <cerrno>

namespace nv {

QString serverFilePath(const Context &ctx, const QString &fileName)
{
    if (!dirIsSet(ctx.ServerDir))
        return QString();
    const QString exact = ctx.serverFile(fileName);
    if (ctx.files.exists(exact))
        return exact;
    // A name with pattern characters would match other files.
    if (fileName.contains(QLatin1Char('*')) || fileName.contains(QLatin1Char('?')))
        return exact;
    const QStringList found = ctx.files.find(ctx.ServerDir, fileName);
    return found.isEmpty() ? exact : ctx.serverFile(found.first());
}

bool nameIsSafeForFile(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
}

bool isReadFailure(const FileError &err)
{
    return err.code == EIO || err.code == EISDIR || err.code == EINVAL;
}

bool rewriteWhole(Files &files, const QString &path, const QByteArray &data)
{
    FileError err;
    return files.writeWhole(path, data, &err);
}

bool renameNoReplace(Files &files, const QString &from, const QString &to)
{
    if (files.exists(to))
        return false;
    return files.rename(from, to);
}

} // namespace nv
