#pragma once

#include <QString>
#include <QStringList>
#include <sys/types.h>

// A child process of a test, started with posix_spawn.
//
// QProcess starts its children with vfork semantics: the child shares the
// parent's memory until it execs. Under the thread sanitizer the child's
// intercepted calls then run on the parent's sanitizer state and corrupt it,
// which shows up later as false reports of races in unrelated code, and only
// in the tests that made files or recorded sound. The sanitizer follows
// posix_spawn correctly.
class TestChild {
public:
    TestChild() = default;
    // Kills a child that still runs.
    ~TestChild();
    TestChild(const TestChild &) = delete;
    TestChild &operator=(const TestChild &) = delete;

    // Starts program (looked up on PATH) with arguments and this process's
    // environment, with the "NAME=value" entries of environment in place of
    // the variables they name; its standard output, and its standard error
    // too when mergeErrors, go to outputFile. False with the reason in error
    // when it could not be started.
    bool Start(const QString &program, const QStringList &arguments, const QStringList &environment,
               const QString &outputFile, bool mergeErrors, QString *error = nullptr);
    // Waits up to timeoutMs for the child to end. True when it exited
    // normally, with its exit code in exitCode; a child still running then
    // is killed.
    bool Wait(int timeoutMs, int *exitCode = nullptr);
    // Asks the child to end (SIGTERM).
    void Terminate();
    bool Running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
};

// Runs program to its end (environment as for TestChild::Start) with its
// output (standard output and error) in output; false when it could not
// start, ran longer than timeoutMs or exited non-zero.
bool RunChild(const QString &program, const QStringList &arguments, const QStringList &environment,
              QByteArray *output, int timeoutMs);
