// norvane-cli queue: the messages waiting for a user, newest first.
#include "app/cli/cli.h"
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "app/cli/message_json.h"
#include "mainwin/main_texts.h"
#include "store/folders.h"
#include "store/naming.h"
#include "store/queue_reader.h"

namespace nv::cli {

namespace {

int runQueue(const Options &opts, FILE *out, FILE *err)
{
    CliContext cli(err);
    Context &ctx = cli.ctx;
    ctx.ServerDir = CliContext::directory(opts.value(QStringLiteral("--server")));
    const QString user = opts.value(QStringLiteral("--user"));
    const QString queue = ctx.queueDir();
    if (!ctx.files.isDir(queue)) {
        cli.ui.error(texts::NetworkLost);
        return ExitFailure;
    }
    if (!isQueueableUser(user))
        return cli.exitCode();

    struct Row {
        QString file;
        FolderEntry entry;
    };
    std::vector<Row> rows;
    for (const QString &name : ctx.files.find(queue, user + QStringLiteral(".m*"))) {
        QString error;
        auto entry = ReadQueueFileReadOnly(ctx, Files::join(queue, name), &error);
        if (!entry) {
            if (!error.isEmpty())
                cli.ui.error(error);
            continue;
        }
        rows.push_back({name, std::move(*entry)});
    }
    std::vector<QByteArray> times;
    for (const Row &r : rows)
        times.push_back(r.entry.rec.SentAt.toLatin1());
    for (int i : NewestFirstOrder(times)) {
        JsonLine line;
        line.str("file", rows[i].file);
        addMessageFields(line, rows[i].entry, ctx.files, queue);
        printLine(out, line.text());
    }
    return cli.exitCode();
}

} // namespace

CommandSpec queueCommand()
{
    return {QStringLiteral("queue"), {QStringLiteral("--server"), QStringLiteral("--user")}, {},
            {QStringLiteral("--server"), QStringLiteral("--user")}, &runQueue};
}

} // namespace nv::cli
