#pragma once
// The signed-in user's settings and where they are kept.
#include <QString>

namespace nv {

class Files;
class IniProfile;

inline const QString kNotSet = QStringLiteral("ERROR");

struct TUserSettings {
    QString UserName;        // at most 16 characters
    QString Password;        // at most 16
    QString Privilege;       // "0", "1" or "2"
    QString SettingsVersion;
    int MsgTimer = 10;       // seconds
    QString LastFolder;      // at most 13 characters; also the folder shown
    bool AutoPopUp = true;
    bool BeepOnNew = true;
    qint16 BeepSound = 0;
    bool UseOutBox = true;
    bool UseInbox = false;
    bool UseDeletedBox = true;
    int PresenceWindow = 1;
    bool StartMinimized = false;
    bool SettingsMissing = true;
};

// Where the settings file is: the locator NV_CUSTOM.INI in the working
// directory, INIFolder with its documents prefix mapped, or the folderless
// NORVANE.INI in the user's configuration directory.
struct SettingsLocation {
    QString INIFolder;   // after mapping
    QString Client;
    QString iniPath;     // full path of NORVANE.INI
};

// documentsDir and configDir stand in for the shell lookups so tests can fix them.
SettingsLocation LocateSettingsFile(Files &files, const QString &workingDir, const QString &documentsDir,
                                    const QString &configDir);

// The platform's directories on this desktop (XDG).
QString documentsDirectory();
QString configDirectory(); // $XDG_CONFIG_HOME/norvane or ~/.config/norvane

// Version text of the main window and the About box.
QString VersionText(const QString &client);

// A directory setting is configured when it is not "ERROR" (and not empty).
inline bool dirIsSet(const QString &dir) { return dir != kNotSet && !dir.isEmpty(); }

} // namespace nv

namespace nv {

class Context;

// The per-user folder file bases from UserName: "_i", "_o", "_d" + name, cut to 8.
void ComputeFolderBases(Context &ctx);

// Reads TUserSettings, ServerDir and LocalDir from the settings file.
void LoadSettings(Context &ctx, bool useDefaults, const QString &userName = QString());
// Writes them back; into [Settings] with toDefaults, else into the user's section.
void SaveSettings(Context &ctx, bool toDefaults);

// The argument-1 rule: "Y" in any letter case starts minimized.
bool startMinimizedArg(const QString &arg);

} // namespace nv
