#include "trackListVerbs.h"

#include "trackInfoJson.h"

#include "library/taggerList.h"
#include "library/trackListFile.h"

#include <QFile>
#include <QJsonDocument>

QJsonObject StoredRecordJson(const TcustomTagger &record)
{
    QJsonObject properties = PublishedPropertiesJson(record);
    for (const TaggerProperty &p : record.Properties()) {
        const QString name = QString::fromLatin1(p.name);
        const bool absent = (p.stored == TaggerStoredRule::WhenNonEmpty && p.kind == TaggerPropertyKind::String &&
                             p.getString(record).isEmpty()) ||
                            (p.stored == TaggerStoredRule::WhenNonZero && p.kind == TaggerPropertyKind::Integer &&
                             p.getInteger(record) == 0) ||
                            (p.stored == TaggerStoredRule::WhenNonZero && p.kind == TaggerPropertyKind::Float &&
                             p.getFloat(record) == 0);
        if (absent)
            properties.remove(name);
    }
    QJsonObject object{{QStringLiteral("class"), QString::fromLatin1(record.ClassName())}};
    for (auto it = properties.constBegin(); it != properties.constEnd(); ++it)
        object.insert(it.key(), it.value());
    return object;
}

int ListTrackListFile(const QString &fileName, QIODevice &out, QIODevice &err)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly)) {
        err.write(QStringLiteral("vorlen-info: cannot read %1: %2\n").arg(fileName, file.errorString()).toUtf8());
        return 1;
    }
    TtrackListReader reader(file.readAll());
    while (std::unique_ptr<TcustomTagger> record = reader.Next()) {
        out.write(QJsonDocument(StoredRecordJson(*record)).toJson(QJsonDocument::Compact));
        out.write("\n");
    }
    if (reader.Skipped() > 0)
        err.write(QStringLiteral("vorlen-info: skipped %1 damaged record(s)\n").arg(reader.Skipped()).toUtf8());
    return 0;
}

int SaveTrackListFile(const QString &outFile, const QStringList &musicFiles, QIODevice &err)
{
    TtaggerList list;
    list.SetKeepUntagged(true);
    list.SetReadFrameHeaders(true);
    for (const QString &name : musicFiles) {
        if (!list.AddFile(name))
            err.write(QStringLiteral("vorlen-info: no record for %1\n").arg(name).toUtf8());
    }
    if (!list.SaveListFile(outFile)) {
        err.write(QStringLiteral("vorlen-info: cannot write %1\n").arg(outFile).toUtf8());
        return 1;
    }
    return 0;
}
