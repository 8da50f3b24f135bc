// norvane-cli users, groups and who: the shared users and groups files.
#include "app/cli/cli.h"
#include "app/cli/cli_context.h"
#include "app/cli/commands.h"
#include "app/cli/json_line.h"
#include "directory/groups.h"
#include "directory/users.h"
#include "mainwin/presence.h"

namespace nv::cli {

namespace {

// Loads the users without ever converting an older file: the conversion
// needs an administrator at the desktop client.
bool loadUsersReadOnly(CliContext &cli)
{
    if (isOlderUsersLayout(cli.ctx)) {
        cli.ui.error(kOlderUsersLayoutText);
        return false;
    }
    return LoadUsers(cli.ctx);
}

void setServer(CliContext &cli, const Options &opts)
{
    cli.ctx.ServerDir = CliContext::directory(opts.value(QStringLiteral("--server")));
}

int runUsers(const Options &opts, FILE *out, FILE *err)
{
    CliContext cli(err);
    setServer(cli, opts);
    if (!loadUsersReadOnly(cli))
        return ExitFailure;
    for (const TUserRec &u : cli.ctx.UsersArr)
        printLine(out, JsonLine()
                           .str("name", u.UserName)
                           .str("privilege", u.Privilege)
                           .str("usePassword", u.UsePassword)
                           .text());
    return cli.exitCode();
}

int runGroups(const Options &opts, FILE *out, FILE *err)
{
    CliContext cli(err);
    setServer(cli, opts);
    if (!LoadGroups(cli.ctx))
        return ExitFailure;
    const std::vector<TGroupRec> groups = cli.ctx.GroupsArr;
    for (const TGroupRec &g : groups) {
        LoadMembersArr(cli.ctx, g.GroupName);
        printLine(out, JsonLine().str("name", g.GroupName).list("members", cli.ctx.MembersArr).text());
    }
    return cli.exitCode();
}

int runWho(const Options &opts, FILE *out, FILE *err)
{
    CliContext cli(err);
    setServer(cli, opts);
    if (!loadUsersReadOnly(cli))
        return ExitFailure;
    for (const TUserRec &u : cli.ctx.UsersArr)
        if (UserLoggedIn(cli.ctx, u.UserName))
            printLine(out, JsonLine().str("name", u.UserName).text());
    return cli.exitCode();
}

const QStringList kServer = {QStringLiteral("--server")};

} // namespace

CommandSpec usersCommand() { return {QStringLiteral("users"), kServer, {}, kServer, &runUsers}; }
CommandSpec groupsCommand() { return {QStringLiteral("groups"), kServer, {}, kServer, &runGroups}; }
CommandSpec whoCommand() { return {QStringLiteral("who"), kServer, {}, kServer, &runWho}; }

} // namespace nv::cli
