#pragma once

#include <QString>

// Permissions mean nothing to root: a test of what happens when a file cannot
// be read or a folder cannot be written runs its body as an ordinary user.
// Run as root, the running test is run again by a child of the test program
// as the user "nobody" (setpriv), and the parent only reports how the child
// fared; run as anyone else, the body runs in place. The child makes its
// folders and files itself, as the user the test is about.
struct TunprivilegedRun {
    enum Kind { rkHere, rkDelegated, rkImpossible };
    Kind kind = rkHere;
    bool passed = false;
    // The child's output, or why no child could run the test.
    QString output;
};

TunprivilegedRun RunTestUnprivileged(int timeoutMs = 180000);

// The first statement of such a test: under root it hands the test to the
// child and returns; it skips, saying why, when there is no way to drop root.
#define VORLEN_RUN_UNPRIVILEGED()                                                                                      \
    do {                                                                                                               \
        const TunprivilegedRun unprivilegedRun = RunTestUnprivileged();                                                \
        if (unprivilegedRun.kind == TunprivilegedRun::rkImpossible)                                                    \
            GTEST_SKIP() << unprivilegedRun.output.toStdString();                                                      \
        if (unprivilegedRun.kind == TunprivilegedRun::rkDelegated) {                                                   \
            EXPECT_TRUE(unprivilegedRun.passed) << unprivilegedRun.output.toStdString();                               \
            return;                                                                                                    \
        }                                                                                                              \
    } while (false)
