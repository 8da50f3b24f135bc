#include "mainwin/settings.h"

#include "mainwin/context.h"
#include "platform/files.h"
#include "platform/ini_profile.h"

#include <QDir>
#include <QStandardPaths>

namespace nv {

namespace {

const QString kSettings = QStringLiteral("Settings");
const QString kDirectories = QStringLiteral("Directories");
const QString kIniName = QStringLiteral("NORVANE.INI");

QString userSection(const QString &user) { return (QStringLiteral("User-") + user).left(21); }

QString dropTrailingSeparator(QString dir)
{
    if (dir.endsWith(QLatin1Char('\\')) || dir.endsWith(QLatin1Char('/')))
        dir.chop(1);
    return dir;
}

} // namespace

QString VersionText(const QString &client)
{
    QString v = QStringLiteral("3.1.7 - 2/24/2008");
    if (!client.isEmpty())
        v += QStringLiteral(" (") + client + QLatin1Char(')');
    return v;
}

QString documentsDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

QString configDirectory()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/norvane");
}

SettingsLocation LocateSettingsFile(Files &files, const QString &workingDir, const QString &documentsDir,
                                    const QString &configDir)
{
    SettingsLocation loc;
    IniProfile locator(files, Files::join(workingDir, QStringLiteral("NV_CUSTOM.INI")));
    QString folder = locator.readString(kSettings, QStringLiteral("INIFolder"));
    loc.Client = locator.readString(kSettings, QStringLiteral("Client"));

    if (folder.left(12).toLower() == QLatin1String("my documents"))
        folder = documentsDir + folder.mid(12);
    else if (folder.left(11).toLower() == QLatin1String("mydocuments"))
        folder = documentsDir + folder.mid(11);
    // A remainder written the older way, with backslashes, still names a subfolder here.
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    folder = dropTrailingSeparator(folder);
    loc.INIFolder = folder;

    if (folder.isEmpty()) {
        files.mkpath(configDir);
        loc.iniPath = Files::join(configDir, kIniName);
    } else {
        if (QDir::isRelativePath(folder))
            folder = Files::join(workingDir, folder);
        files.mkpath(folder);
        loc.iniPath = Files::join(folder, kIniName);
    }
    return loc;
}

void ComputeFolderBases(Context &ctx)
{
    const QString &u = ctx.settings.UserName;
    ctx.InboxBase = (QStringLiteral("_i") + u).left(8);
    ctx.OutboxBase = (QStringLiteral("_o") + u).left(8);
    ctx.DeletedBase = (QStringLiteral("_d") + u).left(8);
}

bool startMinimizedArg(const QString &arg) { return arg.compare(QLatin1String("Y"), Qt::CaseInsensitive) == 0; }

void LoadSettings(Context &ctx, bool useDefaults, const QString &userName)
{
    IniProfile ini(ctx.files, ctx.iniPath);
    TUserSettings &s = ctx.settings;
    s.SettingsVersion = ini.readString(kSettings, QStringLiteral("Version"));

    QString name = userName;
    if (!useDefaults && userName.isEmpty()) {
        s.UserName = ini.readString(kSettings, QStringLiteral("UserName")).left(16);
        name = s.UserName;
        ComputeFolderBases(ctx);
    }

    const QString section =
        (!useDefaults && !name.isEmpty() && !s.SettingsVersion.isEmpty()) ? userSection(name) : kSettings;

    QString server = ini.readString(section, QStringLiteral("ServerDir"), kNotSet);
    QString local = ini.readString(section, QStringLiteral("LocalDir"), kNotSet);
    if (server == kNotSet && local == kNotSet) {
        server = ini.readString(kDirectories, QStringLiteral("ServerDir"), kNotSet);
        local = ini.readString(kDirectories, QStringLiteral("LocalDir"), kNotSet);
    }

    s.MsgTimer = ini.readInt(section, QStringLiteral("MsgTimer"), 10);
    s.LastFolder = ini.readString(section, QStringLiteral("LastFolder")).left(13);
    s.AutoPopUp = ini.readBool(section, QStringLiteral("AutoPopUp"), true);
    s.BeepOnNew = ini.readBool(section, QStringLiteral("BeepOnNew"), true);
    s.BeepSound = static_cast<qint16>(ini.readInt(section, QStringLiteral("BeepSound"), 0));
    s.UseOutBox = ini.readBool(section, QStringLiteral("UseOutBox"), true);
    s.UseInbox = ini.readBool(section, QStringLiteral("UseInbox"), false);
    s.UseDeletedBox = ini.readBool(section, QStringLiteral("UseDeletedBox"), true);

    ctx.ServerDir = dropTrailingSeparator(server);
    ctx.LocalDir = dropTrailingSeparator(local);

    s.SettingsMissing = !(ctx.ServerDir != kNotSet && ctx.LocalDir != kNotSet && !s.UserName.isEmpty());
    if (!ctx.args.isEmpty())
        s.StartMinimized = startMinimizedArg(ctx.args.first());
}

void SaveSettings(Context &ctx, bool toDefaults)
{
    IniProfile ini(ctx.files, ctx.iniPath);
    const TUserSettings &s = ctx.settings;
    ini.writeString(kSettings, QStringLiteral("Version"), QStringLiteral("3.0"));
    ini.writeString(kSettings, QStringLiteral("UserName"), s.UserName);
    const QString section = toDefaults ? kSettings : userSection(s.UserName);
    ini.writeString(section, QStringLiteral("ServerDir"), ctx.ServerDir);
    ini.writeString(section, QStringLiteral("LocalDir"), ctx.LocalDir);
    ini.writeInt(section, QStringLiteral("MsgTimer"), s.MsgTimer);
    ini.writeString(section, QStringLiteral("LastFolder"), s.LastFolder);
    ini.writeBool(section, QStringLiteral("AutoPopUp"), s.AutoPopUp);
    ini.writeBool(section, QStringLiteral("BeepOnNew"), s.BeepOnNew);
    ini.writeInt(section, QStringLiteral("BeepSound"), s.BeepSound);
    ini.writeBool(section, QStringLiteral("UseOutBox"), s.UseOutBox);
    ini.writeBool(section, QStringLiteral("UseInbox"), s.UseInbox);
    ini.writeBool(section, QStringLiteral("UseDeletedBox"), s.UseDeletedBox);
}

} // namespace nv
