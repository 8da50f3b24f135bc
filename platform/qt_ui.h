#pragma once
// The desktop's message boxes, beeps and attention calls.
#include "platform/ui.h"

class QWidget;

namespace nv {

class QtUi final : public Ui {
public:
    QtUi();

    // The window boxes are centred on and attention goes to.
    void setMainWindow(QWidget *w) { m_main = w; }

    MsgAnswer message(MsgKind kind, const QString &text, MsgButtons buttons) override;
    void beep(int soundId) override;
    void restoreApp() override;
    void bringToFront() override;
    void flash() override;
    bool isMinimized() const override;
    void minimizeApp() override;
    int showModal(QObject *window) override;
    void help(int context) override;

private:
    QWidget *m_main = nullptr;
};

} // namespace nv
