#include "support/cli_runner.h"

#include <cstdio>

CliRun runCli(const QStringList &args)
{
    FILE *out = std::tmpfile();
    FILE *err = std::tmpfile();
    CliRun r;
    r.rc = nv::cli::run(args, out, err);
    for (auto [f, s] : {std::pair{out, &r.out}, std::pair{err, &r.err}}) {
        std::fflush(f);
        std::rewind(f);
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0)
            s->append(buf, n);
        std::fclose(f);
    }
    return r;
}
