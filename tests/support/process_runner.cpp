#include "support/process_runner.h"

#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <fcntl.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <vector>

extern char **environ;

namespace {

std::string native(const QString &path)
{
    return QFile::encodeName(path.isEmpty() ? QStringLiteral("/dev/null") : path).toStdString();
}

} // namespace

pid_t spawnProcess(const QString &program, const QStringList &args, const QString &stdinPath,
                   const QString &stdoutPath, const QString &stderrPath)
{
    std::vector<std::string> strings;
    strings.push_back(QFile::encodeName(program).toStdString());
    for (const QString &a : args)
        strings.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &s : strings)
        argv.push_back(s.data());
    argv.push_back(nullptr);

    const std::string in = native(stdinPath), out = native(stdoutPath), err = native(stderrPath);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = -1;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

ProcessExit waitProcess(pid_t pid)
{
    ProcessExit e;
    int status = 0;
    pid_t r;
    do
        r = waitpid(pid, &status, 0);
    while (r < 0 && errno == EINTR);
    if (r != pid)
        return e;
    if (WIFEXITED(status)) {
        e.exited = true;
        e.code = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        e.signal = WTERMSIG(status);
    }
    return e;
}

ProcessRun runProcess(const QString &program, const QStringList &args, const QByteArray &input)
{
    ProcessRun run;
    QTemporaryDir dir;
    const QString in = dir.filePath(QStringLiteral("in")), out = dir.filePath(QStringLiteral("out")),
                  err = dir.filePath(QStringLiteral("err"));
    {
        QFile f(in);
        if (!f.open(QIODevice::WriteOnly))
            return run;
        f.write(input);
    }
    const pid_t pid = spawnProcess(program, args, in, out, err);
    if (pid < 0)
        return run;
    run.exit = waitProcess(pid);
    for (auto [path, target] : {std::pair{out, &run.out}, std::pair{err, &run.err}}) {
        QFile f(path);
        if (f.open(QIODevice::ReadOnly))
            *target = f.readAll();
    }
    return run;
}
