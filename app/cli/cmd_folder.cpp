// norvane-cli folder: the messages of a mailbox folder, newest first.
#include "app/cli/cli.h"
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "app/cli/message_json.h"
#include "store/folders.h"

namespace nv::cli {

namespace {

int runFolder(const Options &opts, FILE *out, FILE *err)
{
    const QString folder = opts.value(QStringLiteral("--folder"));
    const bool special = folder == kOutboxFolder || folder == kDeletedFolder;
    if (special && !opts.has(QStringLiteral("--user")))
        return usageError(err, QStringLiteral("folder %1 needs --user").arg(folder));

    CliContext cli(err);
    Context &ctx = cli.ctx;
    ctx.LocalDir = CliContext::directory(opts.value(QStringLiteral("--local")));
    ctx.settings.UserName = opts.value(QStringLiteral("--user")).left(16);
    ComputeFolderBases(ctx);

    QString error;
    const auto entries = ReadFolderFileReadOnly(ctx, FolderFilePath(ctx, folder), &error);
    if (!error.isEmpty())
        cli.ui.error(error);
    if (!entries)
        return ExitFailure;
    for (const FolderEntry &e : *entries) {
        JsonLine line;
        addMessageFields(line, e, ctx.files, ctx.mailboxDir());
        printLine(out, line.text());
    }
    return cli.exitCode();
}

} // namespace

CommandSpec folderCommand()
{
    return {QStringLiteral("folder"),
            {QStringLiteral("--local"), QStringLiteral("--folder"), QStringLiteral("--user")},
            {},
            {QStringLiteral("--local"), QStringLiteral("--folder")},
            &runFolder};
}

} // namespace nv::cli
