// The painting of the public scoreboard: every area drawn from the match record and the few values the
// board keeps, in a fixed order, over the background picture of the layout.
#include "app/ColorRef.h"
#include "app/DisplayFont.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "controls/OutlineText.h"
#include "screens/BandedDraw.h"
#include "screens/ExtScrDlg.h"
#include "screens/FittedText.h"
#include "screens/ScoreboardRules.h"

#include <QFontMetrics>
#include <QPaintEngine>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <mutex>
#include <utility>

using namespace Scoreboard;

namespace {

// The fonts of the board by role: (1280 size, 1920 size, bold at 1280).
struct FontRole {
    int small, large;
    bool boldSmall;
};
constexpr FontRole kTitleFont{30, 75, false};
constexpr FontRole kNameFont{50, 65, false};
constexpr FontRole kNationFont{60, 65, false}; // also the round-score texts
constexpr FontRole kCaptionFont{40, 60, true}; // also a nation without a nation row
constexpr FontRole kContestFont{70, 100, true};
constexpr FontRole kCardFont{27, 36, true};
constexpr FontRole kRoundNumberFont{90, 150, true};
constexpr FontRole kClockFont{130, 190, true};
constexpr FontRole kSlotFont{40, 50, true};
constexpr FontRole kNumberFont{80, 110, true}; // penalties, hit counts, rounds won
constexpr FontRole kJudgeFont{20, 30, true};
constexpr FontRole kTagFont{60, 85, true}; // also the notice and the team penalties
constexpr FontRole kTimeOutFont{60, 90, true};
constexpr FontRole kCounterFont{185, 280, true};
constexpr FontRole kBandCaptionFont{19, 28, true}; // what the numbers of the bottom band count

constexpr const FontRole* kFontRoles[] = {&kTitleFont,   &kNameFont,    &kNationFont,      &kCaptionFont,
                                          &kContestFont, &kCardFont,    &kRoundNumberFont, &kClockFont,
                                          &kSlotFont,    &kNumberFont,  &kJudgeFont,       &kTagFont,
                                          &kTimeOutFont, &kCounterFont, &kBandCaptionFont};

QFont FontOf(Layout layout, const FontRole& role) {
    const bool small = layout == Layout::Small;
    QFont font = DisplayFont(small ? role.small : role.large);
    if (small && !role.boldSmall)
        font.setWeight(QFont::Normal);
    return font;
}

TextOutline::Argb Argb(COLORREF colour) {
    return 0xFF000000u | ((colour & 0xFF) << 16) | (colour & 0xFF00) | ((colour >> 16) & 0xFF);
}

// A level's number: white, outlined in black.
COutlinedTextCache::Style LevelStyle(const QString& text, int size) {
    COutlinedTextCache::Style style;
    style.text = text;
    style.size = size;
    style.thickness = 3;
    return style;
}

// A score: white or the leader's yellow, over a shadow of its side's colour.
COutlinedTextCache::Style ScoreTextStyle(const QString& text, int size, bool leader, COLORREF side) {
    COutlinedTextCache::Style style;
    style.text = text;
    style.size = size;
    style.fill = style.outline = leader ? 0xFFFFFF00 : 0xFFFFFFFF;
    style.shadow = true;
    style.shadowColour = Argb(side);
    style.shadowThickness = 7;
    style.shadowDx = 4;
    style.shadowDy = 5;
    return style;
}

// The size of a hit level's number in a hit-level box.
int HitLevelSize(Layout layout, int level) {
    const int size = layout == Layout::Small ? 40 : 60;
    return level >= 100 ? static_cast<int>(size * 0.85) : size;
}

// The box the glyphs of a text drawText draws take: the line's place, and the ink's extent from the line's
// baseline.
QRect InkBox(const QFont& font, const QRect& rect, int flags, const QString& text) {
    const QFontMetrics metrics(font);
    const QRect line = metrics.boundingRect(rect, flags, text);
    return metrics.tightBoundingRect(text).translated(line.left(), line.top() + metrics.ascent());
}

// Whether a repaint covers any of the rectangle: a step outside it is skipped, for the large texts are
// drawn as paths even where the repaint's clip throws them away. A painter without a clip draws everything.
bool Dirty(QPainter& p, const QRect& rect) {
    const QRegion clip = p.paintEngine() ? p.paintEngine()->systemClip() : QRegion();
    return clip.isEmpty() || clip.intersects(rect);
}

// Whether a repaint covers all of the rectangle.
bool Covers(QPainter& p, const QRect& rect) {
    const QRegion clip = p.paintEngine() ? p.paintEngine()->systemClip() : QRegion();
    return clip.isEmpty() || (QRegion(rect) - clip).isEmpty();
}

// As it shows over the board's black: opaque, so that a repaint copies its lines instead of filling them
// black and blending the picture over them.
QImage OverBlack(const QImage& image) {
    QImage opaque(image.size(), QImage::Format_RGB32);
    opaque.fill(Qt::black);
    QPainter over(&opaque);
    over.drawImage(0, 0, image);
    return opaque;
}

// Bitmaps are drawn once by the catalogue and kept; this keeps the board's prepared copies of them.
template <QImage (*Prepare)(const QImage&)> const QImage& Kept(int id) {
    static std::mutex mutex;
    static std::map<int, QImage> cache;
    std::lock_guard lock(mutex);
    auto it = cache.find(id);
    if (it == cache.end()) {
        const std::unique_ptr<QImage> image = LoadBitmapResource(id);
        it = cache.emplace(id, image && !image->isNull() ? Prepare(*image) : QImage()).first;
    }
    return it->second;
}

const QImage& Bitmap(int id) {
    return Kept<PaintableImage>(id);
}

const QImage& Background(int id) {
    return Kept<OverBlack>(id);
}

int BackgroundBitmap(Layout layout, const MatchData& md) {
    const bool reversed = md.nReverseScreen == 1;
    switch (layout) {
    case Layout::Small:
        return reversed ? 949 : 950;
    case Layout::RoundWinOneJudge:
        return reversed ? 1027 : 1026;
    case Layout::Large:
        break;
    }
    if (md.nCompetitionRule == 1)
        return reversed ? 937 : 936;
    return reversed ? 951 : 952;
}

} // namespace

FittedText CExtScrDlg::Fitted(const QRect& rect, const QFont& font, const QString& text) const {
    // A text too wide for its box shrinks, down to half its size but never under 2 % of the board's
    // height (the least the stands can read), and is elided beyond that.
    const int floor = std::max(font.pixelSize() / 2, (SizeOf(m_layout).height() * 2 + 99) / 100);
    return FitText(text, font, rect.width(), floor);
}

QImage PaintableImage(const QImage& image) {
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                         : QImage::Format_RGB32);
}

void CExtScrDlg::PlainText(QPainter& p, const QRect& rect, const QFont& font, COLORREF colour,
                           const QString& text, Qt::Alignment align) {
    if (text.isEmpty() || rect.isEmpty() || !Dirty(p, rect))
        return;
    const FittedText fitted = Fitted(rect, font, text);
    p.setFont(fitted.font);
    p.setPen(ColorFromRef(colour));
    const int flags = int(align) | Qt::TextSingleLine;
    p.drawText(rect, flags, fitted.text);
    m_drawnTexts.push_back(
        {fitted.text, rect, InkBox(fitted.font, rect, flags, fitted.text), colour, fitted.font.pixelSize()});
}

void CExtScrDlg::BoxText(QPainter& p, const QRect& rect, const QFont& font, COLORREF text, COLORREF back,
                         const QString& value, Qt::Alignment align) {
    if (!Dirty(p, rect))
        return;
    p.fillRect(rect, ColorFromRef(back));
    PlainText(p, rect, font, text, value, align);
}

const CGlyphPictureCache::Line& CExtScrDlg::ClockLine(const QString& text) {
    if (m_clockShape && m_clockShape->text == text && m_clockShape->rect == m_clockRect &&
        m_clockShape->layout == m_layout)
        return m_clockShape->line;
    const int flags = Qt::AlignCenter | Qt::TextSingleLine;
    const QFont font = FontOf(m_layout, kClockFont);
    CGlyphPictureCache::Line line = CGlyphPictureCache::Lay(font, m_clockRect, flags, text);
    // A text well within the clock's width is what fitting leaves it; only a wider one is measured again.
    if (line.advance > m_clockRect.width() - 1) {
        const FittedText fitted = Fitted(m_clockRect, font, text);
        line = CGlyphPictureCache::Lay(fitted.font, m_clockRect, flags, fitted.text);
    }
    m_clockShape = ClockShape{text, m_clockRect, m_layout, std::move(line)};
    return m_clockShape->line;
}

void CExtScrDlg::PaintClock(QPainter& p) {
    if (!Dirty(p, m_clockRect))
        return;
    // A box on whole pixels needs no smoothing, and unsmoothed it is a plain fill of the painter's rows
    // rather than spans handed to its worker threads on every step of the clock.
    p.setRenderHint(QPainter::Antialiasing, false);
    p.fillRect(m_clockRect, ColorFromRef(m_clockColour[1]));
    p.setRenderHint(QPainter::Antialiasing, true);
    if (m_strClockText.isEmpty() || m_clockRect.isEmpty())
        return;
    const CGlyphPictureCache::Line& line = ClockLine(m_strClockText);
    const QColor colour = ColorFromRef(m_clockColour[0]);
    m_clockGlyphs.Draw(p, line, colour);
    const QRect ink = line.glyphs.empty() ? InkBox(line.font, line.rect, line.flags, line.text)
                                          : m_clockGlyphs.Ink(line, colour);
    m_drawnTexts.push_back({line.text, m_clockRect, ink, m_clockColour[0], line.font.pixelSize()});
}

void CExtScrDlg::Outlined(QPainter& p, const COutlinedTextCache::Style& style, QPointF at) {
    if (!style.text.isEmpty() && Dirty(p, m_outlined.Bounds(style, at)))
        m_outlined.Draw(p, style, at);
}

void CExtScrDlg::OutlinedText(QPainter& p, const QString& text, int size, double x, double y) {
    Outlined(p, LevelStyle(text, size), QPointF(x, y));
}

void CExtScrDlg::paintEvent(QPaintEvent* event) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setRenderHint(QPainter::TextAntialiasing);
    const MatchData* record = Record();
    if (!record) {
        p.fillRect(rect(), Qt::black);
        return;
    }
    const MatchData& md = *record;
    m_drawnTexts.clear();
    UpdateChangeInfo(md);
    // The clock's opaque box hides every step before it: a repaint within the clock (each of its steps)
    // starts there.
    if (!m_clockRect.contains(event->region().boundingRect()))
        PaintUnderTheClock(p, md, event->region());
    PaintControls(p, md);
    PaintRoundNumber(p);
}

void CExtScrDlg::PaintUnderTheClock(QPainter& p, const MatchData& md, const QRegion& area) {
    PaintBackground(p, md, area & rect());
    PaintSideIndicators(p, md);
    PaintHeader(p, md);
    PaintScores(p, md);
    PaintRoundWins(p, md);
    PaintPenalties(p, md);
    PaintHitCounts(p, md);
    PaintVideoReplayCards(p, md);
    PaintCentrePanel(p);
    for (int side = 0; side < 2; ++side) {
        if (!m_bFlashHidden[side])
            PaintHitLevelBoxes(p, md, side);
    }
    PaintJudgeRows(p, md);
    PaintSlotStates(p, md);
}

void CExtScrDlg::PaintBackground(QPainter& p, const MatchData& md, const QRegion& area) {
    // Part by part, each under a clip of its own rectangle: filled and drawn once over the whole client
    // area under a hit's scattered repaint region, Qt went through every line of the board against the
    // region and handed the fill to its pool threads, some milliseconds for every hit. Black wherever the
    // picture does not reach, whatever the placement on the monitor.
    const QImage& background = Background(BackgroundBitmap(m_layout, md));
    const QRect pictured = background.isNull() ? QRect() : QRect(QPoint(0, 0), SizeOf(m_layout));
    const bool oneToOne = background.size() == pictured.size();
    p.save();
    for (const QRect& part : area) {
        const QRect shown = part & pictured;
        p.setClipRect(part);
        if (shown != part)
            p.fillRect(part, Qt::black);
        if (shown.isEmpty())
            continue;
        if (oneToOne)
            p.drawImage(shown.topLeft(), background, shown);
        else
            p.drawImage(pictured, background);
    }
    p.restore();
}

void CExtScrDlg::UpdateChangeInfo(const MatchData& md) {
    if (md.nCompetitionType != 1) {
        m_strTag[0].clear();
        m_strTag[1].clear();
        return;
    }
    const bool reversed = md.nReverseScreen == 1;
    for (const bool right : {false, true}) {
        const int player = PlayerAt(right, reversed);
        m_strTag[right ? 1 : 0] = TagText(md, m_bTagActive[player], m_nTagStartMs[player]);
    }
}

void CExtScrDlg::PaintSideIndicators(QPainter& p, const MatchData& md) {
    if (!md.bUsePunch)
        return;
    for (int side = 0; side < 2; ++side) {
        const int state = m_nSideIndicator[side];
        if (state != 1 && state != 2)
            continue;
        const int id = (side == 0 ? 1041 : 1043) + state;
        const auto image = m_images.find(id);
        if (image == m_images.end())
            continue;
        const QRect area = Area(DrawnRight(side, md.nReverseScreen) ? IndicatorRight : IndicatorLeft);
        p.drawImage(area, image->second);
    }
}

void CExtScrDlg::PaintHeader(QPainter& p, const MatchData& md) {
    PlainText(p, Area(Title), FontOf(m_layout, kTitleFont), kWhite, TitleLine(md));
    const QFont captions = FontOf(m_layout, kCaptionFont);
    PlainText(p, Area(MatchCaption), captions, kWhite, QStringLiteral("MATCH"));
    PlainText(p, Area(RoundCaption), captions, kWhite, QStringLiteral("ROUND"));
    PlainText(p, Area(ContestNo), FontOf(m_layout, kContestFont), kWhite, RecordText(md.szContestNo));
    const int reversed = md.nReverseScreen;
    for (const bool right : {false, true}) {
        const TTK_Player& player = md.aPlayer[PlayerAt(right, reversed)];
        const bool hasRow = player.nNation != 0;
        // Without a nation row the team text stands above the name, in the name column.
        QRect nation = Area(right ? NationRight : NationLeft);
        QRect name = Area(right ? NameRight : NameLeft);
        if (!hasRow) {
            const bool small = m_layout == Layout::Small;
            const int x = name.x();
            nation = small ? QRect(x, 77, 455, 61) : QRect(x, 118, 720, 89);
            name = small ? QRect(x, 138, 455, 61) : QRect(x, 207, 720, 89);
        }
        // The two sides' name columns meet at the middle: a margin keeps their texts apart.
        const int margin = SizeOf(m_layout).width() / 80;
        name.adjust(margin, 0, -margin, 0);
        if (!hasRow)
            nation.adjust(margin, 0, -margin, 0);
        PlainText(p, nation, FontOf(m_layout, hasRow ? kNationFont : kCaptionFont), kWhite,
                  RecordText(player.szNationCode));
        PlainText(p, name, FontOf(m_layout, kNameFont), kWhite, RecordText(player.szName));
    }
    PaintMinLevels(p, md);
}

void CExtScrDlg::PaintMinLevels(QPainter& p, const MatchData& md) {
    const bool running = md.nGameState != 0;
    const int size = m_layout == Layout::Small ? 28 : 45;
    const QString body = running ? QString::number(md.nLevelBody) : QString();
    const QString head = running && md.nCompetitionType != 2 ? QString::number(md.nLevelHead) : QString();
    const QRect bodyArea = Area(LevelBody);
    if (m_layout == Layout::RoundWinOneJudge) {
        const QRect at = bodyArea.translated(7, -19);
        OutlinedText(p, body, size * 3 / 2, at.center().x() + 0.5, at.top());
        return;
    }
    OutlinedText(p, body, size, bodyArea.center().x() + 0.5, bodyArea.top());
    const QRect headArea = Area(LevelHead);
    OutlinedText(p, head, size, headArea.center().x() + 0.5, headArea.top());
    if (md.bUsePunch) {
        const QRect punch = Area(LevelPunch);
        if (const auto icon = m_images.find(1037); icon != m_images.end()) {
            const int top = punch.top() - static_cast<int>(punch.height() / 1.4);
            p.drawImage(QRect(punch.left(), top, punch.width(), static_cast<int>(punch.height() * 2.2)),
                        icon->second);
        }
        const QString level = running ? QString::number(md.nLevelPunch) : QString();
        OutlinedText(p, level, size, punch.center().x() + 0.5, punch.top());
    }
}

CExtScrDlg::ShownScore CExtScrDlg::ScoreShown(const MatchData& md, bool right) const {
    const int reversed = md.nReverseScreen;
    const int player = PlayerAt(right, reversed);
    ShownScore shown;
    shown.style.text = ScoreText(md, m_nScore[player]);
    if (shown.style.text.isEmpty())
        return shown;
    const bool leader = md.nCompetitionRule == 1 && md.nRoundLeader == player + 1;
    const ScoreStyle place = ScoreStyleFor(m_layout, m_nScore[PlayerAt(false, reversed)],
                                           m_nScore[PlayerAt(true, reversed)], right);
    shown.style = ScoreTextStyle(shown.style.text, place.size, leader, SideColour(player, DarkSides(md)));
    const QRect area = Area(right ? ScoreRight : ScoreLeft);
    shown.at = QPointF(area.center().x() + 0.5 + place.dx, area.top() + place.dy);
    return shown;
}

void CExtScrDlg::KeepFonts() {
    m_fontsKept.Clear();
    // Painted on the board, and laid out without a device (the clock's glyphs).
    for (const FontRole* role : kFontRoles) {
        m_fontsKept.Keep(FontOf(m_layout, *role), this);
        m_fontsKept.Keep(FontOf(m_layout, *role));
    }
    for (const COutlinedTextCache::Style& style : DigitStyles())
        m_fontsKept.Keep(COutlinedTextCache::Face(style.size));
}

std::vector<COutlinedTextCache::Style> CExtScrDlg::DigitStyles() const {
    // The glyphs do not depend on the colours.
    return {ScoreTextStyle({}, ScoreStyleFor(m_layout, 0, 0, false).size, false, kWhite),
            ScoreTextStyle({}, ScoreStyleFor(m_layout, 100, 100, true).size, false, kWhite),
            LevelStyle({}, HitLevelSize(m_layout, 0)), LevelStyle({}, HitLevelSize(m_layout, 100))};
}

void CExtScrDlg::PaintScores(QPainter& p, const MatchData& md) {
    for (const bool right : {false, true}) {
        const ShownScore shown = ScoreShown(md, right);
        if (!shown.style.text.isEmpty())
            Outlined(p, shown.style, shown.at);
        // What the score shows is known once a paint covered all its area, the area a change repaints.
        const QRect area = Area(right ? ScoreRight : ScoreLeft);
        std::optional<ShownScore>& drawn = m_scoreDrawn[right ? 1 : 0];
        if (Covers(p, area))
            drawn = shown;
        else if (Dirty(p, area))
            drawn.reset();
    }
}

void CExtScrDlg::PaintBandCaption(QPainter& p, const QRect& number, const QString& caption) {
    const int height = SizeOf(m_layout).height() * 4 / 100;
    PlainText(p, QRect(number.x(), number.y() - height, number.width(), height),
              FontOf(m_layout, kBandCaptionFont), kWhite, caption);
}

void CExtScrDlg::PaintRoundWins(QPainter& p, const MatchData& md) {
    const QFont font = FontOf(m_layout, kNumberFont);
    for (const bool right : {false, true}) {
        const QRect area = Area(right ? RoundsWonRight : RoundsWonLeft);
        const QString text = RoundsWonText(md, PlayerAt(right, md.nReverseScreen));
        PlainText(p, area, font, kYellow, text);
        // The one-judge board's dots stand right under its "ROUND", which names them.
        if (!text.isEmpty() && m_layout != Layout::RoundWinOneJudge)
            PaintBandCaption(p, area, QStringLiteral("WINS"));
    }
}

void CExtScrDlg::PaintPenalties(QPainter& p, const MatchData& md) {
    const QFont font = FontOf(m_layout, kNumberFont);
    for (const bool right : {false, true}) {
        const int player = PlayerAt(right, md.nReverseScreen);
        const QString text = md.nGameState != 0 ? QString::number(PenaltyCount(md, player)) : QString();
        const QRect area = Area(right ? PenaltyRight : PenaltyLeft);
        PlainText(p, area, font, kWhite, text);
        if (!text.isEmpty())
            PaintBandCaption(p, area, QStringLiteral("GAM-JEOM"));
    }
}

void CExtScrDlg::PaintHitCounts(QPainter& p, const MatchData& md) {
    // The hit counts share their places with the hit-level boxes, which the round-win system does not show.
    if (md.nGameState == 0 || md.nCompetitionRule != 1)
        return;
    const QFont font = FontOf(m_layout, kNumberFont);
    const int round = std::clamp(md.nCurRound, 0, kRoundNumberSlots - 1);
    for (const bool right : {false, true}) {
        const int player = PlayerAt(right, md.nReverseScreen);
        const QRect area = Area(right ? HitCountRight : HitCountLeft);
        PlainText(p, area, font, kWhite, QString::number(md.aSide[player].nPssHits[round]));
        PaintBandCaption(p, area, QStringLiteral("HITS"));
    }
}

void CExtScrDlg::PaintVideoReplayCards(QPainter& p, const MatchData& md) {
    const bool small = m_layout == Layout::Small;
    const auto card = m_images.find(small ? 681 : 437);
    if (card == m_images.end())
        return;
    const QFont font = FontOf(m_layout, kCardFont);
    for (const bool right : {false, true}) {
        const int player = PlayerAt(right, md.nReverseScreen);
        if (md.aSide[player].nVRRemain <= 0 || md.nGameState == 0)
            continue;
        DrawInBands(p, ReplayCardPictureRect(m_layout, right), card->second);
        PlainText(p, Area(right ? ReplayCardRight : ReplayCardLeft), font, kWhite, m_strReplayText[player]);
    }
}

void CExtScrDlg::PaintCentrePanel(QPainter& p) {
    const auto panel = m_images.find(983);
    if (panel == m_images.end())
        return;
    const QRect at = m_layout == Layout::Small ? QRect(493, 330, 294, 170) : QRect(735, 502, 442, 220);
    DrawInBands(p, at, panel->second);
}

void CExtScrDlg::PaintHitLevelBoxes(QPainter& p, const MatchData& md, int side) {
    if (md.nCompetitionRule == 1)
        return;
    const bool right = DrawnRight(side, md.nReverseScreen);
    const bool small = m_layout == Layout::Small;
    for (int age = 0; age < 2; ++age) {
        const TTK_LastHit& hit = md.aSide[side].aLastHit[age];
        int minimum = 0;
        int reached = 0;
        int below = 0;
        switch (hit.nType) {
        case 1:
            minimum = md.nLevelBody, reached = 440, below = 441;
            break;
        case 2:
            minimum = md.nLevelHead, reached = 442, below = 443;
            break;
        case 3:
            minimum = md.nLevelPunch, reached = 1037, below = 1038;
            break;
        default:
            continue;
        }
        // The newest hit stands in the outer box.
        const int id = right ? (age == 0 ? HitBoxRightOuter : HitBoxRightInner)
                             : (age == 0 ? HitBoxLeftOuter : HitBoxLeftInner);
        const QRect box = Area(id);
        if (const auto image = m_images.find(hit.nLevel >= minimum ? reached : below);
            image != m_images.end())
            DrawInBands(p, box, image->second);
        OutlinedText(p, QString::number(hit.nLevel), HitLevelSize(m_layout, hit.nLevel),
                     box.x() + (small ? 25 : 37), small ? 641 : 960);
    }
}

void CExtScrDlg::PaintJudgeRows(QPainter& p, const MatchData& md) {
    const QFont font = FontOf(m_layout, kJudgeFont);
    for (int side = 0; side < 2; ++side) {
        const bool right = DrawnRight(side, md.nReverseScreen);
        for (int judge = 0; judge < 3; ++judge) {
            for (int row = 0; row < kQueueSlots; ++row) {
                const TTK_JudgeMark& mark = md.aSide[side].aJudgeSlot[judge][row];
                if (mark.nKind < 1 || mark.nKind > 10)
                    continue;
                const QRect tile = JudgeTileRect(m_layout, judge, row, right);
                if (const auto image = m_images.find(451 + mark.nKind); image != m_images.end())
                    p.drawImage(tile, image->second);
                QString text;
                if (md.nPSSType == 0)
                    text = QString::number(mark.nValue);
                else if (md.nJudgeNumber != 1)
                    text = QString::number(judge + 1);
                const Qt::Alignment align = md.nPSSType == 1 && mark.nKind == 3
                                                ? (Qt::AlignHCenter | Qt::AlignBottom)
                                                : Qt::Alignment(Qt::AlignCenter);
                PlainText(p, tile, font, kBlack, text, align);
            }
        }
    }
}

void CExtScrDlg::PaintSlotStates(QPainter& p, const MatchData& md) {
    const TileGeometry tiles = Tiles(m_layout);
    const int narrow = m_layout == Layout::Small ? 22 : m_layout == Layout::Large ? 33 : 56;
    for (int side = 0; side < 2; ++side) {
        const bool right = DrawnRight(side, md.nReverseScreen);
        for (int row = 0; row < kQueueSlots; ++row) {
            const int state = md.aSide[side].aSlotState[row].nState;
            const QRect tile = SlotTileRect(m_layout, row, right);
            int id = 0;
            QRect at = tile;
            if (state == 1) {
                id = 444;
            } else if (state >= 2 && state <= 4) {
                id = state == 3 ? 442 : 440;
                at = QRect(tile.x() + tiles.gap / 2, tile.y(), narrow, tile.height());
            }
            if (const auto image = m_images.find(id); id != 0 && image != m_images.end())
                p.drawImage(at, image->second);
        }
    }
}

// What the board's own child areas show: the clock, the notices, the round table, the marks, the flags'
// frames and the team texts.
void CExtScrDlg::PaintControls(QPainter& p, const MatchData& md) {
    const bool dark = DarkSides(md);
    const int reversed = md.nReverseScreen;
    const COLORREF sideColour[2] = {SideColour(PlayerAt(false, reversed), dark),
                                    SideColour(PlayerAt(true, reversed), dark)};

    PaintClock(p);
    if (m_bTimeOutShown) {
        BoxText(p, m_timeOutRect, FontOf(m_layout, kTimeOutFont), m_timeOutColour[0], m_timeOutColour[1],
                QStringLiteral("Time out"));
    }
    if (m_bNoticeShown)
        BoxText(p, Area(Notice), FontOf(m_layout, kTagFont), kBlack, kYellow, m_strNotice);

    // The round table of the round-win system.
    if (md.nCompetitionRule == 1 && (m_bRoundWinPanel || md.bRoundTableShown)) {
        const QFont font = FontOf(m_layout, kNationFont);
        const bool centred = m_layout == Layout::RoundWinOneJudge;
        for (int row = 0; row < 3; ++row) {
            for (const bool right : {false, true}) {
                const COLORREF back = sideColour[right ? 1 : 0];
                BoxText(p, RoundLabelRect(m_layout, row, right), font, kWhite, back,
                        QStringLiteral("R%1").arg(row + 1),
                        centred ? Qt::AlignCenter : Qt::AlignLeft | Qt::AlignVCenter);
                BoxText(p, RoundScoreRect(m_layout, row, right), font, kWhite, back,
                        RoundScoreText(md, PlayerAt(right, reversed), row),
                        centred ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            }
        }
    }
    if (m_bRoundWinPanel) {
        const QFont font = FontOf(m_layout, kCounterFont);
        for (const bool right : {false, true}) {
            BoxText(p, Area(right ? RoundWinsCounterRight : RoundWinsCounterLeft), font, kWhite,
                    sideColour[right ? 1 : 0],
                    QString::number(md.aSide[PlayerAt(right, reversed)].nRoundWins));
        }
    }
    for (int right = 0; right < 2; ++right) {
        for (int mark = 0; mark < 2; ++mark) {
            if (m_winMark[right][mark])
                p.drawImage(RoundWinMarkRect(m_layout, mark, right == 1), Bitmap(m_winMark[right][mark]));
        }
        for (int row = 0; row < 3; ++row) {
            if (m_roundWinnerMark[right][row]) {
                p.drawImage(RoundWinnerMarkRect(m_layout, row, right == 1),
                            Bitmap(m_roundWinnerMark[right][row]));
            }
        }
        if (m_bFlagFrame[right]) {
            p.setPen(QPen(Qt::white, 1));
            p.setBrush(Qt::NoBrush);
            p.drawRect(Area(right ? FlagFrameRight : FlagFrameLeft).adjusted(0, 0, -1, -1));
        }
    }
    if (md.nCompetitionType == 1) {
        const QFont font = FontOf(m_layout, kTagFont);
        if (m_bTagsShown) {
            BoxText(p, Area(TagLeft), font, kYellow, sideColour[0], m_strTag[0]);
            BoxText(p, Area(TagRight), font, kYellow, sideColour[1], m_strTag[1]);
        }
        BoxText(p, Area(TeamPenaltyLeft), font, kYellow, sideColour[0],
                QString::number(TeamPenaltyTotal(md, PlayerAt(false, reversed))));
        BoxText(p, Area(TeamPenaltyRight), font, kYellow, sideColour[1],
                QString::number(TeamPenaltyTotal(md, PlayerAt(true, reversed))));
    }
}

void CExtScrDlg::PaintRoundNumber(QPainter& p) {
    PlainText(p, Area(RoundNumber), FontOf(m_layout, kRoundNumberFont), kWhite, m_strRoundText);
}
