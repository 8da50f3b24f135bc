#include "app/cli/cli.h"

#include "app/cli/commands.h"

#include "mainwin/settings.h"

#include <QMap>

namespace nv::cli {

namespace {

void print(FILE *f, const QString &text) { std::fputs(text.toUtf8().constData(), f); }

} // namespace

QString usageText()
{
    return QStringLiteral(
        "usage:\n"
        "  norvane-cli send   --server DIR --from USER [--local DIR] [--to NAMES] [--cc NAMES] [--bcc NAMES]\n"
        "                     [--urgent] [--receipt] [--body-file FILE]\n"
        "  norvane-cli queue  --server DIR --user USER\n"
        "  norvane-cli folder --local DIR --folder NAME [--user USER]\n"
        "  norvane-cli users  --server DIR\n"
        "  norvane-cli groups --server DIR\n"
        "  norvane-cli who    --server DIR\n"
        "  norvane-cli --help | --version\n"
        "\n"
        "NAMES are separated by \";\"; a group is written (g)NAME.\n");
}

int usageError(FILE *err, const QString &reason)
{
    print(err, QStringLiteral("norvane-cli: ") + reason + QLatin1Char('\n'));
    print(err, usageText());
    return ExitUsage;
}

const QList<CommandSpec> &commands()
{
    static const QList<CommandSpec> list = {sendCommand(),   queueCommand(),  folderCommand(),
                                            usersCommand(),  groupsCommand(), whoCommand()};
    return list;
}

int run(const QStringList &args, FILE *out, FILE *err)
{
    if (args.isEmpty())
        return usageError(err, QStringLiteral("no command given"));
    const QString &first = args.first();
    if (first == QLatin1String("--help") || first == QLatin1String("-h")) {
        print(out, QStringLiteral("norvane-cli: the command-line companion of the Norvane messaging client.\n\n"));
        print(out, usageText());
        return ExitOk;
    }
    if (first == QLatin1String("--version")) {
        print(out, QStringLiteral("norvane-cli ") + VersionText(QString()) + QLatin1Char('\n'));
        return ExitOk;
    }
    const CommandSpec *command = nullptr;
    for (const CommandSpec &c : commands())
        if (c.name == first)
            command = &c;
    if (!command)
        return usageError(err, first.startsWith(QLatin1Char('-')) ? QStringLiteral("unknown option %1").arg(first)
                                                                    : QStringLiteral("unknown command %1").arg(first));
    Options opts;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--help")) {
            print(out, usageText());
            return ExitOk;
        }
        if (command->valueOptions.contains(a)) {
            if (i + 1 >= args.size())
                return usageError(err, QStringLiteral("option %1 needs a value").arg(a));
            opts.values.insert(a, args[++i]);
        } else if (command->flagOptions.contains(a)) {
            opts.flags.append(a);
        } else {
            return usageError(err, a.startsWith(QLatin1Char('-')) ? QStringLiteral("unknown option %1").arg(a)
                                                                   : QStringLiteral("unexpected argument %1").arg(a));
        }
    }
    for (const QString &req : command->requiredOptions)
        if (!opts.values.contains(req))
            return usageError(err, QStringLiteral("%1 needs %2").arg(command->name, req));
    return command->run(opts, out, err);
}

} // namespace nv::cli
