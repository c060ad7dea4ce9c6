#include "childProcess.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryFile>
#include <QThread>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <vector>

extern char **environ;

TestChild::~TestChild()
{
    if (m_pid > 0) {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
    }
}

namespace {

// A null-terminated array of pointers into texts, as exec takes them.
std::vector<char *> Pointers(std::vector<QByteArray> &texts)
{
    std::vector<char *> pointers;
    for (QByteArray &text : texts)
        pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

bool TestChild::Start(const QString &program, const QStringList &arguments, const QStringList &environment,
                      const QString &outputFile, bool mergeErrors, QString *error)
{
    std::vector<QByteArray> argumentTexts{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        argumentTexts.push_back(argument.toLocal8Bit());
    std::vector<char *> argv = Pointers(argumentTexts);

    std::vector<QByteArray> environmentTexts;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArray text(*entry);
        const bool replaced = std::any_of(environment.begin(), environment.end(), [&text](const QString &other) {
            return text.startsWith(other.left(other.indexOf(QLatin1Char('=')) + 1).toLocal8Bit());
        });
        if (!replaced)
            environmentTexts.push_back(text);
    }
    for (const QString &entry : environment)
        environmentTexts.push_back(entry.toLocal8Bit());
    std::vector<char *> envp = Pointers(environmentTexts);

    const QByteArray output = QFile::encodeName(outputFile);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (mergeErrors)
        posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
    pid_t pid = -1;
    const int result = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (result != 0) {
        if (error)
            *error = program + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(result));
        return false;
    }
    m_pid = pid;
    return true;
}

bool TestChild::Wait(int timeoutMs, int *exitCode)
{
    if (m_pid <= 0)
        return false;
    QElapsedTimer clock;
    clock.start();
    int status = 0;
    for (;;) {
        const pid_t done = ::waitpid(m_pid, &status, WNOHANG);
        if (done == m_pid || (done < 0 && errno != EINTR))
            break;
        if (clock.elapsed() > timeoutMs) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            m_pid = -1;
            return false;
        }
        QThread::msleep(5);
    }
    m_pid = -1;
    if (!WIFEXITED(status))
        return false;
    if (exitCode)
        *exitCode = WEXITSTATUS(status);
    return true;
}

void TestChild::Terminate()
{
    if (m_pid > 0)
        ::kill(m_pid, SIGTERM);
}

bool RunChild(const QString &program, const QStringList &arguments, const QStringList &environment,
              QByteArray *output, int timeoutMs)
{
    QTemporaryFile file;
    if (!file.open()) {
        if (output)
            *output = "no temporary file for the output of " + program.toLocal8Bit();
        return false;
    }
    TestChild child;
    QString error;
    if (!child.Start(program, arguments, environment, file.fileName(), true, &error)) {
        if (output)
            *output = error.toLocal8Bit();
        return false;
    }
    int exitCode = -1;
    const bool exited = child.Wait(timeoutMs, &exitCode);
    if (output) {
        QFile written(file.fileName());
        *output = written.open(QIODevice::ReadOnly) ? written.readAll() : QByteArray();
        if (!exited)
            output->prepend(program.toLocal8Bit() + ": did not end in time\n");
    }
    return exited && exitCode == 0;
}
