#include "manualPage.h"

#include "ui/controls/captionText.h"
#include "ui/forms/jukeboxActions.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>

namespace {

const QString kDescriptionsStart = QStringLiteral("<!-- command descriptions");
const QString kDescriptionsEnd = QStringLiteral("-->");
const QString kKeysMarker = QStringLiteral("<!-- keys -->");
const QString kOthersMarker = QStringLiteral("<!-- commands without keys -->");

// The descriptions block's "name: text" lines by command name; the block is
// cut out of source.
QHash<QString, QString> takeDescriptions(QString &source, QStringList &errors)
{
    QHash<QString, QString> descriptions;
    const qsizetype start = source.indexOf(kDescriptionsStart);
    if (start < 0) {
        errors << QStringLiteral("the source has no \"%1\" block").arg(kDescriptionsStart);
        return descriptions;
    }
    const qsizetype end = source.indexOf(kDescriptionsEnd, start + kDescriptionsStart.size());
    if (end < 0) {
        errors << QStringLiteral("the command descriptions block is not closed");
        return descriptions;
    }
    const QString block = source.mid(start + kDescriptionsStart.size(), end - start - kDescriptionsStart.size());
    source.remove(start, end + kDescriptionsEnd.size() - start);

    static const QRegularExpression entry(QStringLiteral("^(actn\\w+)\\s*:\\s*(.*)$"));
    QString current;
    for (const QString &line : block.split(QLatin1Char('\n'))) {
        if (line.trimmed().isEmpty())
            continue;
        if (line.front().isSpace() && !current.isEmpty()) {
            descriptions[current] += QLatin1Char(' ') + line.trimmed();
            continue;
        }
        const QRegularExpressionMatch match = entry.match(line.trimmed());
        if (!match.hasMatch()) {
            errors << QStringLiteral("not a command description: \"%1\"").arg(line.trimmed());
            continue;
        }
        current = match.captured(1);
        if (descriptions.contains(current))
            errors << QStringLiteral("%1 is described twice").arg(current);
        descriptions[current] = match.captured(2);
    }
    return descriptions;
}

QString captionOf(const TjukeboxActionSpec &action)
{
    return CaptionDisplayText(QString::fromLatin1(action.caption)).toHtmlEscaped();
}

QString keysTable(const QHash<QString, QString> &descriptions)
{
    QString html = QStringLiteral("<table class=\"keys\">\n"
                                  "<thead><tr><th>Key</th><th>xdotool</th><th>Command</th><th>What it does</th></tr>"
                                  "</thead>\n<tbody>\n");
    for (const TjukeboxActionSpec &action : JukeboxActions()) {
        const QStringList keys = CommandKeys(action.key);
        if (keys.isEmpty())
            continue;
        QStringList shown;
        QStringList xdotool;
        for (const QString &key : keys) {
            shown << QStringLiteral("<kbd>%1</kbd>").arg(key.toHtmlEscaped());
            xdotool << QStringLiteral("<code>%1</code>").arg(XdotoolKey(key).toHtmlEscaped());
        }
        const QString name = QString::fromLatin1(action.name);
        html += QStringLiteral("<tr id=\"%1\"><td>%2</td><td>%3</td><td>%4</td><td>%5</td></tr>\n")
                    .arg(name, shown.join(QStringLiteral(" or ")), xdotool.join(QStringLiteral(" or ")),
                        captionOf(action), descriptions.value(name));
    }
    return html + QStringLiteral("</tbody>\n</table>");
}

QString othersTable(const QHash<QString, QString> &descriptions)
{
    QString html = QStringLiteral("<table class=\"commands\">\n"
                                  "<thead><tr><th>Command</th><th>What it does</th></tr></thead>\n<tbody>\n");
    for (const TjukeboxActionSpec &action : JukeboxActions()) {
        if (!CommandKeys(action.key).isEmpty())
            continue;
        const QString name = QString::fromLatin1(action.name);
        html += QStringLiteral("<tr id=\"%1\"><td>%2</td><td>%3</td></tr>\n")
                    .arg(name, captionOf(action), descriptions.value(name));
    }
    return html + QStringLiteral("</tbody>\n</table>");
}

} // namespace

QStringList CommandKeys(const char *key)
{
    QStringList keys;
    for (const QString &part : QString::fromLatin1(key).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        if (!part.trimmed().isEmpty())
            keys << part.trimmed();
    }
    return keys;
}

QString XdotoolKey(const QString &key)
{
    QStringList parts = key.split(QLatin1Char('+'));
    for (QString &part : parts) {
        // Modifiers and letters in lower case; F1 ... F12 keep their names.
        static const QRegularExpression functionKey(QStringLiteral("^F\\d+$"));
        if (!functionKey.match(part).hasMatch())
            part = part.toLower();
    }
    return parts.join(QLatin1Char('+'));
}

TmanualPage BuildManualPage(const QString &source)
{
    TmanualPage page;
    page.html = source;
    const QHash<QString, QString> descriptions = takeDescriptions(page.html, page.errors);

    QSet<QString> known;
    for (const TjukeboxActionSpec &action : JukeboxActions()) {
        const QString name = QString::fromLatin1(action.name);
        known.insert(name);
        if (descriptions.value(name).trimmed().isEmpty())
            page.errors
                << QStringLiteral("%1 (\"%2\") is not described").arg(name, QString::fromLatin1(action.caption));
    }
    for (auto it = descriptions.cbegin(); it != descriptions.cend(); ++it) {
        if (!known.contains(it.key()))
            page.errors << QStringLiteral("%1 is described but the window has no such command").arg(it.key());
    }

    for (const auto &[marker, table] : { std::pair { kKeysMarker, keysTable(descriptions) },
             std::pair { kOthersMarker, othersTable(descriptions) } }) {
        const qsizetype at = page.html.indexOf(marker);
        if (at < 0 || page.html.indexOf(marker, at + 1) >= 0) {
            page.errors << QStringLiteral("the source needs the marker %1 exactly once").arg(marker);
            continue;
        }
        page.html.replace(at, marker.size(), table);
    }
    return page;
}
