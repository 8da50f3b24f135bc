#include "mainwin/context.h"
#include "mainwin/nv_main_form.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/qt_ui.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Norvane"));
    QApplication::setQuitOnLastWindowClosed(false);

    nv::QtUi ui;
    nv::Files files;
    nv::SystemClock clock;
    nv::SeededRandom random;
    nv::Context ctx({ui, files, clock, random});
    ctx.args = QApplication::arguments().mid(1);

    int rc = 0;
    {
        nv::TNvMainForm form(ctx);
        ui.setMainWindow(&form);
        form.show();
        rc = QApplication::exec();
        ui.setMainWindow(nullptr);
    }
    return rc;
}
