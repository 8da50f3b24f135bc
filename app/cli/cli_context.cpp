#include "app/cli/cli_context.h"

#include "app/cli/cli.h"

namespace nv::cli {

QString CliContext::directory(const QString &dir)
{
    QString d = dir;
    if (d.size() > 1 && (d.endsWith(QLatin1Char('/')) || d.endsWith(QLatin1Char('\\'))))
        d.chop(1);
    return d;
}

int CliContext::exitCode() const { return ui.failures() > 0 ? ExitFailure : ExitOk; }

void printLine(FILE *f, const QString &line)
{
    std::fputs(line.toUtf8().constData(), f);
    std::fputc('\n', f);
}

} // namespace nv::cli
