#include "ui/forms/frmJukeboxSkin.h"

#include "core/dmMain.h"
#include "ui/controls/digitalClock2.h"
#include "ui/controls/digitalDisplay.h"
#include "ui/controls/dravoLabel.h"
#include "ui/controls/scrollBanner2.h"
#include "ui/controls/vorlenPanel.h"
#include "ui/forms/colorPanel.h"
#include "ui/forms/dialogButtons.h"
#include "ui/forms/dialogParts.h"
#include "ui/forms/frmJukebox.h"
#include "ui/forms/jukeboxLists.h"
#include "ui/forms/menuToolBar.h"
#include "ui/forms/skinFonts.h"
#include "ui/lists/jukeboxTree.h"
#include "ui/lists/recordListView.h"

#include <QColorDialog>
#include <QFontDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

constexpr int kSampleHeight = 87;

// The label groups of the window, by tag: the node's caption and the label
// whose record the group node carries.
struct TlabelGroup {
    const char *caption;
    int tag;
    const char *label;
};
constexpr TlabelGroup kLabelGroups[] = {
    { "Track Info Labels", 52, "lblTrackCaption" },
    { "Track Info Detail", 53, "lblTrack" },
    { "List Info Labels", 51, "lblQueueDetails" },
    { "List Info Detail", 50, "lblQueueCountCaption" },
    { "List Titles", 54, "lblArtistList" },
};

// The skinned panel a control sits on, if any.
const TvorlenPanel *panelUnder(const QWidget *control)
{
    for (const QWidget *w = control ? control->parentWidget() : nullptr; w; w = w->parentWidget()) {
        if (auto *panel = dynamic_cast<const TvorlenPanel *>(w))
            return panel;
    }
    return nullptr;
}

QPushButton *fontButton(const QString &caption, const char *name, QWidget *parent)
{
    QPushButton *button = DialogButton(caption, name, parent);
    button->setEnabled(false);
    return button;
}

} // namespace

bool EditsBackground(TskinElement element)
{
    switch (element) {
    case seClock:
    case seBanner:
    case seTimer:
    case seTree:
    case seListBox:
        return true;
    case seLabel:
    case seFont:
        return false;
    }
    return false;
}

TfrmJukeboxSkin::TfrmJukeboxSkin(TfrmJukebox &window, TdmMain &core, QWidget *parent)
    : QDialog(parent, kDialogFlags)
    , m_window(window)
    , m_core(core)
{
    setObjectName(QStringLiteral("frmJukeboxSkin"));
    setWindowTitle(QStringLiteral("Skins"));
    ChooseFont = [this](QFont &font) {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, font, this);
        if (ok)
            font = chosen;
        return ok;
    };
    ChooseColor = [this](QColor &color) {
        const QColor chosen = QColorDialog::getColor(color, this);
        if (chosen.isValid())
            color = chosen;
        return chosen.isValid();
    };

    m_pcSkins = new QTabWidget(this);
    m_pcSkins->setObjectName(QStringLiteral("pcSkins"));
    m_pcSkins->addTab(makeColorsPage(), QStringLiteral("Colors && Fonts"));
    m_pcSkins->addTab(makeSkinsPage(), QStringLiteral("Skins"));

    auto *apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("btnApply"));
    apply->setDefault(true);
    connect(apply, &QPushButton::clicked, this, [this] { btnApplyClick(); });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_pcSkins, 1);
    layout->addLayout(ButtonRow({ apply, MakeCancelButton(this) }));
}

TfrmJukeboxSkin::~TfrmJukeboxSkin() = default;

QWidget *TfrmJukeboxSkin::makeColorsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsColorsFonts"));

    auto *colors = new QGroupBox(QStringLiteral("Object Colors"), page);
    colors->setObjectName(QStringLiteral("gbObjectColors"));
    m_pnlButtonColor = new TcolorPanel(colors);
    m_pnlButtonColor->setObjectName(QStringLiteral("pnlButtonColor"));
    m_pnlButtonColor->setAccessibleName(QStringLiteral("Button Color"));
    m_pnlButtonColor->OnClick = [this] { colorPanelClick(m_pnlButtonColor); };
    m_pnlPanelColor = new TcolorPanel(colors);
    m_pnlPanelColor->setObjectName(QStringLiteral("pnlPanelColor"));
    m_pnlPanelColor->setAccessibleName(QStringLiteral("Panel Color"));
    m_pnlPanelColor->OnClick = [this] { colorPanelClick(m_pnlPanelColor); };
    auto *buttonLabel = new QLabel(QStringLiteral("Button Color :"), colors);
    buttonLabel->setBuddy(m_pnlButtonColor);
    auto *panelLabel = new QLabel(QStringLiteral("Panel Color :"), colors);
    panelLabel->setBuddy(m_pnlPanelColor);
    auto *colorGrid = new QGridLayout(colors);
    colorGrid->addWidget(buttonLabel, 0, 0);
    colorGrid->addWidget(m_pnlButtonColor, 0, 1);
    colorGrid->addWidget(panelLabel, 1, 0);
    colorGrid->addWidget(m_pnlPanelColor, 1, 1);
    colorGrid->setColumnStretch(2, 1);

    auto *fonts = new QGroupBox(QStringLiteral("Fonts"), page);
    fonts->setObjectName(QStringLiteral("gbFonts"));
    m_tvFonts = new QTreeWidget(fonts);
    m_tvFonts->setObjectName(QStringLiteral("tvFonts"));
    m_tvFonts->setHeaderHidden(true);
    m_tvFonts->setColumnCount(1);
    m_tvFonts->setMinimumSize(fontMetrics().averageCharWidth() * 28, fontMetrics().height() * 12);
    connect(m_tvFonts, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) { tvFontsChange(item); });

    m_btnFont = fontButton(QStringLiteral("Font"), "btnFont", fonts);
    m_btnFontColor = fontButton(QStringLiteral("Font Color"), "btnFontColor", fonts);
    m_btnBackgroundColor = fontButton(QStringLiteral("Background Color"), "btnBackgroundColor", fonts);
    connect(m_btnFont, &QPushButton::clicked, this, [this] { btnFontClick(); });
    connect(m_btnFontColor, &QPushButton::clicked, this, [this] { btnFontColorClick(); });
    connect(m_btnBackgroundColor, &QPushButton::clicked, this, [this] { btnBackgroundColorClick(); });

    // The sample text grows the panel when a large font needs more room.
    m_pnlSample = new TvorlenPanel(fonts);
    m_pnlSample->setObjectName(QStringLiteral("pnlSample"));
    m_pnlSample->SetBevelOuter(bvLowered);
    m_pnlSample->setMinimumHeight(kSampleHeight);
    m_lblSample = new QLabel(QStringLiteral("Sample Text"), m_pnlSample);
    m_lblSample->setObjectName(QStringLiteral("lblSample"));
    m_lblSample->setAlignment(Qt::AlignCenter);
    auto *sampleLayout = new QVBoxLayout(m_pnlSample);
    sampleLayout->addWidget(m_lblSample);

    auto *fontButtons = new QVBoxLayout;
    fontButtons->addWidget(m_btnFont);
    fontButtons->addWidget(m_btnFontColor);
    fontButtons->addWidget(m_btnBackgroundColor);
    fontButtons->addStretch(1);
    auto *fontRow = new QHBoxLayout;
    fontRow->addWidget(m_tvFonts, 1);
    fontRow->addLayout(fontButtons);
    auto *fontsLayout = new QVBoxLayout(fonts);
    fontsLayout->addLayout(fontRow, 1);
    fontsLayout->addWidget(m_pnlSample);

    auto *pageLayout = new QVBoxLayout(page);
    pageLayout->addWidget(colors);
    pageLayout->addWidget(fonts, 1);
    return page;
}

QWidget *TfrmJukeboxSkin::makeSkinsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("tsSkins"));
    struct SkinButton {
        const char *caption;
        const char *name;
        const char *text;
    };
    const SkinButton buttons[] = {
        { "Load Skin File", "btnLoadSkin", "Dress the jukebox in a skin file." },
        { "Export Skin File", "btnExportSkin", "Save the jukebox's look as a skin file." },
        { "Restore Default Skin", "btnRestoreDefaultSkin", "Go back to the jukebox's own look." },
    };
    auto *grid = new QGridLayout;
    int row = 0;
    for (const SkinButton &b : buttons) {
        grid->addWidget(DialogButton(QLatin1String(b.caption), b.name, page), row, 0, Qt::AlignTop);
        grid->addWidget(new QLabel(QLatin1String(b.text), page), row++, 1);
    }
    grid->setColumnStretch(1, 1);

    auto *note
        = new QLabel(QStringLiteral("Sorry, skins have not been implemented yet.  They will be implemented in the "
                                    "next version when the layout is fully finalized."),
            page);
    note->setObjectName(QStringLiteral("lblNotImplemented"));
    note->setTextFormat(Qt::PlainText);
    note->setWordWrap(true);

    auto *layout = new QVBoxLayout(page);
    layout->addLayout(grid);
    layout->addSpacing(fontMetrics().height());
    layout->addWidget(note);
    layout->addStretch(1);
    // Skin files are not handled here yet: the page shows what is to come.
    page->setEnabled(false);
    return page;
}

int TfrmJukeboxSkin::Execute()
{
    const int result = exec();
    if (result == Accepted)
        m_window.TakeSkinColors(ButtonColor(), PanelColor());
    return result;
}

QColor TfrmJukeboxSkin::ButtonColor() const
{
    return m_pnlButtonColor->Color();
}

QColor TfrmJukeboxSkin::PanelColor() const
{
    return m_pnlPanelColor->Color();
}

void TfrmJukeboxSkin::showEvent(QShowEvent *event)
{
    if (!event->spontaneous())
        openRecords();
    QDialog::showEvent(event);
}

void TfrmJukeboxSkin::done(int result)
{
    releaseRecords();
    QDialog::done(result);
}

// --- records ----------------------------------------------------------------

void TfrmJukeboxSkin::openRecords()
{
    releaseRecords();
    m_pnlButtonColor->SetColor(m_window.ButtonColor());
    m_pnlPanelColor->SetColor(m_window.PanelColor());

    TjukeboxLists &lists = m_window.Lists();
    addNode(nullptr, QStringLiteral("Clock"), controlRecord(seClock, &m_window.Clock()));
    addNode(nullptr, QStringLiteral("Menu"), fontRecord(sfMenuFont));
    addNode(nullptr, QStringLiteral("Queue List"), controlRecord(seListBox, &lists.QueueView()));
    addNode(nullptr, QStringLiteral("Song List"), controlRecord(seListBox, &lists.SongView()));
    addNode(nullptr, QStringLiteral("Song Title"), controlRecord(seBanner, &m_window.Banner()));
    addNode(nullptr, QStringLiteral("Timer"), controlRecord(seTimer, &m_window.Timer()));
    QTreeWidgetItem *tree = addNode(nullptr, QStringLiteral("Tree View"), controlRecord(seTree, &lists.Tree()));
    addNode(tree, QStringLiteral("Main Font"), fontRecord(sfTreeFont));
    addNode(tree, QStringLiteral("Detail Font"), fontRecord(sfTreeDetailFont));
    for (const TlabelGroup &group : kLabelGroups) {
        TdravoLabel *lead = m_window.FindLabel(QLatin1String(group.label));
        if (!lead)
            continue;
        QTreeWidgetItem *node = addNode(nullptr, QLatin1String(group.caption), controlRecord(seLabel, lead));
        for (TdravoLabel *label : m_window.Labels()) {
            if (label->Tag() == group.tag)
                addNode(node, label->objectName(), controlRecord(seLabel, label));
        }
    }
    tvFontsChange(nullptr);
}

void TfrmJukeboxSkin::releaseRecords()
{
    // Emptying the tree clears the current node (and with it the record).
    m_tvFonts->clear();
    m_current = nullptr;
    m_records.clear();
}

QTreeWidgetItem *TfrmJukeboxSkin::addNode(QTreeWidgetItem *parent, const QString &caption, const TskinRec &record)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(m_tvFonts);
    item->setText(0, caption);
    item->setData(0, Qt::UserRole, int(m_records.size()));
    m_records.push_back(record);
    return item;
}

TskinRec *TfrmJukeboxSkin::recordOf(QTreeWidgetItem *item)
{
    if (!item)
        return nullptr;
    bool ok = false;
    const int index = item->data(0, Qt::UserRole).toInt(&ok);
    return ok && index >= 0 && size_t(index) < m_records.size() ? &m_records[size_t(index)] : nullptr;
}

TskinRec TfrmJukeboxSkin::controlRecord(TskinElement element, QWidget *control) const
{
    TskinRec record;
    record.element = element;
    record.control = control;
    switch (element) {
    case seLabel:
        record.font = ControlSkinFont(*control);
        break;
    case seClock:
        record.font = ControlSkinFont(*control);
        record.background = m_window.Clock().BackgroundColor();
        break;
    case seBanner:
        record.font = ControlSkinFont(*control);
        record.background = m_window.Banner().Color_Background();
        break;
    case seTimer:
        record.font = ControlSkinFont(*control);
        record.background = m_window.Timer().BackColor();
        break;
    case seTree:
        // The tree draws its nodes in the core's tree font.
        record.font = SkinFontOfTreeFont(m_core.TreeFontLarge());
        record.background = m_window.Lists().Tree().Color();
        break;
    case seListBox: {
        const auto &list = dynamic_cast<const TrecordListView &>(*control);
        record.font = ListSkinFont(list);
        record.background = list.Color();
        break;
    }
    case seFont:
        break;
    }
    return record;
}

TskinRec TfrmJukeboxSkin::fontRecord(TskinFontObject object) const
{
    TskinRec record;
    record.element = seFont;
    record.fontObject = object;
    switch (object) {
    case sfTreeFont:
        record.font = SkinFontOfTreeFont(m_core.TreeFontLarge());
        record.background = m_window.Lists().Tree().Color();
        break;
    case sfTreeDetailFont:
        record.font = SkinFontOfTreeFont(m_core.TreeFont());
        record.background = m_window.Lists().Tree().Color();
        break;
    case sfMenuFont:
        record.font = TskinFont { m_window.MenuBar().MenuFont(), m_window.MenuBar().MenuFontColor() };
        record.background = m_window.MenuBar().Color();
        break;
    case sfNone:
        break;
    }
    return record;
}

void TfrmJukeboxSkin::writeRecord(const TskinRec &record)
{
    switch (record.element) {
    case seLabel:
        SetControlSkinFont(*record.control, record.font);
        break;
    case seClock:
        SetControlSkinFont(m_window.Clock(), record.font);
        m_window.Clock().SetBackgroundColor(record.background);
        break;
    case seBanner:
        SetControlSkinFont(m_window.Banner(), record.font);
        m_window.Banner().SetColor_Background(record.background);
        break;
    case seTimer:
        SetControlSkinFont(m_window.Timer(), record.font);
        m_window.Timer().SetBackColor(record.background);
        break;
    case seTree:
        // Its fonts are the core's two tree fonts, which the two nodes under
        // it write after it (a font chosen here went to them too).
        m_window.Lists().Tree().SetColor(record.background);
        break;
    case seListBox: {
        auto &list = dynamic_cast<TrecordListView &>(*record.control);
        SetListSkinFont(list, record.font);
        list.SetColor(record.background);
        break;
    }
    case seFont:
        switch (record.fontObject) {
        case sfTreeFont:
            m_core.SetTreeFontLarge(TreeFontOfSkinFont(record.font));
            break;
        case sfTreeDetailFont:
            m_core.SetTreeFont(TreeFontOfSkinFont(record.font));
            break;
        case sfMenuFont:
            m_window.SetMenuFont(record.font);
            break;
        case sfNone:
            break;
        }
        break;
    }
}

// --- choosing and editing ---------------------------------------------------

void TfrmJukeboxSkin::tvFontsChange(QTreeWidgetItem *item)
{
    m_current = recordOf(item);
    m_btnFont->setEnabled(m_current);
    m_btnFontColor->setEnabled(m_current);
    m_btnBackgroundColor->setEnabled(m_current && EditsBackground(m_current->element));
    showSample();
}

void TfrmJukeboxSkin::showSample()
{
    if (!m_current) {
        m_pnlSample->SetIsSkinned(false);
        m_pnlSample->SetPanelColor(m_window.PanelColor());
        m_lblSample->setFont(font());
        m_lblSample->setPalette(palette());
        return;
    }
    const TvorlenPanel *under = m_current->element == seLabel ? panelUnder(m_current->control) : nullptr;
    if (under) {
        // A label is seen on its panel's skin.
        m_pnlSample->SetIsSkinned(false);
        for (int piece = 0; piece < kPanelPieceCount; ++piece)
            m_pnlSample->SetPiece(TpanelPiece(piece), under->Piece(TpanelPiece(piece)));
        m_pnlSample->SetStretchDraw(under->StretchDraw());
        m_pnlSample->SetPanelColor(under->PanelColor());
        m_pnlSample->SetIsSkinned(under->IsSkinned());
    } else {
        m_pnlSample->SetIsSkinned(false);
        m_pnlSample->SetPanelColor(m_current->background);
    }
    m_lblSample->setFont(m_current->font.font);
    QPalette colors = m_lblSample->palette();
    colors.setColor(QPalette::WindowText, m_current->font.color);
    m_lblSample->setPalette(colors);
}

void TfrmJukeboxSkin::changeBranch(const std::function<void(TskinRec &)> &change)
{
    const std::function<void(QTreeWidgetItem *)> visit = [&](QTreeWidgetItem *item) {
        if (TskinRec *record = recordOf(item))
            change(*record);
        for (int i = 0; i < item->childCount(); ++i)
            visit(item->child(i));
    };
    if (QTreeWidgetItem *item = m_tvFonts->currentItem())
        visit(item);
    showSample();
}

void TfrmJukeboxSkin::btnFontClick()
{
    if (!m_current)
        return;
    QFont font = m_current->font.font;
    if (ChooseFont(font))
        changeBranch([&font](TskinRec &record) { record.font.font = font; });
}

void TfrmJukeboxSkin::btnFontColorClick()
{
    if (!m_current)
        return;
    QColor color = m_current->font.color;
    if (ChooseColor(color))
        changeBranch([&color](TskinRec &record) { record.font.color = color; });
}

void TfrmJukeboxSkin::btnBackgroundColorClick()
{
    if (!m_current || !EditsBackground(m_current->element))
        return;
    QColor color = m_current->background;
    if (ChooseColor(color))
        changeBranch([&color](TskinRec &record) { record.background = color; });
}

void TfrmJukeboxSkin::colorPanelClick(TcolorPanel *panel)
{
    QColor color = panel->Color();
    if (ChooseColor(color))
        panel->SetColor(color);
}

void TfrmJukeboxSkin::btnApplyClick()
{
    for (const TskinRec &record : m_records)
        writeRecord(record);
    accept();
}
