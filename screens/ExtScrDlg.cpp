#include "screens/ExtScrDlg.h"

#include "app/ColorRef.h"
#include "app/MatchData.h"
#include "app/PngResource.h"
#include "controls/AnimatedPicture.h"
#include "match/ScoreRules.h"
#include "platform/DebugOutput.h"
#include "platform/WindowTimers.h"
#include "screens/PaintPacer.h"
#include "screens/ScoreboardRules.h"

#include <algorithm>
#include <utility>

using namespace Scoreboard;

namespace {

// PNG pictures the painting draws.
constexpr int kImageIds[] = {437,  681,  440, 441, 442, 443, 1037, 1038, 444, 983, 1042, 1043,
                             1044, 1045, 452, 453, 454, 455, 456,  457,  458, 459, 460,  461};

// How far beside a slot-state tile its neighbours are repainted with it.
constexpr int kSlotBeside = 76;

} // namespace

QRect PublicScreenRect(const MatchData& md) {
    return CentreOnMonitor(SecondMonitorRect(md), QSize(md.nExtScrWidth, md.nExtScrHeight));
}

QSize PublicScreenSize(int displayResolution) {
    return displayResolution == 1 ? QSize(1280, 720) : QSize(1920, 1080);
}

bool ShowFlagPicture(CAnimatedPicture& flag, const QString& path, const QRect& place) {
    bool shown = false;
    if (!path.isEmpty() && !path.contains(QStringLiteral("none.gif")) &&
        flag.Load(path, place.width(), place.height())) {
        flag.move(place.topLeft());
        flag.Draw();
        shown = true;
    } else {
        flag.UnLoad();
    }
    flag.setVisible(shown);
    return shown;
}

bool ShowFlagPictureSoon(CAnimatedPicture& flag, const QString& path, const QRect& place) {
    const bool shown = !path.isEmpty() && !path.contains(QStringLiteral("none.gif"));
    flag.move(place.topLeft());
    if (shown)
        flag.LoadInBackground(path, place.width(), place.height());
    else
        flag.UnLoad();
    flag.setVisible(shown);
    return shown;
}

CExtScrDlg::CExtScrDlg(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    new CPaintPacer(*this, CPaintPacer::kDisplayFrame);
    setWindowTitle(QStringLiteral("Scoreboard"));
    for (const int id : kImageIds) {
        // In the format the painter copies without converting each line: a hit draws its level boxes.
        if (const std::unique_ptr<QImage> image = LoadPngResource(id))
            m_images.emplace(id, PaintableImage(*image));
    }
    for (const int side : {0, 1}) {
        CAnimatedPicture* flag = m_pFlag[side] = new CAnimatedPicture(this);
        flag->hide();
        // A flag file that turns out not to show takes its frame with it.
        connect(flag, &CAnimatedPicture::pictureReady, this, [this, side, flag](bool shown) {
            if (shown)
                return;
            flag->hide();
            m_bFlagFrame[side] = false;
            Invalidate(side ? FlagFrameRight : FlagFrameLeft);
        });
    }
    if (const MatchData* md = Record()) {
        m_nReversed = md->nReverseScreen ? 1 : 0;
        resize(md->nExtScrWidth > 0 ? QSize(md->nExtScrWidth, md->nExtScrHeight) : SizeOf(LayoutOf(*md)));
    }
    LayoutAll();
    ResetDisplay();
}

CExtScrDlg::~CExtScrDlg() {
    DestroyWindow();
}

LRESULT CExtScrDlg::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

const MatchData* CExtScrDlg::Record() const {
    return g_pMatchData;
}

void CExtScrDlg::InvalidateArea(const QRect& rect) {
    update(rect);
}

void CExtScrDlg::PlaceOnScreen() {
    const MatchData* md = Record();
    if (!md) {
        DebugPrintf("public scoreboard placed without a match record; left where it is");
        return;
    }
    setGeometry(PublicScreenRect(*md));
}

void CExtScrDlg::ApplyResolution() {
    MatchData* md = g_pMatchData;
    if (!md) {
        DebugPrintf("public scoreboard resized without a match record; left as it is");
        return;
    }
    const bool wasShown = isVisible();
    hide();
    const QSize size = PublicScreenSize(md->nDisplayResolution);
    md->nExtScrWidth = size.width();
    md->nExtScrHeight = size.height();
    PlaceOnScreen();
    LayoutAll();
    ApplySideNames(md->nReverseScreen);
    SetVideoReplayTexts(m_strReplayText[0], m_strReplayText[1], md->nReverseScreen);
    ApplyClockMode();
    // With one monitor the board would cover the operator screen.
    if (wasShown && md->nMonitorCount >= 2)
        show();
    update();
}

void CExtScrDlg::LayoutAll() {
    const MatchData* md = Record();
    if (md)
        m_layout = LayoutOf(*md);
    m_clockRect = Area(Clock);
    m_timeOutRect = Area(TimeOut);
    m_bTimeOutShown = false;
    m_bNoticeShown = false;
    m_bTagsShown = md && md->nCompetitionType == 1;
    for (const bool right : {false, true}) {
        CAnimatedPicture* flag = m_pFlag[right ? 1 : 0];
        const QRect place = Area(right ? FlagRight : FlagLeft);
        flag->move(place.topLeft());
    }
    for (int row = 0; row < 3; ++row)
        m_roundWinnerMark[0][row] = m_roundWinnerMark[1][row] = 0;
    m_digitsWarmup = std::make_unique<COutlinedDigitsWarmup>(m_outlined, DigitStyles());
    KeepFonts();
    update();
}

void CExtScrDlg::ResetDisplay() {
    m_strRoundText.clear();
    m_strClockText.clear();
    m_bFlagFrame[0] = m_bFlagFrame[1] = false;
    InvalidateHitLevelBoxes();
    HideWinMarks();
    m_nScore[0] = m_nScore[1] = 0;
    for (CAnimatedPicture* flag : m_pFlag) {
        flag->UnLoad();
        flag->hide();
    }
    update();
}

void CExtScrDlg::ApplyReverseScreen(int reversed) {
    const MatchData* md = Record();
    m_nReversed = reversed ? 1 : 0;
    if (!md) {
        update();
        return;
    }
    const bool wasShown = isVisible();
    hide();
    // The background of the layout follows the reverse flag as well.
    m_layout = LayoutOf(*md);
    ApplySideNames(reversed);
    SetVideoReplayTexts(m_strReplayText[0], m_strReplayText[1], reversed);
    InvalidatePenaltyAreas(reversed);
    const auto [chung, hong] = ScoreRules::DisplayedScores(*md);
    SetScores(chung, hong, reversed);
    if (md->nCompetitionRule != 1) {
        for (int side = 0; side < 2; ++side) {
            KillTimer(kBlinkTimer[side]);
            m_bFlashHidden[side] = 0;
        }
    }
    ShowRoundWinMarks(reversed);
    InvalidateHitCounts();
    if (wasShown && md->nMonitorCount >= 2)
        show();
    update();
}

void CExtScrDlg::ApplySideNames(int reversed) {
    const MatchData* md = Record();
    if (!md)
        return;
    const QSize flagSize = m_layout == Layout::Small ? QSize(150, 100) : QSize(222, 148);
    for (const bool right : {false, true}) {
        const QRect place(Area(right ? FlagRight : FlagLeft).topLeft(), flagSize);
        m_bFlagFrame[right ? 1 : 0] =
            ShowFlagPictureSoon(*m_pFlag[right ? 1 : 0], FlagPath(*md, PlayerAt(right, reversed)), place);
    }
    for (const int id : {NameLeft, NameRight, NationLeft, NationRight, FlagFrameLeft, FlagFrameRight})
        Invalidate(id);
}

void CExtScrDlg::SetVideoReplayTexts(const QString& chung, const QString& hong, int reversed) {
    m_strReplayText[0] = chung;
    m_strReplayText[1] = hong;
    const bool small = m_layout == Layout::Small;
    for (const int id : {ReplayCardLeft, ReplayCardRight})
        InvalidateArea(Area(id).translated(small ? 6 : 10, 0).adjusted(0, small ? -12 : -18, 0, 0));
    // A side whose last request is used up loses its card.
    for (const bool right : {false, true})
        InvalidateArea(ReplayCardPictureRect(m_layout, right));
    (void)reversed; // the painting reads the side from the record
}

void CExtScrDlg::SetScores(int chung, int hong, int reversed) {
    m_nScore[0] = chung;
    m_nScore[1] = hong;
    m_nReversed = reversed ? 1 : 0;
    // Only a score whose text, size, colours or place changed: a hit scores for one side, and each
    // 400-pixel score repainted is a large part of the board.
    const MatchData* md = Record();
    for (const bool right : {false, true}) {
        if (!md || m_scoreDrawn[right ? 1 : 0] != ScoreShown(*md, right))
            Invalidate(right ? ScoreRight : ScoreLeft);
    }
}

void CExtScrDlg::InvalidateScores() {
    Invalidate(ScoreLeft);
    Invalidate(ScoreRight);
}

void CExtScrDlg::SetRoundText(int round) {
    const MatchData* md = Record();
    // Between loading a contest and its first start there is no round to show ("0").
    m_strRoundText = md && md->nGameState != 0 && round >= 1 ? QString::number(round) : QString();
    Invalidate(RoundNumber);
}

void CExtScrDlg::SetClockText(const QString& text) {
    const MatchData* md = Record();
    const ClockMode mode = ClockModeFor(m_layout, md ? md->nGameState : 0);
    TextColours colours{m_clockColour[0], m_clockColour[1]};
    if (!mode.fixedColours)
        colours = ClockColours(text);
    // The round clock sets its text every 10 ms; the board repaints only when what it shows changes.
    const bool sameColours = colours.text == m_clockColour[0] && colours.back == m_clockColour[1];
    if (text == m_strClockText && sameColours)
        return;
    const QString old = std::exchange(m_strClockText, text);
    m_clockColour[0] = colours.text;
    m_clockColour[1] = colours.back;
    // In the last ten seconds the text changes every 10 ms, mostly in its last digit.
    const QRect changed = sameColours ? ClockChange(old, text) : m_clockRect;
    if (!changed.isEmpty())
        InvalidateArea(changed);
}

QRect CExtScrDlg::ClockChange(const QString& from, const QString& to) {
    const CGlyphPictureCache::Line was = ClockLine(from);
    const CGlyphPictureCache::Line& is = ClockLine(to);
    // Another size, or a text the face cannot show glyph by glyph, is drawn anew as a whole.
    if (was.font != is.font || (was.glyphs.empty() && !was.text.isEmpty()) ||
        (is.glyphs.empty() && !is.text.isEmpty()))
        return m_clockRect;
    const QColor colour = ColorFromRef(m_clockColour[0]);
    QRect changed;
    for (std::size_t i = 0; i < std::max(was.glyphs.size(), is.glyphs.size()); ++i) {
        const bool inWas = i < was.glyphs.size(), inIs = i < is.glyphs.size();
        if (inWas && inIs && was.glyphs[i] == is.glyphs[i])
            continue;
        if (inWas)
            changed |= m_clockGlyphs.Bounds(was, was.glyphs[i], colour);
        if (inIs)
            changed |= m_clockGlyphs.Bounds(is, is.glyphs[i], colour);
    }
    return changed & m_clockRect;
}

void CExtScrDlg::ApplyClockMode() {
    const MatchData* md = Record();
    if (!md)
        return;
    const ClockMode mode = ClockModeFor(m_layout, md->nGameState);
    const QRect oldClock = m_clockRect;
    const QRect oldTimeOut = m_timeOutRect;
    m_clockRect = mode.clock;
    if (mode.fixedColours) {
        m_clockColour[0] = mode.clockText;
        m_clockColour[1] = mode.clockBack;
    } else {
        const TextColours colours = ClockColours(m_strClockText);
        m_clockColour[0] = colours.text;
        m_clockColour[1] = colours.back;
    }
    m_bTimeOutShown = mode.timeOutShown;
    if (mode.timeOutShown) {
        m_timeOutRect = mode.timeOut;
        m_timeOutColour[0] = mode.timeOutText;
        m_timeOutColour[1] = mode.timeOutBack;
    }
    m_bNoticeShown = mode.noticeShown;
    if (mode.tagsShown >= 0)
        m_bTagsShown = mode.tagsShown == 1 && md->nCompetitionType == 1;
    if (md->nCompetitionRule == 1 && mode.roundWinPanel >= 0)
        ShowRoundWinPanel(mode.roundWinPanel == 1);
    for (const QRect& r :
         {oldClock, oldTimeOut, m_clockRect, m_timeOutRect, Area(Notice), Area(TagLeft), Area(TagRight)})
        InvalidateArea(r);
}

void CExtScrDlg::ShowRoundWinPanel(bool show) {
    if (!show && !m_bRoundWinPanel)
        return;
    InvalidateScores();
    if (show) {
        m_bRoundWinPanel = 1;
        UpdateRoundScores();
    } else {
        m_bRoundWinPanel = 0;
        for (int row = 0; row < 3; ++row)
            m_roundWinnerMark[0][row] = m_roundWinnerMark[1][row] = 0;
    }
    for (const int id : {RoundWinsCounterLeft, RoundWinsCounterRight})
        Invalidate(id);
    for (int row = 0; row < 3; ++row) {
        for (const bool right : {false, true}) {
            InvalidateArea(RoundLabelRect(m_layout, row, right));
            InvalidateArea(RoundScoreRect(m_layout, row, right));
            InvalidateArea(RoundWinnerMarkRect(m_layout, row, right));
        }
    }
}

void CExtScrDlg::SetNoticeText(const QString& text) {
    m_strNotice = text;
    Invalidate(Notice);
}

void CExtScrDlg::InvalidateHeader() {
    Invalidate(Title);
    Invalidate(ContestNo);
}

void CExtScrDlg::InvalidateMinLevels() {
    InvalidateArea(Area(LevelBody).adjusted(-10, -10, 10, 10));
    InvalidateArea(Area(LevelHead).adjusted(-10, -10, 10, 10));
    // The punch icon stands taller than its area.
    const QRect punch = Area(LevelPunch);
    InvalidateArea(punch.adjusted(0, -punch.height(), 0, punch.height()));
}

void CExtScrDlg::InvalidateHitCounts() {
    Invalidate(HitCountLeft);
    Invalidate(HitCountRight);
}

void CExtScrDlg::InvalidateRoundWins() {
    Invalidate(RoundsWonLeft);
    Invalidate(RoundsWonRight);
}

void CExtScrDlg::InvalidatePenaltyAreas(int reversed) {
    Invalidate(PenaltyLeft);
    Invalidate(PenaltyCaptionLeft);
    Invalidate(reversed ? TeamPenaltyRight : TeamPenaltyLeft);
    Invalidate(PenaltyRight);
    Invalidate(PenaltyCaptionRight);
    Invalidate(reversed ? TeamPenaltyLeft : TeamPenaltyRight);
}

void CExtScrDlg::HideWinMarks() {
    for (int right = 0; right < 2; ++right) {
        for (int mark = 0; mark < 2; ++mark) {
            m_winMark[right][mark] = 0;
            InvalidateArea(RoundWinMarkRect(m_layout, mark, right == 1));
        }
        for (int row = 0; row < 3; ++row) {
            m_roundWinnerMark[right][row] = 0;
            InvalidateArea(RoundWinnerMarkRect(m_layout, row, right == 1));
        }
    }
}

void CExtScrDlg::ShowRoundWinMarks(int reversed) {
    HideWinMarks();
    const MatchData* md = Record();
    if (!md)
        return;
    if (md->nCompetitionRule == 1) {
        InvalidateRoundWins();
        if (md->bRoundTableShown)
            UpdateRoundScores();
        return;
    }
    const bool small = m_layout == Layout::Small;
    for (int side = 0; side < 2; ++side) {
        const int wins = md->aSide[side].nRoundWins;
        if (wins < 1 || wins > 2)
            continue;
        const int bitmap = small ? (side == 0 ? 689 : 690) : (side == 0 ? 480 : 479);
        const int at = DrawnRight(side, reversed) ? 1 : 0;
        for (int mark = 0; mark < wins; ++mark)
            m_winMark[at][mark] = bitmap;
    }
}

void CExtScrDlg::UpdateRoundScores() {
    for (int row = 0; row < 3; ++row) {
        for (const bool right : {false, true}) {
            InvalidateArea(RoundLabelRect(m_layout, row, right));
            InvalidateArea(RoundScoreRect(m_layout, row, right));
        }
    }
    UpdateRoundWinCounts(1);
}

void CExtScrDlg::UpdateRoundWinCounts(int show) {
    const MatchData* md = Record();
    for (int row = 0; row < 3; ++row) {
        for (int right = 0; right < 2; ++right) {
            m_roundWinnerMark[right][row] = 0;
            InvalidateArea(RoundWinnerMarkRect(m_layout, row, right == 1));
        }
    }
    // The round-winner marks belong to the round table of the round-win system, shown between rounds.
    if (show == 1 && md && md->nCompetitionRule == 1 && (m_bRoundWinPanel || md->bRoundTableShown)) {
        for (int round = 1; round <= 3 && round <= md->nCurRound; ++round) {
            const int winner = md->nRoundWinner[round - 1];
            if (winner != 1 && winner != 2)
                continue;
            const int side = winner - 1;
            m_roundWinnerMark[DrawnRight(side, md->nReverseScreen) ? 1 : 0][round - 1] =
                side == 0 ? 924 : 925;
        }
    }
    Invalidate(RoundWinsCounterLeft);
    Invalidate(RoundWinsCounterRight);
}

void CExtScrDlg::SetTagState(int chungActive, int hongActive, int chungStart, int hongStart) {
    const MatchData* md = Record();
    if (!md || md->nCompetitionType != 1)
        return;
    UpdateTagPanel(chungActive, hongActive, chungStart, hongStart);
}

void CExtScrDlg::UpdateTagPanel(int chungActive, int hongActive, int chungStart, int hongStart) {
    Invalidate(TagLeft);
    Invalidate(TagRight);
    m_bTagActive[0] = chungActive;
    m_bTagActive[1] = hongActive;
    m_nTagStartMs[0] = chungStart;
    m_nTagStartMs[1] = hongStart;
}

void CExtScrDlg::SetSideIndicators(int chungState, int hongState) {
    const MatchData* md = Record();
    if (!md || !md->bUsePunch)
        return;
    m_nSideIndicator[0] = chungState;
    m_nSideIndicator[1] = hongState;
    Invalidate(IndicatorLeft);
    Invalidate(IndicatorRight);
}

bool CExtScrDlg::HitLevelBlinking(int side) const {
    return platform::WindowTimers::instance().isArmed(GetSafeHwnd(), kBlinkTimer[side & 1]);
}

void CExtScrDlg::StartHitLevelBlink(int side, bool start) {
    side &= 1;
    KillTimer(kBlinkTimer[side]);
    // The other side's boxes change only when its blink had them hidden.
    if (m_bFlashHidden[1 - side])
        InvalidateHitLevelBoxes(1 - side);
    m_bFlashHidden[0] = m_bFlashHidden[1] = 0;
    InvalidateHitLevelBoxes(side);
    if (start) {
        m_nFlashTicks[side] = 0;
        SetTimer(kBlinkTimer[side], kBlinkMs);
    }
}

void CExtScrDlg::ClearHitLevels() {
    for (int side = 0; side < 2; ++side) {
        KillTimer(kBlinkTimer[side]);
        m_bFlashHidden[side] = 0;
    }
    InvalidateHitLevelBoxes();
}

void CExtScrDlg::OnTimer(UINT_PTR id) {
    const int side = id == kBlinkTimer[0] ? 0 : id == kBlinkTimer[1] ? 1 : -1;
    if (side < 0)
        return;
    const MatchData* md = Record();
    const bool right = DrawnRight(side, md ? md->nReverseScreen : 0);
    Invalidate(right ? HitBoxRightOuter : HitBoxLeftOuter);
    m_bFlashHidden[side] = m_nFlashTicks[side] % 2 == 0 ? 1 : 0;
    ++m_nFlashTicks[side];
    if (m_nFlashTicks[side] > 3)
        KillTimer(kBlinkTimer[side]);
}

void CExtScrDlg::InvalidateHitLevelBoxes() {
    for (const int id : {HitBoxLeftInner, HitBoxRightInner, HitBoxLeftOuter, HitBoxRightOuter})
        Invalidate(id);
}

void CExtScrDlg::InvalidateHitLevelBoxes(int side) {
    const MatchData* md = Record();
    if (DrawnRight(side, md ? md->nReverseScreen : 0))
        InvalidateArea(Area(HitBoxRightInner) | Area(HitBoxRightOuter));
    else
        InvalidateArea(Area(HitBoxLeftInner) | Area(HitBoxLeftOuter));
}

void CExtScrDlg::InvalidateJudgeRows(int side, int reversed) {
    const bool right = DrawnRight(side, reversed);
    for (int judge = 0; judge < 3; ++judge)
        for (int row = 0; row < kQueueSlots; ++row)
            InvalidateArea(JudgeTileRect(m_layout, judge, row, right));
}

void CExtScrDlg::InvalidateJudgePress(int side, int, int judge, int row, int reversed) {
    if (judge < 0 || judge > 2 || row < 0 || row >= kQueueSlots)
        return;
    const bool right = DrawnRight(side, reversed);
    InvalidateArea(JudgeHeaderRect(m_layout, judge, right));
    InvalidateArea(JudgeTileRect(m_layout, judge, row, right));
}

void CExtScrDlg::InvalidateJudgeSlot(int side, int judge, int row, int reversed) {
    if (judge < 0 || judge > 2 || row < 0 || row >= kQueueSlots)
        return;
    // The tile and the one above it as one rectangle: a hit's judge marks mark dozens of tiles, and each
    // rectangle is merged into the board's repaint region on its own.
    const bool right = DrawnRight(side, reversed);
    QRect tiles = JudgeTileRect(m_layout, judge, row, right);
    if (row >= 1)
        tiles |= JudgeTileRect(m_layout, judge, row - 1, right);
    InvalidateArea(tiles);
}

void CExtScrDlg::InvalidateSlotRow(int side, int reversed) {
    // One rectangle around the column: each of its tiles marked on its own made the board's repaint
    // region a list of dozens of rectangles, merged anew at every mark.
    const bool right = DrawnRight(side, reversed);
    QRect column;
    for (int row = 0; row < kQueueSlots; ++row)
        column |= SlotTileRect(m_layout, row, right).adjusted(-kSlotBeside, 0, kSlotBeside, 0);
    InvalidateArea(column);
}

void CExtScrDlg::InvalidateSlot(int side, int slot, int reversed) {
    if (slot < 0 || slot >= kQueueSlots)
        return;
    const bool right = DrawnRight(side, reversed);
    const QRect tile = SlotTileRect(m_layout, slot, right);
    const QRect beside = right ? tile.translated(-2 * kSlotBeside, 0) : tile.translated(kSlotBeside, 0);
    InvalidateArea(tile | beside.adjusted(0, 0, kSlotBeside, 0));
}
