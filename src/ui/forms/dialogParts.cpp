#include "ui/forms/dialogParts.h"

#include "core/playlistEditor.h"
#include "library/stringList.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

QPushButton *DialogButton(const QString &caption, const char *name, QWidget *parent, const QString &hint)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1StringView(name));
    button->setToolTip(hint);
    button->setAutoDefault(false);
    return button;
}

QFont DesignFont(int pixels, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}

void ShowLines(QListWidget &list, const TstringList &lines)
{
    list.clear();
    QStringList texts;
    texts.reserve(lines.Count());
    for (const TstringList::Line &line : lines.Lines())
        texts << line.text;
    list.addItems(texts);
}

TplaylistStatusBar::TplaylistStatusBar(QWidget *parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    const char *names[] = {"stCount", "stPlayTime", "stArtistCount"};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QLatin1StringView(names[i]));
        addWidget(m_panels[i], 1);
    }
}

void TplaylistStatusBar::ShowPlaylist(const TtaggerList &playlist)
{
    const QStringList texts = PlaylistStatusTexts(playlist);
    for (int i = 0; i < 3; ++i)
        m_panels[i]->setText(texts.value(i));
}
