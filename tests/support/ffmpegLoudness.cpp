#include "ffmpegLoudness.h"

#include "childProcess.h"

#include <QRegularExpression>

std::optional<FfmpegLoudness> MeasureWithFfmpeg(const QString &path, bool dualMono)
{
    QByteArray output;
    if (!RunChild(QStringLiteral("ffmpeg"),
                  {QStringLiteral("-hide_banner"), QStringLiteral("-nostats"), QStringLiteral("-i"), path,
                   QStringLiteral("-af"),
                   QStringLiteral("ebur128=peak=true:dualmono=%1")
                       .arg(dualMono ? QLatin1String("true") : QLatin1String("false")),
                   QStringLiteral("-f"), QStringLiteral("null"), QStringLiteral("-")},
                  {}, &output, 120000))
        return std::nullopt;
    const QString text = QString::fromUtf8(output);
    const QRegularExpressionMatch loudness
        = QRegularExpression(QStringLiteral("Integrated loudness:\\s*I:\\s*(-?[\\d.]+) LUFS")).match(text);
    const QRegularExpressionMatch peak
        = QRegularExpression(QStringLiteral("True peak:\\s*Peak:\\s*(-?[\\d.]+|-inf) dBFS")).match(text);
    if (!loudness.hasMatch() || !peak.hasMatch())
        return std::nullopt;
    return FfmpegLoudness{loudness.captured(1).toDouble(), peak.captured(1).toDouble()};
}
