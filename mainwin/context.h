#pragma once
// What one running copy knows: its settings, its directories, the users and
// groups lists, and the platform it talks through. Passed by reference; two
// contexts in one process are two workstations sharing one network directory.
#include "mainwin/settings.h"

#include <QStringList>
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
    int CurUserIdx = -1;
    bool NoUsersFlag = false;
    bool QuitFlag = false;

    // Paths of the shared and local pieces.
    QString queueDir() const;
    QString activityDir() const;
    QString mailboxDir() const;
    QString serverFile(const QString &name) const;
};

} // namespace nv
