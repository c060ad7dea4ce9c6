// Writes the skin fuzzer's seed corpus into a folder: skin_seed FOLDER
#include "platform/atomicFile.h"
#include "skinInput.h"
#include "ui/controls/skinBitmapFile.h"

#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir temp;
    QImage picture(24, 6, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            picture.setPixel(x, y, qRgb(x * 10, y * 40, (x * y) % 256));
    }
    const QString bitmapFile = temp.filePath(QStringLiteral("seed.bmp"));
    WriteSkinBitmap(picture, bitmapFile);
    QFile file(bitmapFile);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    TskinFuzzInput skin;
    skin.keysNameBitmap = true;
    skin.skinText = "[pnlTop]\nStetchDraw=0\n[Labels]\nlblTrackColor=#FF8000\nlblTrackSize=12\n"
                    "lblTrackName=DejaVu Sans\nlblTrackBold=1\nlblTrackLeft=3\nlblTrackTop=4\n"
                    "lblTrackCaption=Track\n[Fonts]\nClockColor=#00ff00\nClockSize=9\n";
    skin.bitmap = file.readAll();
    const QString folder = QString::fromLocal8Bit(argv[1]);
    bool written = WriteFileAtomically(folder + QStringLiteral("/bitmap.bin"), skin.Bytes());
    skin.keysNameBitmap = false;
    skin.skinText = "[btnControls]\nSkin=skin.bmp\n[sbVolume]\nbmBackground=C:\\Skins\\skin.bmp\n";
    written = written && WriteFileAtomically(folder + QStringLiteral("/paths.bin"), skin.Bytes());
    return written ? 0 : 1;
}
