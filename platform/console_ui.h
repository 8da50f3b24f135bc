#pragma once
// The command line's answer to every box: the text on stderr, and No to
// every question.
#include "platform/ui.h"

#include <QStringList>
#include <cstdio>

namespace nv {

class ConsoleUi final : public Ui {
public:
    explicit ConsoleUi(FILE *err = stderr) : m_err(err) {}

    MsgAnswer message(MsgKind kind, const QString &text, MsgButtons buttons) override;
    void beep(int) override {}
    void restoreApp() override {}
    void bringToFront() override {}
    void flash() override {}
    bool isMinimized() const override { return false; }
    void minimizeApp() override {}
    int showModal(QObject *) override { return 0; }
    void help(int) override {}

    // Counts the boxes shown, so the command can report failure through its
    // exit status.
    int failures() const { return m_failures; }

private:
    FILE *m_err;
    int m_failures = 0;
};

} // namespace nv
