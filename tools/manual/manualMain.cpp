// vorlen-manual SOURCE OUTPUT: writes the jukebox's manual page from its
// hand-written source and the window's command table. Run by the build.
#include "manualPage.h"

#include "platform/atomicFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() != 2) {
        std::fprintf(stderr, "usage: vorlen-manual SOURCE.html OUTPUT.html\n");
        return 2;
    }
    QFile source(args[0]);
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "vorlen-manual: cannot read %s\n", qPrintable(args[0]));
        return 1;
    }
    const TmanualPage page = BuildManualPage(QString::fromUtf8(source.readAll()));
    for (const QString &error : page.errors)
        std::fprintf(stderr, "%s: %s\n", qPrintable(args[0]), qPrintable(error));
    if (!page.errors.isEmpty())
        return 1;
    QDir().mkpath(QFileInfo(args[1]).absolutePath());
    QString error;
    if (!WriteFileAtomically(args[1], page.html.toUtf8(), &error)) {
        std::fprintf(stderr, "vorlen-manual: cannot write %s: %s\n", qPrintable(args[1]), qPrintable(error));
        return 1;
    }
    return 0;
}
