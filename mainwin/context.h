#pragma once
// What one running copy knows: its settings, its directories, the users and
// groups lists, and the platform it talks through. Passed by reference; two
// contexts in one process are two workstations sharing one network directory.
#include "directory/groups.h"
#include "directory/user_rec.h"
#include "mainwin/settings.h"
#include "store/msg_info_rec.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace nv {

class Ui;
class Files;
class Clock;
class Random;

struct Platform {
    Ui &ui;
    Files &files;
    Clock &clock;
    Random &random;
};

class Context {
public:
    explicit Context(const Platform &p) : ui(p.ui), files(p.files), clock(p.clock), random(p.random) {}

    Ui &ui;
    Files &files;
    Clock &clock;
    Random &random;

    // Settings
    TUserSettings settings;
    QString ServerDir = kNotSet; // no trailing separator
    QString LocalDir = kNotSet;
    QString InboxBase, OutboxBase, DeletedBase;
    QString INIFolder, Client;
    QString iniPath;
    QStringList args; // command-line arguments after the program name

    // Users and groups (filled by the directory code)
    std::vector<TUserRec> UsersArr; // UserCount is UsersArr.size()
    int CurUserIdx = -1;
    bool NoUsersFlag = false;
    bool QuitFlag = false;
    std::vector<TGroupRec> GroupsArr; // GroupCount is GroupsArr.size()
    QStringList MembersArr;           // MemberCount is MembersArr.size()

    // Asks for the password of the "Admin" user during a users-file
    // conversion; false (or no hook, as in the CLI) means cancelled. The
    // desktop client installs its dialog here.
    std::function<bool(QString &password)> enterAdminPassword;

    // The folder on display (LastFolder): its records in display order, the
    // first line of each text beside them, and the folder list.
    std::vector<TMsgInfoRec> Msgs; // MsgCount is Msgs.size()
    QStringList MsgTexts;
    QStringList FolderNames; // FolderCount is FolderNames.size()

    // The poll's record of the queue file read last.
    TMsgInfoRec CurrentQueueMsg;

    // What the windows hand each other through the main window: a folder
    // name (the hidden TmpFolder field), and the read window's verdict on
    // the message it showed.
    QString TmpFolder;
    bool MsgRemoved = false; // the message is to leave the folder it was listed in
    bool MsgSaved = false;   // the read window saved it into another folder
    bool SendToManyFlag = false;

    // Paths of the shared and local pieces.
    QString queueDir() const;
    QString activityDir() const;
    QString mailboxDir() const;
    QString serverFile(const QString &name) const;
};

} // namespace nv
