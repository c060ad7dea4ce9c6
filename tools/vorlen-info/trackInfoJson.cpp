#include "trackInfoJson.h"

#include "metadata/customTagger.h"
#include "metadata/id3Tagger.h"

#include "platform/vorlenError.h"

#include <QFileInfo>
#include <QJsonValue>

QJsonObject PublishedPropertiesJson(const TcustomTagger &record)
{
    QJsonObject object;
    for (const TaggerProperty &p : record.Properties()) {
        const QString name = QString::fromLatin1(p.name);
        switch (p.kind) {
        case TaggerPropertyKind::Integer:
            object.insert(name, double(p.getInteger(record)));
            break;
        case TaggerPropertyKind::Float:
            object.insert(name, p.getFloat(record));
            break;
        case TaggerPropertyKind::String:
            object.insert(name, p.getString(record));
            break;
        case TaggerPropertyKind::Boolean:
            object.insert(name, p.getBoolean(record));
            break;
        case TaggerPropertyKind::Enumeration: {
            const qint64 ordinal = p.getInteger(record);
            object.insert(name, ordinal >= 0 && ordinal < qint64(p.enumNames.size())
                                    ? QJsonValue(QString::fromLatin1(p.enumNames[size_t(ordinal)]))
                                    : QJsonValue(double(ordinal)));
            break;
        }
        }
    }
    return object;
}

QJsonObject TrackInfoJson(const QString &fileName)
{
    QJsonObject object;
    object.insert(QStringLiteral("file"), fileName);
    std::unique_ptr<TcustomTagger> record = CreateTaggerForFile(fileName);
    if (!record) {
        object.insert(QStringLiteral("class"), QJsonValue::Null);
        return object;
    }
    object.insert(QStringLiteral("class"), QString::fromLatin1(record->ClassName()));
    const QFileInfo info(fileName);
    if (!info.exists()) {
        object.insert(QStringLiteral("error"), QStringLiteral("File not found"));
        return object;
    }
    if (!info.isFile() || !info.isReadable()) {
        object.insert(QStringLiteral("error"), QStringLiteral("File cannot be read"));
        return object;
    }
    try {
        record->LoadFromFile(fileName);
        record->SetReadFrameHeaders(true);
    } catch (const VorlenError &error) {
        object.insert(QStringLiteral("error"), error.message());
        return object;
    } catch (const std::exception &error) {
        object.insert(QStringLiteral("error"), QString::fromLocal8Bit(error.what()));
        return object;
    }
    const QJsonObject properties = PublishedPropertiesJson(*record);
    for (auto it = properties.begin(); it != properties.end(); ++it)
        object.insert(it.key(), it.value());
    if (const auto *mpeg = dynamic_cast<const Tid3Tagger *>(record.get())) {
        object.insert(QStringLiteral("IsVBR"), mpeg->IsVBR());
        object.insert(QStringLiteral("MpegVersionText"), mpeg->MpegVersionText());
        object.insert(QStringLiteral("MpegLayer"), mpeg->MpegLayer());
        object.insert(QStringLiteral("TagKind"), int(mpeg->TagKind()));
    }
    return object;
}
