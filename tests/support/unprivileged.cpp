#include "unprivileged.h"

#include "childProcess.h"

#include <QFile>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

namespace {

const char kChildMark[] = "VORLEN_UNPRIVILEGED_CHILD";

} // namespace

TunprivilegedRun RunTestUnprivileged(int timeoutMs)
{
    TunprivilegedRun run;
    if (::geteuid() != 0)
        return run;
    run.kind = TunprivilegedRun::rkImpossible;
    if (qEnvironmentVariableIsSet(kChildMark)) {
        run.output = QStringLiteral("the child still runs as root");
        return run;
    }
    const passwd *nobody = ::getpwnam("nobody");
    if (!nobody) {
        run.output = QStringLiteral("there is no user \"nobody\" to run the test as");
        return run;
    }
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    const QString filter = QStringLiteral("--gtest_filter=%1.%2")
                               .arg(QString::fromUtf8(test->test_suite_name()), QString::fromUtf8(test->name()));
    const QString program = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    // The child writes its output where the parent reads it: the file is
    // opened before the child drops root.
    QTemporaryDir outputFolder;
    const QString outputFile = outputFolder.filePath(QStringLiteral("output"));
    TestChild child;
    QString error;
    const QStringList arguments{QStringLiteral("--reuid=%1").arg(nobody->pw_uid),
                                QStringLiteral("--regid=%1").arg(nobody->pw_gid), QStringLiteral("--clear-groups"),
                                QStringLiteral("--"), program, filter};
    const QStringList environment{QString::fromLatin1(kChildMark) + QStringLiteral("=1"),
                                  QStringLiteral("HOME=") + QDir::tempPath(), QStringLiteral("XDG_RUNTIME_DIR=")};
    if (!child.Start(QStringLiteral("setpriv"), arguments, environment, outputFile, true, &error)) {
        run.output = QStringLiteral("no child could drop root: ") + error;
        return run;
    }
    int exitCode = -1;
    const bool exited = child.Wait(timeoutMs, &exitCode);
    QFile output(outputFile);
    if (output.open(QIODevice::ReadOnly))
        run.output = QString::fromLocal8Bit(output.readAll());
    if (run.output.contains(QStringLiteral("[  SKIPPED ]")))
        return run;
    run.kind = TunprivilegedRun::rkDelegated;
    run.passed = exited && exitCode == 0 && run.output.contains(QStringLiteral("[       OK ]"));
    return run;
}
