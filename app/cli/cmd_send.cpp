// norvane-cli send: a message into the shared queue, dispatched exactly as
// the multiple-recipient window does it. No question is asked: an urgent
// message to someone who is away is queued and waits for them.
#include "app/cli/cli.h"
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "compose/compose_texts.h"
#include "compose/dispatch.h"
#include "directory/groups.h"
#include "mainwin/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <optional>

#include "mainwin/main_texts.h"

namespace nv::cli {

namespace {

// "ann; (g)SALES;;bob" -> ann, (g)SALES, bob
QStringList splitNames(const QString &names)
{
    QStringList out;
    for (const QString &piece : names.split(QLatin1Char(';'))) {
        const QString name = piece.trimmed();
        if (!name.isEmpty())
            out.append(name);
    }
    return out;
}

// UTF-8 text into the lines of a message: lines end in LF or CR LF, a last
// line without a line end counts, an empty input has no line.
QStringList bodyLines(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3); // a byte order mark is no part of the text
    QStringList lines = QString::fromUtf8(bytes).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        if (lines[i].endsWith(QLatin1Char('\r')))
            lines[i].chop(1);
    if (lines.last().isEmpty())
        lines.removeLast(); // after the last line end, or no text at all
    return lines;
}

std::optional<QByteArray> readStdin(QString *error)
{
    QByteArray data;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, stdin)) > 0)
        data.append(buf, qsizetype(n));
    if (std::ferror(stdin)) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    return data;
}

int runSend(const Options &opts, FILE *, FILE *err)
{
    const QString from = opts.value(QStringLiteral("--from"));
    if (from.isEmpty())
        return usageError(err, QStringLiteral("send needs a user name after --from"));
    const QStringList to = splitNames(opts.value(QStringLiteral("--to")));
    const QStringList cc = splitNames(opts.value(QStringLiteral("--cc")));
    const QStringList bcc = splitNames(opts.value(QStringLiteral("--bcc")));
    if (to.isEmpty() && cc.isEmpty() && bcc.isEmpty()) {
        printLine(err, compose_texts::NoRecipients);
        return ExitUsage;
    }

    CliContext cli(err);
    Context &ctx = cli.ctx;
    ctx.ServerDir = CliContext::directory(opts.value(QStringLiteral("--server")));
    if (!ctx.files.isDir(ctx.queueDir())) {
        cli.ui.error(texts::NetworkLost);
        return ExitFailure;
    }

    QString readError;
    std::optional<QByteArray> raw;
    if (opts.has(QStringLiteral("--body-file"))) {
        const QString file = opts.value(QStringLiteral("--body-file"));
        FileError fe;
        raw = ctx.files.readAll(file, &fe);
        if (!raw)
            readError = file + QStringLiteral(": ") + errorText(fe);
    } else {
        raw = readStdin(&readError);
        if (!raw)
            readError = QStringLiteral("standard input: ") + readError;
    }
    if (!raw) {
        printLine(err, QStringLiteral("norvane-cli: cannot read the message body from ") + readError);
        return ExitFailure;
    }
    const QStringList body = bodyLines(*raw);

    ctx.settings.UserName = from.left(16);
    ComputeFolderBases(ctx);
    ctx.settings.UseOutBox = opts.has(QStringLiteral("--local"));
    if (ctx.settings.UseOutBox) {
        ctx.LocalDir = CliContext::directory(opts.value(QStringLiteral("--local")));
        ctx.files.mkpath(ctx.mailboxDir()); // as the settings window would have made it
    }

    // Only a "(g)" name can match a group.
    const auto isGroup = [](const QString &name) { return name.startsWith(QLatin1String("(g)")); };
    if (std::any_of(to.begin(), to.end(), isGroup) || std::any_of(cc.begin(), cc.end(), isGroup)
        || std::any_of(bcc.begin(), bcc.end(), isGroup))
        LoadGroups(ctx);

    SendMessage(ctx, kMultiRecipientCaller, to, cc, bcc, opts.has(QStringLiteral("--urgent")),
                opts.has(QStringLiteral("--receipt")), body);
    return cli.exitCode();
}

} // namespace

CommandSpec sendCommand()
{
    return {QStringLiteral("send"),
            {QStringLiteral("--server"), QStringLiteral("--from"), QStringLiteral("--local"), QStringLiteral("--to"),
             QStringLiteral("--cc"), QStringLiteral("--bcc"), QStringLiteral("--body-file")},
            {QStringLiteral("--urgent"), QStringLiteral("--receipt")},
            {QStringLiteral("--server"), QStringLiteral("--from")},
            &runSend};
}

} // namespace nv::cli
