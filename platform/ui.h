#pragma once
// How core code reaches the person at the screen. The desktop client answers
// with real boxes, tests with a script, the CLI on stderr.
#include <QString>

class QObject;

namespace nv {

enum class MsgKind { Plain, Error, Warning, Information, Confirmation };
enum class MsgButtons { Ok, YesNo };
enum class MsgAnswer { Ok, Yes, No };

// Sound identifiers of the older clients' message beep.
enum BeepId : int { BeepDefault = 0, BeepHand = 16, BeepQuestion = 32, BeepExclamation = 48, BeepAsterisk = 64 };

class Ui {
public:
    virtual ~Ui() = default;

    virtual MsgAnswer message(MsgKind kind, const QString &text, MsgButtons buttons = MsgButtons::Ok) = 0;

    // Shorthands for the common box kinds.
    void plain(const QString &text) { message(MsgKind::Plain, text, MsgButtons::Ok); }
    void error(const QString &text) { message(MsgKind::Error, text, MsgButtons::Ok); }
    void warning(const QString &text) { message(MsgKind::Warning, text, MsgButtons::Ok); }
    void information(const QString &text) { message(MsgKind::Information, text, MsgButtons::Ok); }
    bool askYesNo(MsgKind kind, const QString &text) { return message(kind, text, MsgButtons::YesNo) == MsgAnswer::Yes; }

    virtual void beep(int soundId) = 0;

    // Attention.
    virtual void restoreApp() = 0;
    virtual void bringToFront() = 0;
    virtual void flash() = 0;
    virtual bool isMinimized() const = 0;
    virtual void minimizeApp() = 0;

    // Shows a window modally; returns its result code (1 accepted, 0 rejected).
    virtual int showModal(QObject *window) = 0;

    virtual void help(int context) = 0;
};

} // namespace nv
