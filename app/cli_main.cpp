#include "app/cli/cli.h"

#include <QCoreApplication>
#include <clocale>

int main(int argc, char **argv)
{
    std::setlocale(LC_ALL, "");
    QCoreApplication app(argc, argv);
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    return nv::cli::run(args, stdout, stderr);
}
