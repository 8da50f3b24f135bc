#include "platform/qt_ui.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QProcess>
#include <QStandardPaths>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

// The shipped pages live in a resource of the window library, which a
// static link would otherwise leave out.
static void initResources() { Q_INIT_RESOURCE(norvane); }

namespace nv {

QtUi::QtUi() { initResources(); }

MsgAnswer QtUi::message(MsgKind kind, const QString &text, MsgButtons buttons)
{
    QMessageBox box(m_main);
    box.setWindowTitle(QStringLiteral("Norvane"));
    box.setText(text);
    switch (kind) {
    case MsgKind::Plain: box.setIcon(QMessageBox::NoIcon); break;
    case MsgKind::Error: box.setIcon(QMessageBox::Critical); break;
    case MsgKind::Warning: box.setIcon(QMessageBox::Warning); break;
    case MsgKind::Information: box.setIcon(QMessageBox::Information); break;
    case MsgKind::Confirmation: box.setIcon(QMessageBox::Question); break;
    }
    if (buttons == MsgButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
    } else {
        box.setStandardButtons(QMessageBox::Ok);
    }
    const int r = box.exec();
    if (buttons == MsgButtons::YesNo)
        return r == QMessageBox::Yes ? MsgAnswer::Yes : MsgAnswer::No;
    return MsgAnswer::Ok;
}

void QtUi::beep(int soundId)
{
    // The freedesktop sound themes know these events; without a player the
    // plain desktop beep stands in.
    const char *event = "bell";
    switch (soundId) {
    case BeepHand: event = "dialog-error"; break;
    case BeepQuestion: event = "dialog-question"; break;
    case BeepExclamation: event = "dialog-warning"; break;
    case BeepAsterisk: event = "dialog-information"; break;
    default: break;
    }
    static const QString player = QStandardPaths::findExecutable(QStringLiteral("canberra-gtk-play"));
    if (!player.isEmpty() && QProcess::startDetached(player, {QStringLiteral("-i"), QString::fromLatin1(event)}))
        return;
    QApplication::beep();
}

void QtUi::restoreApp()
{
    if (m_main && m_main->isMinimized())
        m_main->showNormal();
}

void QtUi::bringToFront()
{
    if (!m_main)
        return;
    m_main->raise();
    m_main->activateWindow();
}

void QtUi::flash()
{
    if (m_main)
        QApplication::alert(m_main, 1000);
}

bool QtUi::isMinimized() const { return m_main && m_main->isMinimized(); }

void QtUi::minimizeApp()
{
    if (m_main)
        m_main->showMinimized();
}

int QtUi::showModal(QObject *window)
{
    if (auto *dlg = qobject_cast<QDialog *>(window))
        return dlg->exec();
    return 0;
}

void QtUi::help(int context)
{
    // Help is HTML shipped inside the program, one anchor per context number.
    auto *viewer = m_main ? m_main->findChild<QDialog *>(QStringLiteral("HelpViewer")) : nullptr;
    if (!viewer) {
        viewer = new QDialog(m_main);
        viewer->setObjectName(QStringLiteral("HelpViewer"));
        viewer->setWindowTitle(QStringLiteral("Norvane Help"));
        viewer->resize(560, 480);
        auto *layout = new QVBoxLayout(viewer);
        auto *browser = new QTextBrowser(viewer);
        browser->setObjectName(QStringLiteral("HelpBrowser"));
        browser->setSource(QUrl(QStringLiteral("qrc:/help/norvane.html")));
        layout->addWidget(browser);
    }
    auto *browser = viewer->findChild<QTextBrowser *>(QStringLiteral("HelpBrowser"));
    browser->scrollToAnchor(QStringLiteral("context-%1").arg(context));
    viewer->show();
    viewer->raise();
}

} // namespace nv
