#include "metadata/customTagger.h"
#include "metadata/flacTagger.h"
#include "metadata/id3Tagger.h"
#include "metadata/oggTagger.h"
#include "metadata/opusTagger.h"
#include "metadata/wmaTagger.h"

std::unique_ptr<TcustomTagger> CreateTaggerForFile(const QString &fileName)
{
    const auto hasExtension
        = [&](QLatin1StringView extension) { return fileName.endsWith(extension, Qt::CaseInsensitive); };
    if (hasExtension(QLatin1StringView(".mp3")) || hasExtension(QLatin1StringView(".mp2")))
        return std::make_unique<Tid3Tagger>();
    if (hasExtension(QLatin1StringView(".ogg")))
        return std::make_unique<ToggTagger>();
    if (hasExtension(QLatin1StringView(".wma")))
        return std::make_unique<TwmaTagger>();
    if (hasExtension(QLatin1StringView(".flac")))
        return std::make_unique<TflacTagger>();
    if (hasExtension(QLatin1StringView(".opus")))
        return std::make_unique<TopusTagger>();
    return nullptr;
}

std::unique_ptr<TcustomTagger> CreateTaggerByClassName(QStringView className)
{
    if (className == QLatin1StringView("TcustomTagger"))
        return std::make_unique<TcustomTagger>();
    if (className == QLatin1StringView("Tid3Tagger"))
        return std::make_unique<Tid3Tagger>();
    if (className == QLatin1StringView("ToggTagger"))
        return std::make_unique<ToggTagger>();
    if (className == QLatin1StringView("TwmaTagger"))
        return std::make_unique<TwmaTagger>();
    if (className == QLatin1StringView("TflacTagger"))
        return std::make_unique<TflacTagger>();
    if (className == QLatin1StringView("TopusTagger"))
        return std::make_unique<TopusTagger>();
    return nullptr;
}
