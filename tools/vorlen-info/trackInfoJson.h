#pragma once

#include <QJsonObject>
#include <QString>

class TcustomTagger;

// Every published property of a record by its name, as JSON values.
QJsonObject PublishedPropertiesJson(const TcustomTagger &record);

// What the jukebox reads from one music file, read with read-frame-headers
// on: "file", "class" (null for an unsupported extension), the published
// properties, the MPEG stream facts, or "error" when the file cannot be read.
// Never throws.
QJsonObject TrackInfoJson(const QString &fileName);
