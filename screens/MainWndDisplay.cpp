// The operator view's display operations: the values of the match on the operator screen, and the calls
// that pass them on to the public scoreboard.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MyListCtrl.h"
#include "app/PngResource.h"
#include "app/TextConvert.h"
#include "controls/IconButton.h"
#include "controls/MyStatic.h"
#include "controls/OutlineText.h"
#include "controls/PanelStatic.h"
#include "resources/Artwork.h"
#include "resources/ArtworkIds.h"
#include "screens/ExtScrDlg.h"
#include "screens/FittedText.h"
#include "screens/OperatorImages.h"
#include "screens/OperatorLayout.h"
#include "screens/OutlinedDigitsWarmup.h"
#include "screens/OutlinedTextCache.h"
#include "screens/RoundLeader.h"
#include "screens/ScreenText.h"

#include <QFont>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cstring>
#include <unordered_map>

using namespace OperatorIds;

namespace {

QString Q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QString Number(int value) {
    return QString::number(value);
}

template <std::size_t N> QString FieldQ(const char (&field)[N]) {
    const std::string_view text = FieldText(field);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::u16string WideField(const WCHAR (&field)[260]) {
    const auto end = std::find(std::begin(field), std::end(field), u'\0');
    return std::u16string(std::begin(field), end);
}

COLORREF Ref(const QColor& c) {
    return RGB(c.red(), c.green(), c.blue());
}

// The colours of a static: the owner-drawn label takes them as its own, anything else by its palette.
void SetColours(QWidget* widget, const QColor& text, const QColor& back) {
    if (auto* label = qobject_cast<CMyStatic*>(widget)) {
        label->m_crText = Ref(text);
        label->m_crTextBk = Ref(back);
        label->m_crFill = Ref(back);
        label->update();
        return;
    }
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, back);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

int QuotaInForce(const MatchData& md) {
    return md.nCompetitionType == 1 ? md.nTeamVRQuota : md.nVRQuota;
}

const QColor kPanelDark = QColor::fromRgba(ArtworkColours::Panel);
const QColor kCaption(170, 178, 192);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kHover = RGB(238, 245, 255); // under the pointer

// The fonts of the screen: height in pixels and weight, font 1 to 18. Font 18 is the round breakdown's.
struct FontSpec {
    int height;
    bool bold;
};
constexpr FontSpec kFonts[18] = {
    {25, false}, {43, false}, {45, true},  {79, true},  {60, true}, {140, true},
    {100, true}, {25, true},  {22, true},  {46, true},  {46, true}, {56, true},
    {50, true},  {26, true},  {16, false}, {29, false}, {13, true}, {16, true},
};
// The face the screens name; the program draws it with the metric twin of Helvetica, Liberation Sans.
const QString kFace = QStringLiteral("HelveticaNeueLTPro-Bd");

// Which font each kind of static takes, by id (font number 1..18), for the statics whose font is not the
// breakdown's.
struct FontUse {
    int id;
    int font;
};
constexpr FontUse kFontUses[] = {
    {OperatorIds::ScoreChung, 7},
    {OperatorIds::ScoreHong, 7},
    {OperatorIds::Clock, 5},
    {OperatorIds::TimeoutPanel, 14},
    {OperatorIds::SecondPanel, 13},
    {OperatorIds::NameChung, 10},
    {OperatorIds::NameHong, 10},
    {OperatorIds::NationChung, 9},
    {OperatorIds::NationHong, 9},
    {OperatorIds::PenaltyChung, 13},
    {OperatorIds::PenaltyHong, 13},
    {OperatorIds::PenaltyTotalChung, 14},
    {OperatorIds::PenaltyTotalHong, 14},
    {OperatorIds::RoundWinsChung, 7},
    {OperatorIds::RoundWinsHong, 7},
    {OperatorIds::HitCountLabelChung, 15},
    {OperatorIds::HitCountLabelHong, 15},
    {OperatorIds::HitCountChung, 14},
    {OperatorIds::HitCountHong, 14},
    {OperatorIds::TagTextChung, 9},
    {OperatorIds::TagTextHong, 9},
};

// Every paint part: white text on a transparent background, in the given font, restored afterwards.
class PaintScope {
public:
    PaintScope(QPainter& painter, const QFont& font) : m_painter(painter) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter.setBackgroundMode(Qt::TransparentMode);
        m_painter.setPen(Qt::white);
        m_painter.setFont(font);
    }
    ~PaintScope() { m_painter.restore(); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

private:
    QPainter& m_painter;
};

// A picture in the format the screen is painted in. Drawn as decoded (32-bit ARGB, not premultiplied), it
// was converted again at every paint, and a part of more than 96 lines was handed to Qt's painting threads
// and waited for: 75 us for a strip of the background quiet, milliseconds on a busy machine.
QImage Paintable(const QImage& image) {
    if (image.isNull())
        return image;
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

QImage Png(int id) {
    const std::unique_ptr<QImage> image = LoadPngResource(id);
    return image ? Paintable(*image) : QImage();
}

void DrawPicture(QPainter& painter, const QRect& rect, const QImage& image) {
    if (!image.isNull())
        painter.drawImage(rect, image);
}

// A number over a picture, white (or another colour) with a dark outline so it reads on any colour. Turning
// the glyphs into paths and stroking them took a repaint of the last hits a third of a millisecond, so each
// number is drawn once into a picture, kept as the scoreboard keeps its outlined texts.
COutlinedTextCache& OutlinedNumbers() {
    static COutlinedTextCache numbers; // painted on the UI thread only
    return numbers;
}

COutlinedTextCache::Style OutlinedNumberStyle(const QString& text, int size, TextOutline::Argb colour) {
    COutlinedTextCache::Style style;
    style.text = text;
    style.size = size;
    style.fill = colour;
    style.outline = 0xFF101010;
    style.thickness = 3;
    return style;
}

// The size of the last hits' levels, which every hit changes.
constexpr int kLastHitSize = 20;
// Every size the view's outlined numbers take: the last hits, the warning, the batteries, the replay counts
// and the judges' counts.
constexpr int kOutlinedSizes[] = {kLastHitSize, 15, 22, 24};

void OutlinedNumber(QPainter& painter, const QRect& rect, const QString& text, int size,
                    TextOutline::Argb colour = 0xFFFFFFFF) {
    // The line height of each size, measured once: measuring took a repaint of the last hits 18 us.
    static std::unordered_map<int, int> heights;
    auto height = heights.find(size);
    if (height == heights.end()) {
        QFont font(kFace);
        font.setPixelSize(size);
        font.setBold(true);
        height = heights.emplace(size, QFontMetrics(font).height()).first;
    }
    const int top = rect.top() + (rect.height() - height->second) / 2;
    OutlinedNumbers().Draw(painter, OutlinedNumberStyle(text, size, colour),
                           QPointF(rect.center().x() + 1, top));
}

// A static of the screen at its place. Its size is fixed (minimum and maximum alike), so a new text does
// not ask the view to lay its children out again: the screen has no layout, and each text change posted
// that request.
void Place(QWidget* control, const QRect& rect) {
    if (qobject_cast<CMyStatic*>(control)) {
        control->setFixedSize(rect.size());
    }
    control->setGeometry(rect);
}

// A name or nation panel shows its text whole, in a smaller font where it must, down to a floor the operator
// still reads, and elided beyond: never cut at the panel's edges, so never under the other side's.
void ShowFitted(QLabel* label, const QString& text, const QFont& font, int floorPixels) {
    const auto* own = qobject_cast<CMyStatic*>(label);
    const int flags = own ? DrawFormat::ToQt(own->m_nFormat) : int(Qt::AlignCenter | Qt::TextSingleLine);
    const FittedText fitted = FitTextInBox(text, font, label->size(), flags, floorPixels, 2);
    label->setFont(fitted.font);
    label->setText(fitted.text);
}

} // namespace

std::shared_ptr<CMainWnd::PaintImages> CMainWnd::PaintImages::Load() {
    auto images = std::make_shared<PaintImages>();
    if (auto background = LoadBitmapResource(504))
        images->background = Paintable(*background);
    for (int kind = 1; kind <= 10; ++kind)
        images->mark[kind] = Png(451 + kind);
    images->slotWaiting = Png(444);
    images->hit[1][1] = Png(440);
    images->hit[1][0] = Png(441);
    images->hit[2][1] = Png(442);
    images->hit[2][0] = Png(443);
    images->hit[3][1] = Png(1037);
    images->hit[3][0] = Png(1038);
    images->replayCard = Png(ArtworkIds::ReplayQuota);
    images->receiver[0] = Png(ArtworkIds::ReceiverClosed);
    images->receiver[1] = Png(ArtworkIds::ReceiverOpen);
    images->judgeWired = Png(ArtworkIds::JudgeWired);
    images->judgeWireless = Png(ArtworkIds::JudgeWireless);
    images->trunk[0] = Png(ArtworkIds::TrunkChung);
    images->trunk[1] = Png(ArtworkIds::TrunkHong);
    images->trunk[2] = Png(ArtworkIds::TrunkNone);
    images->head[0] = Png(ArtworkIds::HeadChung);
    images->head[1] = Png(ArtworkIds::HeadHong);
    images->head[2] = Png(ArtworkIds::HeadNone);
    images->punch = Png(ArtworkIds::PunchLevel);
    return images;
}

void CMainWnd::SetupControls() {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    if (!m_pImages) {
        m_pImages = PaintImages::Load();
        // The last hits' digits, prepared before the first hits show them (the view owns the warm-up).
        new COutlinedDigitsWarmup(OutlinedNumbers(), {OutlinedNumberStyle({}, kLastHitSize, 0xFFFFFFFF)},
                                  this);
    }
    // The view paints all it repaints (PaintBackground): Qt need not fill it with the window colour first,
    // which cost every hit a tenth of a millisecond.
    setAttribute(Qt::WA_OpaquePaintEvent);
    if (m_fonts.empty()) {
        QFont::insertSubstitution(kFace, QStringLiteral("Liberation Sans"));
        for (const FontSpec& spec : kFonts) {
            QFont font(kFace);
            font.setPixelSize(spec.height);
            font.setBold(spec.bold);
            m_fonts.push_back(font);
        }
    }
    QFont listFont(QStringLiteral("Arial"));
    listFont.setPixelSize(15);
    listFont.setBold(true);

    for (const ControlPlace& place : OperatorLayout::Controls()) {
        QWidget* control = nullptr;
        const QString text = QString::fromUtf8(place.text);
        const QString tip = place.tip ? QString::fromUtf8(place.tip) : QString();
        switch (place.kind) {
        case ControlKind::Area:
            continue;
        case ControlKind::List: {
            CMyListCtrl* list = EventList(place.id);
            list->setFont(listFont);
            list->setSelectionBehavior(QAbstractItemView::SelectRows);
            list->setShowGrid(true);
            list->setColumnCount(5);
            list->setHorizontalHeaderLabels({QStringLiteral("SEQ"), QStringLiteral("ROUND"),
                                             QStringLiteral("POINT"), QStringLiteral("DETAIL"),
                                             QStringLiteral("TIME")});
            int widths[] = {35, 75, 75, 195, 115};
            // The time column takes what the others leave, at most its width beside the scroll bar, so the
            // columns fill the list whether or not the scroll bar shows and there is nothing to scroll
            // sideways: no horizontal scroll bar comes with the rows (it hid a row and, repainted after
            // every event, cost the UI thread 0.4 ms).
            const int besideBar =
                place.rect.width() - 2 * list->frameWidth() -
                list->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, list->verticalScrollBar()) -
                (widths[0] + widths[1] + widths[2] + widths[3]);
            widths[4] = std::clamp(besideBar, 1, widths[4]);
            for (int column = 0; column < 5; ++column) {
                list->setColumnWidth(column, widths[column]);
                list->horizontalHeaderItem(column)->setTextAlignment(Qt::AlignCenter);
            }
            list->horizontalHeader()->setStretchLastSection(true);
            list->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            list->verticalHeader()->hide();
            list->verticalHeader()->setDefaultSectionSize(18);
            list->horizontalHeader()->setFixedHeight(20);
            control = list;
            break;
        }
        case ControlKind::Mark: {
            CPanelStatic* mark = Mark(place.id);
            mark->SetBitmapFromResource(place.image);
            control = mark;
            break;
        }
        case ControlKind::Button:
        case ControlKind::CheckButton:
        case ControlKind::BitmapButton:
        case ControlKind::IconButton:
        case ControlKind::ToggleButton: {
            QPushButton* button = Button(place.id);
            button->setText(text);
            auto* owner = qobject_cast<CIconButton*>(button);
            if (owner) {
                owner->m_bDrawBorder = false;
                owner->m_crColors[CIconButton::BkIn] = kHover;
                owner->m_crColors[CIconButton::BkOut] = kWhite;
                owner->m_crColors[CIconButton::BkFocus] = kWhite;
                owner->m_crColors[CIconButton::FgIn] = RGB(0, 0, 0);
                owner->m_crColors[CIconButton::FgOut] = RGB(0, 0, 0);
                owner->m_crColors[CIconButton::FgFocus] = RGB(0, 0, 0);
                if (auto* outlined = qobject_cast<CFlatButton*>(owner))
                    outlined->m_bRounded = true;
                if (place.kind == ControlKind::BitmapButton)
                    owner->SetBitmapsFromResource(place.image, kWhite);
                if (place.kind == ControlKind::IconButton || place.kind == ControlKind::ToggleButton) {
                    const auto in = LoadIconResource(place.image);
                    const auto out = LoadIconResource(place.image2);
                    owner->SetIcon(in ? *in : QImage(),
                                   out ? CIconButton::OutImage::Given : CIconButton::OutImage::None,
                                   out ? *out : QImage());
                }
                if (!tip.isEmpty())
                    owner->SetTooltipText(tip);
            }
            if (place.kind == ControlKind::CheckButton || place.kind == ControlKind::ToggleButton)
                button->setCheckable(true);
            QFont font = m_fonts[14 - 1];
            font.setPixelSize(place.rect.height() <= 26 ? 13 : 15);
            button->setFont(font);
            control = button;
            break;
        }
        default: {
            QLabel* label = Static(place.id);
            label->setText(text);
            label->setAlignment(Qt::AlignCenter);
            switch (place.kind) {
            case ControlKind::ChungStatic:
                SetColours(label, Qt::white, OperatorColours::Chung);
                break;
            case ControlKind::HongStatic:
                SetColours(label, Qt::white, OperatorColours::Hong);
                break;
            case ControlKind::PanelStatic:
                SetColours(label, Qt::black, OperatorColours::Panel);
                break;
            case ControlKind::CaptionStatic:
                SetColours(label, kCaption, kPanelDark);
                break;
            case ControlKind::TableStatic:
                break; // the breakdown cells keep the colours of their brushes
            default:
                SetColours(label, Qt::white, kPanelDark);
                break;
            }
            auto* own = qobject_cast<CMyStatic*>(label);
            QFont font = m_fonts[18 - 1];
            for (const FontUse& use : kFontUses)
                if (use.id == place.id)
                    font = m_fonts[static_cast<std::size_t>(use.font - 1)];
            if (place.kind == ControlKind::CaptionStatic)
                font = m_fonts[17 - 1];
            label->setFont(font);
            // An owner-drawn static fills all of itself: the view need not paint what lies beneath it, so
            // a new clock or score text repaints the static alone.
            if (own) {
                own->m_pFont = nullptr;
                own->setAttribute(Qt::WA_OpaquePaintEvent);
            }
            control = label;
            break;
        }
        }
        Place(control, place.rect);
        control->setVisible(place.visible);
    }
    // Own fonts of the owner-drawn statics follow their widget font.
    for (const ControlPlace& place : OperatorLayout::Controls())
        if (auto* own = qobject_cast<CMyStatic*>(GetDlgItem(place.id)))
            own->m_pFont = &own->font();

    ShowDlgItem(CoachTimeout, md.nCompetitionType == 2 && md.nRound == 1);
    ShowDlgItem(RoundWinIndicatorChung, md.nCompetitionRule == 1);
    ShowDlgItem(RoundWinIndicatorHong, md.nCompetitionRule == 1);
    m_bLampNextShow[0] = m_bLampNextShow[1] = 0;
    ShowTeamControls();
    connect(Button(Draw), &QPushButton::clicked, this, &CMainWnd::OnClickedDraw, Qt::UniqueConnection);
    connect(Button(Start), &QPushButton::clicked, this, &CMainWnd::OnClickedStart, Qt::UniqueConnection);
    connect(Button(Stop), &QPushButton::clicked, this, &CMainWnd::OnClickedStop, Qt::UniqueConnection);
    connect(Button(KyeShi), &QPushButton::clicked, this, &CMainWnd::OnClickedKyeShi, Qt::UniqueConnection);
    connect(Button(CoachTimeout), &QPushButton::clicked, this, &CMainWnd::OnClickedCoachTimeout,
            Qt::UniqueConnection);
    connect(Button(KyeShiCheck), &QPushButton::clicked, this, &CMainWnd::OnClickedKyeShiCheck,
            Qt::UniqueConnection);
    connect(Button(ChungWinner), &QPushButton::clicked, this, &CMainWnd::OnClickedChungWinner,
            Qt::UniqueConnection);
    connect(Button(HongWinner), &QPushButton::clicked, this, &CMainWnd::OnClickedHongWinner,
            Qt::UniqueConnection);
    connect(Button(EquipmentTest), &QPushButton::clicked, this, &CMainWnd::OnClickedEquipmentTest,
            Qt::UniqueConnection);

    Button(ShowScoreboard)->setChecked(true);
    Button(ReverseScreen)->setChecked(md.nReverseScreen != 0);
    for (int id : {ShowScoreboard, ReverseScreen, ColourSwapChung, ColourSwapHong})
        Button(id)->update();
    if (m_pExtScrDlg) {
        m_pExtScrDlg->ApplyReverseScreen(md.nReverseScreen);
        m_pExtScrDlg->setVisible(md.nMonitorCount >= 2);
    }
    m_fontsKept.Clear();
    for (const QFont& font : m_fonts)
        m_fontsKept.Keep(font, this);
    for (QWidget* control : findChildren<QWidget*>())
        if (control->window() == this)
            m_fontsKept.Keep(control->font(), control);
    for (const int size : kOutlinedSizes)
        m_fontsKept.Keep(COutlinedTextCache::Face(size));
}

void CMainWnd::ShowTeamControls() {
    const bool team = g_pMatchData && g_pMatchData->nCompetitionType == 1;
    for (int id : {TagChung, TagHong, TagCancelChung, TagCancelHong, TeamPointAddChung, TeamPointRemoveChung,
                   TeamPointAddHong, TeamPointRemoveHong, TagTextChung, TagTextHong})
        ShowDlgItem(id, team);
}

void CMainWnd::InvalidateArea(const QRect& rect) {
    update(rect);
}

void CMainWnd::RefreshFromSnapshot() {
    if (!g_pMatchData || !g_pMatchSnapshot)
        return;
    const MatchData& md = *g_pMatchData;
    const MatchData& old = *g_pMatchSnapshot;
    // The receiver's threads write the device fields: read atomically (SharedLoad).
    const int receiverOpen = SharedLoad(md.bReceiverOpen);
    if (receiverOpen != old.bReceiverOpen)
        InvalidateArea(OperatorLayout::ReceiverIcon());
    if (receiverOpen == 0)
        ToggleJudgeLamp(0, 0, 0);
    // A device that stops reporting, or a change of the judges or protectors in use, changes the icons too.
    const int status = DeviceStatusLoad(md);
    const int oldStatus = DeviceStatusLoad(old);
    const bool layoutChanged = md.nJudgeNumber != old.nJudgeNumber || md.nPSSType != old.nPSSType;
    for (int j = 0; j < kJudges; ++j)
        if (layoutChanged || md.bJudgeWired[j] != old.bJudgeWired[j] ||
            md.nJudgeWiredValue[j] != old.nJudgeWiredValue[j] || ((status ^ oldStatus) & (1 << (4 + j))))
            InvalidateArea(OperatorLayout::JudgeIcon(j).united(OperatorLayout::JudgeNumber(j)));

    int pages = 1;
    if (md.nCompetitionType == 1)
        pages = md.nTeamType == 0 ? 3 : md.nTeamType == 1 ? 5 : md.nTeamType == 2 ? 4 : 1;
    if (m_nTeamPage >= pages)
        m_nTeamPage = 0;
    const int changed = status ^ oldStatus;
    for (int side = 0; side < 2; ++side) {
        const int slot = m_nTeamPage * 2 + side;
        const bool headLost = changed & (1 << (side == 0 ? 0 : 2));
        const bool trunkLost = changed & (1 << (side == 0 ? 1 : 3));
        // The icons show another member pair than before: they are repainted whatever it holds.
        const bool pageMoved = m_nDevicePage != m_nTeamPage;
        if (layoutChanged || pageMoved || headLost || md.bRegHead[slot] != old.bRegHead[slot] ||
            m_nShownHeadBattery[side] != old.nHeadBattery[slot]) {
            InvalidateArea(OperatorLayout::HeadIcon(side));
            m_nShownHeadBattery[side] = old.nHeadBattery[slot];
        }
        if (layoutChanged || pageMoved || trunkLost || md.bRegBody[slot] != old.bRegBody[slot] ||
            m_nShownBodyBattery[side] != old.nBodyBattery[slot]) {
            InvalidateArea(OperatorLayout::TrunkIcon(side));
            m_nShownBodyBattery[side] = SharedLoad(md.nBodyBattery[slot]);
        }
    }
    if (changed & ~0x7F) // team members' protectors
        for (int side = 0; side < 2; ++side) {
            InvalidateArea(OperatorLayout::HeadIcon(side));
            InvalidateArea(OperatorLayout::TrunkIcon(side));
        }
    // The icons paint the pair just compared; the next tick compares the next pair.
    m_nDevicePage = m_nTeamPage;
    m_nTeamPage = (m_nTeamPage + 1) % pages;
}

void CMainWnd::UpdateStateDisplay() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    const int state = md.nGameState;
    const bool roundWin = md.nCompetitionRule == 1;
    ShowDlgItem(RoundResult, state == 2 || (state >= 4 && state <= 8));

    QLabel* clock = Static(Clock);
    QLabel* timeout = Static(TimeoutPanel);
    QLabel* second = Static(SecondPanel);
    const auto showRoundTable = [&](bool show) {
        if (!roundWin)
            return;
        if (show) {
            ShowRoundScores();
            md.bRoundTableShown = 1;
        } else if (md.bRoundTableShown) {
            for (int r = 0; r < 3; ++r)
                for (int id : {RoundLabelChung[r], RoundLabelHong[r], RoundCellChung[r], RoundCellHong[r],
                               RoundWinnerChung[r], RoundWinnerHong[r]})
                    ShowDlgItem(id, false);
            md.bRoundTableShown = 0;
        }
        // The round table takes the place of the scores, as on the public scoreboard.
        ShowDlgItem(ScoreChung, !md.bRoundTableShown);
        ShowDlgItem(ScoreHong, !md.bRoundTableShown);
    };
    timeout->setText(QStringLiteral("Time out"));
    if (state == 5 || state == 6 || state == 14) {
        clock->move(546, 322);
        timeout->move(546, 272);
        SetColours(timeout, Qt::white, Qt::black);
        // The display owns the panel: "Time out" between rounds, hidden while the rest count is paused.
        timeout->setVisible(state != 14);
        second->hide();
        showRoundTable(true);
    } else if (state == 8) {
        clock->move(546, 272);
        timeout->move(546, 362);
        SetColours(timeout, Qt::black, OperatorColours::Panel);
        timeout->show();
        second->hide();
        showRoundTable(false);
    } else if (state == 9 || state == 10 || state == 15) {
        clock->move(546, 272);
        SetColours(clock, Qt::white, Qt::black);
        second->show();
        timeout->hide();
    } else {
        clock->move(546, 272);
        SetColours(clock, Qt::black, OperatorColours::Panel);
        second->hide();
        timeout->hide();
        showRoundTable(false);
    }
    if (roundWin) {
        if (state == 5 || state == 6 || state == 14)
            md.bRoundOver = 1;
        else if (state == 7 || state == 8 || state == 11 || state == 12 || state == 13 || state < 5 ||
                 state > 15)
            md.bRoundOver = 0;
    }
    ShowTeamControls();
    if (m_pExtScrDlg) {
        m_pExtScrDlg->SetTagState(m_bTagActive[0], m_bTagActive[1], m_nTagStartMs[0], m_nTagStartMs[1]);
        // The board arranges its clock, "Time out" and the round-win counters for the new state.
        m_pExtScrDlg->ApplyClockMode();
        m_pExtScrDlg->UpdateRoundScores();
        m_pExtScrDlg->update();
    }
}

void CMainWnd::PaintBackground(QPainter& painter) {
    // Part by part: the picture drawn once over the bounding rect of a hit's scattered areas was clipped
    // line by line against each of them, a third of a millisecond of the UI thread for every hit. Each part
    // is drawn under a clip of its own rectangle: under the paint's whole region Qt blends the picture span
    // by span and hands tall parts to its pool threads, which a busy machine keeps waiting; a rectangle is
    // copied on this thread. The view paints every pixel of what it repaints (it is opaque to Qt), so what
    // the picture does not reach is filled.
    const QRegion area = m_paintArea.isEmpty() ? QRegion(rect()) : m_paintArea;
    const QImage* background =
        m_pImages && !m_pImages->background.isNull() ? &m_pImages->background : nullptr;
    const QRect pictured = background ? background->rect() : QRect();
    painter.save();
    for (const QRect& part : area) {
        const QRect shown = part & pictured;
        if (!shown.isEmpty()) {
            painter.setClipRect(shown);
            painter.drawImage(shown.topLeft(), *background, shown);
        }
        if (shown != part)
            for (const QRect& rest : QRegion(part) - QRegion(shown))
                painter.fillRect(rest, kPanelDark);
    }
    painter.restore();
}

namespace {

// A judge's mark: the picture of its kind and a number over it, dark on the light tiles. In a one-judge
// match with trunk protectors only, a trunk mark (3 Chung, 7 Hong) has its number at the bottom.
void PaintMark(QPainter& painter, const CMainWnd::PaintImages* images, const QRect& rect,
               const TTK_JudgeMark& mark, int number, bool bottom) {
    if (mark.nKind <= 0 || mark.nKind > 10 || !images || images->mark[mark.nKind].isNull())
        return;
    painter.drawImage(rect, images->mark[mark.nKind]);
    painter.setPen(QColor(16, 16, 16));
    painter.drawText(rect,
                     (bottom ? Qt::AlignHCenter | Qt::AlignBottom : Qt::AlignCenter) | Qt::TextSingleLine,
                     Number(number));
}

} // namespace

void CMainWnd::PaintJudgePresses(QPainter& painter) {
    if (!g_pMatchData || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts[15 - 1]);
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < kJudges; ++j) {
            const QRect rect = OperatorLayout::JudgePress(side, j);
            if (!InPaintArea(rect))
                continue;
            const TTK_JudgeMark& press = md.aSide[side].aJudgePress[j];
            const bool bottom =
                md.nCompetitionType == 2 && md.nPSSType == 1 && press.nKind == (side == 0 ? 3 : 7);
            PaintMark(painter, m_pImages.get(), rect, press, md.nPSSType != 0 ? j + 1 : press.nValue, bottom);
        }
}

void CMainWnd::PaintJudgeSlots(QPainter& painter) {
    if (!g_pMatchData || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts[15 - 1]);
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < kJudges; ++j)
            for (int row = 0; row < kQueueSlots; ++row) {
                const QRect rect = OperatorLayout::JudgeSlot(side, j, row);
                if (!InPaintArea(rect))
                    continue;
                const TTK_JudgeMark& mark = md.aSide[side].aJudgeSlot[j][row];
                const bool bottom =
                    md.nCompetitionType == 2 && md.nPSSType == 1 && mark.nKind == (side == 0 ? 3 : 7);
                PaintMark(painter, m_pImages.get(), rect, mark, md.nPSSType != 0 ? row + 1 : mark.nValue,
                          bottom);
            }
}

void CMainWnd::PaintSlotStates(QPainter& painter) {
    if (!g_pMatchData || !m_pImages || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts[15 - 1]);
    for (int side = 0; side < 2; ++side)
        for (int row = 0; row < kQueueSlots; ++row) {
            const TTK_QueueSlot& slot = md.aSide[side].aSlotState[row];
            QRect rect = OperatorLayout::SlotState(side, row);
            if (slot.nState >= 2 && slot.nState <= 4 && side == 1)
                rect = QRect(1162, rect.y(), 17, 22);
            if (!InPaintArea(rect))
                continue;
            if (slot.nState == 1) {
                DrawPicture(painter, rect, m_pImages->slotWaiting);
            } else if (slot.nState >= 2 && slot.nState <= 4) {
                // A head technique (state 3) and the trunk ones (2 and 4).
                DrawPicture(painter, rect, m_pImages->hit[slot.nState == 3 ? 2 : 1][1]);
            }
        }
}

void CMainWnd::PaintMatchInfo(QPainter& painter) {
    if (!g_pMatchData || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts[8 - 1]);
    if (InPaintArea(OperatorLayout::Rect(MatchTitle)))
        painter.drawText(OperatorLayout::Rect(MatchTitle), Qt::AlignCenter | Qt::TextSingleLine,
                         Q(g_strMatchTitle));
    const QString contest = FieldQ(md.szContestNo);
    painter.setPen(OperatorColours::Leading);
    if (!contest.isEmpty() && InPaintArea(OperatorLayout::Rect(ContestNo)))
        painter.drawText(OperatorLayout::Rect(ContestNo), Qt::AlignCenter | Qt::TextSingleLine,
                         QStringLiteral("MATCH %1").arg(contest));
    if (!m_strRoundText.empty() && InPaintArea(OperatorLayout::Rect(RoundNumber)))
        painter.drawText(OperatorLayout::Rect(RoundNumber), Qt::AlignCenter | Qt::TextSingleLine,
                         QStringLiteral("ROUND %1").arg(Q(m_strRoundText)));
    // The judge numbers sit above their icons, in a font small enough to stay clear of them.
    painter.setPen(Qt::white);
    painter.setFont(m_fonts[18 - 1]);
    for (int j = 0; j < std::min(md.nJudgeNumber, kJudges); ++j) {
        if (InPaintArea(OperatorLayout::JudgeNumber(j)))
            painter.drawText(OperatorLayout::JudgeNumber(j),
                             Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, Number(j + 1));
    }
    // The minimum hit levels over faint pictures of what they measure.
    const bool idle = md.nGameState == 0;
    const auto level = [&](int id, const QImage& picture, const QString& text) {
        const QRect rect = OperatorLayout::Rect(id);
        if (!InPaintArea(rect))
            return;
        if (!picture.isNull()) {
            painter.setOpacity(0.45);
            painter.drawImage(rect, picture);
            painter.setOpacity(1.0);
        }
        if (!text.isEmpty())
            OutlinedNumber(painter, rect, text, 24);
    };
    const bool withImages = m_pImages != nullptr;
    level(LevelHead, withImages && md.nPSSType == 2 ? m_pImages->head[2] : QImage(),
          idle || md.nCompetitionType == 2 ? QString() : Number(md.nLevelHead));
    level(LevelBody, withImages ? m_pImages->trunk[2] : QImage(), idle ? QString() : Number(md.nLevelBody));
    if (md.bUsePunch)
        level(LevelPunch, withImages ? m_pImages->punch : QImage(), Number(md.nLevelPunch));
}

void CMainWnd::UpdateChangeInfo(int) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    ShowTeamControls();
    if (md.nCompetitionType != 1)
        return;
    const int tagText[2] = {TagTextChung, TagTextHong};
    bool ended = false;
    for (int side = 0; side < 2; ++side) {
        if (!m_bTagActive[side] && !m_bJointTag) {
            SetDlgItemText(tagText[side], QStringLiteral("TAG"));
            continue;
        }
        // The window lasts Team_Tag_Time seconds. (Counting the elapsed time modulo a minute would never
        // end a 60-second window, the default, and would lock the tags for the rest of the match.)
        const int elapsed = (m_nTagStartMs[side] - md.nRemainTime) / 1000;
        const int left = md.nTeamTagTime - elapsed;
        if (left < 1) {
            m_bTagActive[side] = 0;
            m_nTagStartMs[side] = 0;
            SetDlgItemText(tagText[side], QStringLiteral("TAG"));
            ended = true;
        } else {
            SetDlgItemText(tagText[side], Number(left));
        }
    }
    if (ended && m_bJointTag) {
        m_bJointTag = 0;
        for (int side = 0; side < 2; ++side) {
            m_bTagActive[side] = 0;
            m_nTagStartMs[side] = 0;
            SetDlgItemText(tagText[side], QStringLiteral("TAG"));
        }
    }
    if (ended)
        RedrawTagPanel();
}

void CMainWnd::PaintReplayQuota(QPainter& painter) {
    if (!g_pMatchData || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts[14 - 1]);
    const int countId[2] = {ReplayCountChung, ReplayCountHong};
    for (int side = 0; side < 2; ++side) {
        const int remaining = md.aSide[side].nVRRemain;
        const QRect area = OperatorLayout::Rect(countId[side]);
        const QRect countRect(area.x(), area.y() + 22, area.width(), 28);
        if (remaining < 1 || !InPaintArea(OperatorLayout::ReplayImage(side).united(countRect)))
            continue;
        if (m_pImages)
            DrawPicture(painter, OperatorLayout::ReplayImage(side), m_pImages->replayCard);
        const QString count = Q(ScreenText::ReplayCount(remaining, QuotaInForce(md)));
        if (!count.isEmpty())
            OutlinedNumber(painter, countRect, count, 22);
    }
}

void CMainWnd::PaintLastHits(QPainter& painter) {
    if (!g_pMatchData || !m_pImages)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, m_fonts.empty() ? painter.font() : m_fonts[8 - 1]);
    for (int side = 0; side < 2; ++side)
        for (int age = 0; age < 2; ++age) {
            const TTK_LastHit& hit = md.aSide[side].aLastHit[age];
            if (hit.nType < 1 || hit.nType > 3)
                continue;
            const int threshold = hit.nType == 1   ? md.nLevelBody
                                  : hit.nType == 2 ? md.nLevelHead
                                                   : md.nLevelPunch;
            const QImage& picture = m_pImages->hit[hit.nType][hit.nLevel >= threshold ? 1 : 0];
            if (picture.isNull())
                continue;
            const QRect box = OperatorLayout::LastHit(side, age);
            const QRect number(box.x(), 366, 38, 38);
            if (!InPaintArea(box.united(number)))
                continue;
            painter.drawImage(box, picture);
            if (hit.nType != 3 || md.bUsePunch)
                OutlinedNumber(painter, number, Number(hit.nLevel), kLastHitSize);
        }
}

void CMainWnd::PaintDeviceStatus(QPainter& painter) {
    if (!g_pMatchData || !m_pImages || m_fonts.empty())
        return;
    const MatchData& md = *g_pMatchData;
    const int status = DeviceStatusLoad(md);
    PaintScope scope(painter, m_fonts[18 - 1]);
    if (InPaintArea(OperatorLayout::ReceiverIcon()))
        DrawPicture(painter, OperatorLayout::ReceiverIcon(),
                    m_pImages->receiver[SharedLoad(md.bReceiverOpen) ? 1 : 0]);
    // A device that does not report: "!!" in yellow, outlined to stand out on the light icons.
    const auto warning = [&](const QRect& rect) {
        OutlinedNumber(painter, rect, QStringLiteral("!!"), 20, 0xFFFFFF00);
    };
    for (int j = 0; j < std::min(md.nJudgeNumber, kJudges); ++j) {
        const QRect icon = OperatorLayout::JudgeIcon(j);
        const QRect text(icon.x(), 26, 48, 34);
        if (!InPaintArea(icon.united(text)))
            continue;
        if (md.bJudgeWired[j]) {
            DrawPicture(painter, icon, m_pImages->judgeWired);
            OutlinedNumber(painter, text, Number(ScreenText::BatteryPercent(md.nJudgeWiredValue[j])), 15);
        } else {
            DrawPicture(painter, icon, m_pImages->judgeWireless);
            if (status & (1 << (4 + j)))
                warning(text);
        }
    }
    if (md.nPSSType == 0)
        return;
    for (int side = 0; side < 2; ++side) {
        const int slot = std::clamp(m_nDevicePage * 2 + side, 0, kPlayerSlots - 1);
        const auto draw = [&](const QRect& icon, const QImage* pictures, bool registered, int battery,
                              int lostBit) {
            const QRect text(icon.x(), 15, icon.width(), 49);
            if (!InPaintArea(icon.united(text)))
                return;
            DrawPicture(painter, icon, pictures[registered ? side : 2]);
            if (registered)
                OutlinedNumber(painter, text, Number(ScreenText::BatteryPercent(battery)), 15);
            else if (status & (1 << lostBit))
                warning(text);
        };
        draw(OperatorLayout::TrunkIcon(side), m_pImages->trunk, md.bRegBody[slot],
             SharedLoad(md.nBodyBattery[slot]), side == 0 ? 1 : 3);
        if (md.nPSSType == 2)
            draw(OperatorLayout::HeadIcon(side), m_pImages->head, md.bRegHead[slot],
                 SharedLoad(md.nHeadBattery[slot]), side == 0 ? 0 : 2);
    }
}

void CMainWnd::UpdateHitCount(int chung, int hong) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const bool show = md.nCompetitionRule == 1 || md.nCurRound > md.nRound;
    for (int id : {HitCountLabelChung, HitCountLabelHong, HitCountChung, HitCountHong})
        ShowDlgItem(id, show);
    if (!show)
        return;
    SetDlgItemText(HitCountLabelChung, QStringLiteral("Hit Count"));
    SetDlgItemText(HitCountLabelHong, QStringLiteral("Hit Count"));
    SetDlgItemText(HitCountChung, Number(chung));
    SetDlgItemText(HitCountHong, Number(hong));
    if (md.nCompetitionRule == 1 && m_pExtScrDlg)
        m_pExtScrDlg->InvalidateHitCounts();
}

void CMainWnd::RefreshLevelDisplay() {
    for (int id : {LevelHead, LevelBody, LevelPunch})
        update(OperatorLayout::Rect(id));
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateMinLevels();
}

void CMainWnd::ShowClockMs(int ms) {
    if (!g_pMatchData)
        return;
    m_strClockText = ScreenText::ClockFromMs(ms, g_pMatchData->nGameState);
    SetDlgItemText(Clock, Q(m_strClockText));
    if (m_pExtScrDlg)
        m_pExtScrDlg->SetClockText(Q(m_strClockText));
}

void CMainWnd::ShowClockSeconds(int seconds) {
    if (!g_pMatchData)
        return;
    m_strClockText = ScreenText::ClockFromSeconds(seconds, g_pMatchData->nGameState);
    SetDlgItemText(Clock, Q(m_strClockText));
    if (m_pExtScrDlg)
        m_pExtScrDlg->SetClockText(Q(m_strClockText));
}

void CMainWnd::ShowClock(int seconds, int ms) {
    if (!g_pMatchData)
        return;
    const int state = g_pMatchData->nGameState;
    const QString text = Q(ScreenText::ClockFromMs(ms, state));
    SetDlgItemText(Clock, text);
    m_strClockText = ScreenText::ClockFromSeconds(seconds, state);
    if (m_pExtScrDlg)
        m_pExtScrDlg->SetClockText(text);
}

void CMainWnd::ShowRoundNumber(int round) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    m_strRoundText = ScreenText::Round(round, md.nGameState);
    if (md.nCompetitionRule == 1) {
        const int r = std::clamp(round, 0, kRoundNumberSlots - 1);
        UpdateHitCount(md.aSide[0].nPssHits[r], md.aSide[1].nPssHits[r]);
    } else if (round == 1 || round > md.nRound) {
        UpdateHitCount(md.aSide[0].nPssHits[0], md.aSide[1].nPssHits[0]);
    }
    if (m_pExtScrDlg)
        m_pExtScrDlg->SetRoundText(round);
    update(OperatorLayout::Rect(RoundNumber));
}

void CMainWnd::ShowScores(int chung, int hong) {
    if (m_pExtScrDlg && g_pMatchData)
        m_pExtScrDlg->SetScores(chung, hong, g_pMatchData->nReverseScreen);
    SetDlgItemText(ScoreChung, Q(ScreenText::Score(chung)));
    SetDlgItemText(ScoreHong, Q(ScreenText::Score(hong)));
}

void CMainWnd::ShowRoundScores() {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    for (int r = 1; r <= std::min(md.nCurRound, 3); ++r) {
        const int i = r - 1;
        SetDlgItemText(RoundCellChung[i],
                       Number(c.nRoundScore[i] + h.nRoundPenaltyPoints1[i] + h.nRoundPenaltyPoints2[i]));
        SetDlgItemText(RoundCellHong[i],
                       Number(h.nRoundScore[i] + c.nRoundPenaltyPoints1[i] + c.nRoundPenaltyPoints2[i]));
        for (int id : {RoundLabelChung[i], RoundLabelHong[i], RoundCellChung[i], RoundCellHong[i]})
            ShowDlgItem(id, true);
    }
    ShowRoundWinners(1);
    if (m_pExtScrDlg)
        m_pExtScrDlg->UpdateRoundScores();
}

void CMainWnd::ShowRoundBreakdown() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    TTK_SideScore& c = md.aSide[0];
    TTK_SideScore& h = md.aSide[1];
    const int round = md.nCurRound;
    const bool roundWin = md.nCompetitionRule == 1;
    if (round >= 1 && (round <= 3 || (round == 4 && !roundWin))) {
        const int i = round - 1;
        SetDlgItemText(BreakScoreChung[i], Number(c.nRoundScore[i]));
        SetDlgItemText(BreakScoreHong[i], Number(h.nRoundScore[i]));
        SetDlgItemText(BreakPenaltyChung[i], Number(c.nRoundPenalty2[i] + c.nRoundPenalty1[i]));
        SetDlgItemText(BreakPenaltyHong[i], Number(h.nRoundPenalty2[i] + h.nRoundPenalty1[i]));
    }
    if (roundWin && round >= 1 && round <= kMaxRounds) {
        SetDlgItemText(BreakScoreChung[3], Number(c.nTechTally[10][round - 1]));
        SetDlgItemText(BreakScoreHong[3], Number(h.nTechTally[10][round - 1]));
    }
    // The regular rounds and the golden round.
    const int last = std::clamp(md.nRound, 0, kMaxRounds - 1);
    c.nScore = h.nScore = 0;
    for (int i = 0; i <= last; ++i) {
        c.nScore += c.nRoundScore[i];
        h.nScore += h.nRoundScore[i];
    }
    SetDlgItemText(BreakSumChung, Number(c.nScore));
    SetDlgItemText(BreakSumHong, Number(h.nScore));
    SetDlgItemText(BreakPenaltySumChung, Number(c.nPenaltyCount2 + c.nPenaltyCount1));
    SetDlgItemText(BreakPenaltySumHong, Number(h.nPenaltyCount2 + h.nPenaltyCount1));
    SetDlgItemText(BreakGrandChung, Number(c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2));
    SetDlgItemText(BreakGrandHong, Number(h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2));
}

void CMainWnd::ShowRoundLeader() {
    if (!g_pMatchData || g_pMatchData->nCompetitionRule != 1)
        return;
    MatchData& md = *g_pMatchData;
    md.nRoundLeader = DecideRoundLeader(md);
    ShowDlgItem(LeaderChung, md.nRoundLeader == 1);
    ShowDlgItem(LeaderHong, md.nRoundLeader == 2);
    SetColours(Static(ScoreChung), md.nRoundLeader == 1 ? OperatorColours::Leading : QColor(Qt::white),
               OperatorColours::Chung);
    SetColours(Static(ScoreHong), md.nRoundLeader == 2 ? OperatorColours::Leading : QColor(Qt::white),
               OperatorColours::Hong);
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateScores();
}

void CMainWnd::HideRoundLeader() {
    // No leader is left behind in the record either: both screens paint the leader's score from it.
    if (g_pMatchData)
        g_pMatchData->nRoundLeader = 0;
    ShowDlgItem(LeaderChung, false);
    ShowDlgItem(LeaderHong, false);
    SetColours(Static(ScoreChung), Qt::white, OperatorColours::Chung);
    SetColours(Static(ScoreHong), Qt::white, OperatorColours::Hong);
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateScores();
}

void CMainWnd::ShowRoundWinners(int show) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    for (int r = 0; r < 3; ++r) {
        ShowDlgItem(RoundWinnerChung[r], false);
        ShowDlgItem(RoundWinnerHong[r], false);
    }
    if (show != 1)
        return;
    for (int r = 1; r <= std::min(md.nCurRound, 3); ++r) {
        if (md.nRoundWinner[r - 1] == 1)
            ShowDlgItem(RoundWinnerChung[r - 1], true);
        else if (md.nRoundWinner[r - 1] == 2)
            ShowDlgItem(RoundWinnerHong[r - 1], true);
    }
    SetDlgItemText(RoundWinsChung, Number(md.aSide[0].nRoundWins));
    SetDlgItemText(RoundWinsHong, Number(md.aSide[1].nRoundWins));
    if (m_pExtScrDlg)
        m_pExtScrDlg->ShowRoundWinMarks(md.nReverseScreen);
}

void CMainWnd::ClearRoundWins() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    std::fill(std::begin(md.nRoundWinner), std::end(md.nRoundWinner), 0); // the golden round's too
    md.aSide[0].nRoundWins = md.aSide[1].nRoundWins = 0;
    for (int i = 0; i < 2; ++i) {
        ShowDlgItem(RoundWonChung[i], false);
        ShowDlgItem(RoundWonHong[i], false);
    }
    for (int r = 0; r < 3; ++r) {
        ShowDlgItem(RoundWinnerChung[r], false);
        ShowDlgItem(RoundWinnerHong[r], false);
    }
    if (m_pExtScrDlg)
        m_pExtScrDlg->ShowRoundWinMarks(md.nReverseScreen);
}

void CMainWnd::ShowReplayQuota(int chung, int hong) {
    for (int id : {ReplayCountChung, ReplayCountHong})
        update(OperatorLayout::Rect(id).translated(4, 0).adjusted(0, -6, 0, 0));
    SetDlgItemText(BreakQuotaChung, Number(chung));
    SetDlgItemText(BreakQuotaHong, Number(hong));
    if (m_pExtScrDlg && g_pMatchData) {
        const int quota = QuotaInForce(*g_pMatchData);
        m_pExtScrDlg->SetVideoReplayTexts(Q(ScreenText::ReplayCount(chung, quota)),
                                          Q(ScreenText::ReplayCount(hong, quota)),
                                          g_pMatchData->nReverseScreen);
    }
}

void CMainWnd::UpdatePenaltyDisplay(int chung, int hong) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const bool golden = md.nCurRound > md.nRound;
    ShowDlgItem(PenaltyTotalChung, golden);
    ShowDlgItem(PenaltyTotalHong, golden);
    if (!golden) {
        SetDlgItemText(PenaltyChung, Number(chung));
        SetDlgItemText(PenaltyHong, Number(hong));
        if (m_pExtScrDlg)
            m_pExtScrDlg->InvalidatePenaltyAreas(md.nReverseScreen);
        return;
    }
    const int g = std::clamp(md.nRound, 0, kMaxRounds - 1);
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    SetDlgItemText(PenaltyChung, Number(c.nRoundPenalty2[g] + c.nRoundPenalty1[g]));
    SetDlgItemText(PenaltyTotalChung, Number(c.nPenaltyCount2 + c.nPenaltyCount1));
    SetDlgItemText(PenaltyHong, Number(h.nRoundPenalty2[g] + h.nRoundPenalty1[g]));
    SetDlgItemText(PenaltyTotalHong, Number(h.nPenaltyCount2 + h.nPenaltyCount1));
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidatePenaltyAreas(md.nReverseScreen);
}

void CMainWnd::ShowHitLevel(int side, int type, int level) {
    if (!g_pMatchData || side < 0 || side > 1)
        return;
    MatchData& md = *g_pMatchData;
    bool accepted;
    if (md.nCompetitionType == 2)
        accepted = md.nPSSType == 1;
    else if (md.nPSSType == 1)
        accepted = type == 1 || type == 3;
    else
        accepted = md.nPSSType == 2 && type >= 1 && type <= 3;
    if (type == 3 && level == 99 && md.bUsePunch)
        accepted = false;
    if (!accepted)
        return;
    TTK_LastHit* history = md.aSide[side].aLastHit;
    std::copy_backward(history, history + 2, history + 3);
    history[0] = TTK_LastHit{type, level};
    const int threshold = type == 1 ? md.nLevelBody : type == 2 ? md.nLevelHead : md.nLevelPunch;
    if (m_pExtScrDlg) {
        if (md.nCompetitionRule != 1)
            m_pExtScrDlg->StartHitLevelBlink(side, level >= threshold);
        m_pExtScrDlg->InvalidateHitLevelBoxes(side);
    }
    // The hit moves only its own side's history.
    for (int age = 0; age < 2; ++age)
        update(OperatorLayout::LastHit(side, age));
}

void CMainWnd::ClearHitLevels() {
    if (!g_pMatchData)
        return;
    if (m_pExtScrDlg)
        m_pExtScrDlg->ClearHitLevels();
    for (int side = 0; side < 2; ++side) {
        for (TTK_LastHit& hit : g_pMatchData->aSide[side].aLastHit)
            hit = TTK_LastHit{};
        for (int age = 0; age < 2; ++age)
            update(OperatorLayout::LastHit(side, age));
    }
}

void CMainWnd::InvalidateJudgeRows(int side) {
    side = side == 0 ? 0 : 1;
    const int reversed = g_pMatchData ? g_pMatchData->nReverseScreen : 0;
    for (int row = 0; row < kQueueSlots; ++row)
        for (int j = 0; j < kJudges; ++j) {
            update(OperatorLayout::JudgeSlot(side, j, row));
            if (m_pExtScrDlg)
                m_pExtScrDlg->InvalidateJudgeSlot(side, j, row, reversed);
        }
}

void CMainWnd::ShowPlayers() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    const int nationId[2] = {NationChung, NationHong};
    const int nameId[2] = {NameChung, NameHong};
    const int flagId[2] = {FlagChung, FlagHong};
    const int topX[2] = {6, 1161};
    const int panelX[2] = {121, 643};
    for (int side = 0; side < 2; ++side) {
        TTK_Player& player = md.aPlayer[side];
        const std::string upper = ScreenText::UpperName(FieldText(player.szName), sizeof(player.szName) - 1);
        std::memcpy(player.szName, upper.c_str(), upper.size() + 1);
        const int nation = player.nNation;
        const bool hasNation = nation > 0 && nation < std::min(md.nNationCount, kNationRows);
        if (hasNation) {
            Place(Static(nationId[side]), QRect(topX[side], 135, 110, 36));
            Place(Static(nameId[side]), QRect(panelX[side], 85, 510, 63));
        } else {
            // Between the contest line and the team buttons' row, which stays uncovered.
            Place(Static(nationId[side]), QRect(panelX[side], 72, 510, 38));
            Place(Static(nameId[side]), QRect(panelX[side], 110, 510, 38));
        }
        // The flag file of the nation row; a name that reaches outside the flag folder is not read.
        const std::u16string file = hasNation ? WideField(md.aNation[nation].wszField[3]) : u"none.gif";
        CPanelStatic* flag = Mark(flagId[side]);
        if (file.find(u"none.gif") != std::u16string::npos || file.find(u'/') != std::u16string::npos ||
            file.find(u'\\') != std::u16string::npos) {
            flag->hide();
        } else {
            const QImage picture(Q(AppPath(u"Img/Flag/" + file)));
            flag->SetBitmap(picture);
            flag->show();
        }
    }
    if (m_pExtScrDlg)
        m_pExtScrDlg->ApplySideNames(md.nReverseScreen);
    RefreshPlayerInfo();
}

void CMainWnd::RefreshPlayerInfo() {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    for (int side = 0; side < 2; ++side) {
        // Each fit starts from the panel's own font (a label's current one may be a fitted, smaller one).
        QLabel* name = Static(side == 0 ? NameChung : NameHong);
        QLabel* nation = Static(side == 0 ? NationChung : NationHong);
        ShowFitted(name, FieldQ(md.aPlayer[side].szName),
                   m_fonts.size() >= 10 ? m_fonts[10 - 1] : name->font(), 20);
        ShowFitted(nation, FieldQ(md.aPlayer[side].szNationCode),
                   m_fonts.size() >= 9 ? m_fonts[9 - 1] : nation->font(), 13);
    }
    for (int id : {MatchTitle, ContestNo, LevelHead, LevelBody, LevelPunch})
        update(OperatorLayout::Rect(id));
    if (m_pExtScrDlg)
        m_pExtScrDlg->InvalidateHeader();
}

void CMainWnd::ResetCounterTexts() {
    if (!g_pMatchData)
        return;
    for (int id : {1149, 1184, 1150, 1185, 1151, 1186, 1152, 1187, 1155, 1160, 1156,
                   1180, 1157, 1181, 1158, 1182, 1153, 1188, 1154, 1189, 1159, 1183})
        SetDlgItemText(id, QStringLiteral("0"));
    const QString quota = Number(QuotaInForce(*g_pMatchData));
    SetDlgItemText(BreakQuotaChung, quota);
    SetDlgItemText(BreakQuotaHong, quota);
}
