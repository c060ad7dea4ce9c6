#include "ui/forms/frmAbout.h"

#include "core/dmMain.h"
#include "ui/forms/dialogButtons.h"
#include "ui/skinArt/builtInSkin.h"
#include "vorlenBuildInfo.h"

#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>

#include <SDL_version.h>
#include <fftw3.h>
extern "C" {
#include <libavutil/avutil.h>
}

QString ProgramVersionText()
{
    return QStringLiteral("Version %1 (commit %2)")
        .arg(QStringLiteral(VORLEN_VERSION_TEXT), QStringLiteral(VORLEN_COMMIT_TEXT));
}

QStringList RuntimeLibraryVersions()
{
    SDL_version sdl;
    SDL_GetVersion(&sdl);
    // FFTW names itself "fftw-3.3.10-sse2-avx": the version is the second part.
    const QStringList fftw = QString::fromLatin1(fftwf_version).split(QLatin1Char('-'));
    return { QStringLiteral("Qt ") + QString::fromLatin1(qVersion()),
        QStringLiteral("FFmpeg ") + QString::fromLatin1(av_version_info()),
        QStringLiteral("SDL %1.%2.%3").arg(sdl.major).arg(sdl.minor).arg(sdl.patch),
        QStringLiteral("FFTW ") + fftw.value(1, fftw.value(0)) };
}

TfrmAbout::TfrmAbout(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("About %1").arg(QString::fromLatin1(TdmMain::kApplicationTitle)));

    auto *logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(QPixmap::fromImage(BuiltInSkinBitmap(u"pnlLogo", u"bmTopLeft")));
    auto *name = new QLabel(QString::fromLatin1(TdmMain::kApplicationTitle), this);
    name->setObjectName(QStringLiteral("lblName"));
    QFont large = name->font();
    large.setPointSizeF(large.pointSizeF() * 1.6);
    large.setBold(true);
    name->setFont(large);
    auto *version = new QLabel(ProgramVersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Broken by hand: a wrapped label can be given too few lines.
    auto *what = new QLabel(QStringLiteral("A music jukebox for your desktop: your music folders and CDs\n"
                                           "as artists, albums and tracks, played through a cross-fading\n"
                                           "player that keeps the music going."),
        this);
    what->setObjectName(QStringLiteral("lblWhat"));

    auto *runsOn = new QLabel(QStringLiteral("Runs on:"), this);
    QFont bold = runsOn->font();
    bold.setBold(true);
    runsOn->setFont(bold);
    auto *libraries = new QLabel(RuntimeLibraryVersions().join(QLatin1Char('\n')), this);
    libraries->setObjectName(QStringLiteral("lblLibraries"));
    libraries->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(18, 18, 18, 14);
    layout->addWidget(logo);
    layout->addSpacing(6);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addSpacing(8);
    layout->addWidget(what);
    layout->addSpacing(8);
    layout->addWidget(runsOn);
    layout->addWidget(libraries);
    layout->addSpacing(10);
    layout->addLayout(ButtonRow({ MakeOkButton(this) }));
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAbout::Execute()
{
    exec();
}
