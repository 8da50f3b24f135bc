// Builds the demo network directory: users ANN and BOB without a password,
// Admin with one, group SALES of ANN and BOB, the shared actions and quick
// replies. Leaves files that already exist alone.
#include "directory/groups.h"
#include "directory/users.h"
#include "mainwin/context.h"
#include "platform/clock.h"
#include "platform/codec.h"
#include "platform/console_ui.h"
#include "platform/files.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: norvane-demo-network NETWORK_DIR\n");
        return 2;
    }
    nv::ConsoleUi ui;
    nv::Files files;
    nv::SystemClock clock;
    nv::SeededRandom random;
    nv::Context ctx({ui, files, clock, random});
    ctx.ServerDir = QString::fromLocal8Bit(argv[1]);
    files.mkpath(ctx.queueDir());
    files.mkpath(ctx.activityDir());

    if (!files.exists(nv::usersFilePath(ctx))) {
        auto user = [](const char *name, const char *level, const char *password) {
            nv::TUserRec u;
            u.UserName = QString::fromLatin1(name);
            u.Privilege = QString::fromLatin1(level);
            u.Password = QString::fromLatin1(password);
            u.UsePassword = *password ? QStringLiteral("Y") : QStringLiteral("N");
            return u;
        };
        ctx.UsersArr = {user("Admin", "0", "admin"), user("ANN", "1", ""), user("BOB", "1", "")};
        nv::SortUsers(ctx);
        if (!nv::EditUsersSaveUsers(ctx))
            return 1;
    }
    if (!files.exists(ctx.serverFile(QStringLiteral("SALES.nvg")))) {
        ctx.MembersArr = {QStringLiteral("ANN"), QStringLiteral("BOB")};
        if (!nv::WriteGroupFile(ctx, QStringLiteral("SALES")))
            return 1;
    }
    const auto writeLines = [&](const char *name, const QStringList &lines) {
        const QString path = ctx.serverFile(QString::fromLatin1(name));
        if (!files.exists(path))
            files.writeWhole(path, nv::toAnsi(lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")));
    };
    writeLines("actions.txt", {QStringLiteral("Please call back"), QStringLiteral("Will call again"),
                               QStringLiteral("Returned your call"), QStringLiteral("Wants to see you"),
                               QStringLiteral("URGENT")});
    writeLines("qreplys.txt", {QStringLiteral("Thanks, got it."), QStringLiteral("On my way."),
                               QStringLiteral("Can we talk later?"), QStringLiteral("Yes."),
                               QStringLiteral("No.")});
    return ui.failures() ? 1 : 0;
}
