// The public scoreboard: a frameless top-level window on the second monitor that mirrors the match for the
// audience. The operator view creates it once and owns it; it is shown only while two or more monitors
// exist. It keeps almost nothing of its own: every area is drawn from the match record when it is
// repainted. The update operations store the few values the board keeps (scores, texts, tag timers,
// indicator states) or repaint the rectangles of the areas that changed; the repaints are paced to the
// display's frames (CPaintPacer).
//
// Thread: user-interface thread only (a MessageWindow's handle may be read from any thread).
#pragma once

#include "platform/WindowMessages.h"
#include "screens/FittedText.h"
#include "screens/FontsKept.h"
#include "screens/GlyphPictureCache.h"
#include "screens/OutlinedDigitsWarmup.h"
#include "screens/OutlinedTextCache.h"
#include "screens/ScoreboardLayout.h"

#include <QImage>
#include <QRect>
#include <QWidget>

#include <map>
#include <memory>
#include <optional>
#include <vector>

struct MatchData;
class CAnimatedPicture;
class QPainter;
class QRegion;

// The public-screen rectangle: nExtScrWidth x nExtScrHeight centred on the second monitor. Every public
// pop-up is placed by it.
QRect PublicScreenRect(const MatchData& md);

// The public-screen size for a display resolution setting: 1 gives 1280 x 720, anything else 1920 x 1080.
QSize PublicScreenSize(int displayResolution);

// Loads a flag file into a flag picture at the size of `place` and shows it there. An empty path, a path
// naming "none.gif" or a file that cannot be read leaves the picture unloaded and hidden. True when shown.
bool ShowFlagPicture(CAnimatedPicture& flag, const QString& path, const QRect& place);
// The same without waiting for the file: the picture shows at `place` at once and its file is read and
// decoded off the user-interface thread (CAnimatedPicture::LoadInBackground). True when a picture is on its
// way.
bool ShowFlagPictureSoon(CAnimatedPicture& flag, const QString& path, const QRect& place);

class CExtScrDlg : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    static constexpr UINT_PTR kBlinkTimer[2] = {103, 104}; // Chung's and Hong's hit-level blink
    static constexpr UINT kBlinkMs = 750;

    // A top-level window even with a parent: the parent only owns it. Lays itself out for the record's
    // layout and clears the display.
    explicit CExtScrDlg(QWidget* parent = nullptr);
    ~CExtScrDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnTimer(UINT_PTR id) override;

    // ---- creation and placement ----

    // Moves the scoreboard to the public-screen rectangle.
    void PlaceOnScreen();
    // Hides the scoreboard, sizes it from nDisplayResolution (keeping nExtScrWidth/nExtScrHeight in step),
    // places it, lays every area out again, re-applies the side names, replay captions and clock mode, and
    // shows it again when it was shown and two or more monitors exist.
    void ApplyResolution();
    // Empties the round and clock texts, zeroes the scores, hides the flags and the round-win marks and
    // repaints everything. Run at the start of every match.
    void ResetDisplay();

    // ---- update operations ----

    // Every area that belongs to a side drawn anew with the sides exchanged (reversed 1) or not; the scores
    // take the record's totals. A hidden scoreboard stays hidden.
    void ApplyReverseScreen(int reversed);
    // Name and nation boxes of both sides, and both flags loaded from the program folder.
    void ApplySideNames(int reversed);
    void SetVideoReplayTexts(const QString& chung, const QString& hong, int reversed);
    void SetScores(int chung, int hong, int reversed);
    void InvalidateScores();      // also the round leader's highlight
    void SetRoundText(int round); // empty before a match and before its first round
    // Stores the clock text and repaints only the clock, in the colours the text asks for: only the glyphs
    // that changed while the colours stay; nothing when neither the text nor its colours change.
    void SetClockText(const QString& text);
    // Arranges the clock, the notice and "Time out" for nGameState.
    void ApplyClockMode();
    void SetNoticeText(const QString& text);
    void InvalidateHeader();
    void InvalidateMinLevels();
    void InvalidateHitCounts();
    void InvalidateRoundWins();
    void InvalidatePenaltyAreas(int reversed);
    // Round-win marks outside the round-win system; the round table inside it.
    void ShowRoundWinMarks(int reversed);
    // The round rows' scores and, with show 1, the round-winner marks (only while the round-win system's
    // round table is shown) and the round-win counters.
    void UpdateRoundScores();
    void UpdateRoundWinCounts(int show);
    // Team tag countdowns: the active flags and the remaining round time (ms) when each tag began.
    // SetTagState acts only in a team match; UpdateTagPanel always stores.
    void SetTagState(int chungActive, int hongActive, int chungStart, int hongStart);
    void UpdateTagPanel(int chungActive, int hongActive, int chungStart, int hongStart);
    // Punch indicator states per side (0 none, 1 below the minimum, 2 scored); only when bUsePunch is set.
    void SetSideIndicators(int chungState, int hongState);
    // Stops the blink of one side's hit-level box and, with start, blinks it four times over 3 s.
    void StartHitLevelBlink(int side, bool start);
    // Stops both blinks and shows both sides' hit-level boxes.
    void ClearHitLevels();
    void InvalidateHitLevelBoxes();
    void InvalidateHitLevelBoxes(int side); // Chung's (0) or Hong's (1), wherever the board draws them
    // Repaints of the judge rows, a judge's press, a judge's mark and the slot-state column of one side.
    // Judges, rows and slots out of range are ignored.
    void InvalidateJudgeRows(int side, int reversed);
    void InvalidateJudgePress(int side, int unused, int judge, int row, int reversed);
    void InvalidateJudgeSlot(int side, int judge, int row, int reversed);
    void InvalidateSlotRow(int side, int reversed);
    void InvalidateSlot(int side, int slot, int reversed);
    void HideWinMarks();

    // ---- what the board shows, for its owner and the tests ----

    int Score(int side) const { return m_nScore[side & 1]; }
    const QString& ClockText() const { return m_strClockText; }
    const QString& RoundText() const { return m_strRoundText; }
    const QString& ReplayText(int side) const { return m_strReplayText[side & 1]; }
    const QString& NoticeText() const { return m_strNotice; }
    bool HitLevelBlinking(int side) const;
    bool HitLevelHidden(int side) const { return m_bFlashHidden[side & 1] != 0; }
    int Reversed() const { return m_nReversed; }
    int SideIndicator(int side) const { return m_nSideIndicator[side & 1]; }
    int Tag(int side) const { return m_bTagActive[side & 1]; }
    int TagTime(int side) const { return m_nTagStartMs[side & 1]; }
    Scoreboard::Layout CurrentLayout() const { return m_layout; }
    QRect ClockRect() const { return m_clockRect; }
    COLORREF ClockTextColour() const { return m_clockColour[0]; }
    COLORREF ClockBackColour() const { return m_clockColour[1]; }
    bool TimeOutShown() const { return m_bTimeOutShown; }
    bool NoticeShown() const { return m_bNoticeShown; }
    bool TagsShown() const { return m_bTagsShown; }
    bool RoundWinPanelShown() const { return m_bRoundWinPanel != 0; }
    // The bitmap id of round-win mark 0/1 drawn on the left or right; 0 when hidden.
    int RoundWinMark(bool right, int mark) const { return m_winMark[right ? 1 : 0][mark & 1]; }
    // The bitmap id of the round-winner mark of round row 0..2 on the left or right; 0 when hidden.
    int RoundWinnerMark(bool right, int row) const { return m_roundWinnerMark[right ? 1 : 0][row]; }
    // The flag picture drawn on the left or the right.
    CAnimatedPicture* Flag(bool right) const { return m_pFlag[right ? 1 : 0]; }
    bool FlagFrameShown(bool right) const { return m_bFlagFrame[right ? 1 : 0]; }
    // The plain texts the last paint drew: the text as drawn (fitted or elided), the area it was given, the
    // box its glyphs take, its colour and its pixel size. A partial repaint lists only what it drew.
    struct DrawnText {
        QString text;
        QRect area, box;
        COLORREF colour;
        int pixelSize;
    };
    const std::vector<DrawnText>& DrawnTexts() const { return m_drawnTexts; }

protected:
    // Every repaint goes through here (tests record them).
    virtual void InvalidateArea(const QRect& rect);
    void paintEvent(QPaintEvent* event) override;

private:
    struct Images;

    const MatchData* Record() const;
    QRect Area(int id) const { return Scoreboard::AreaRect(m_layout, id); }
    void Invalidate(int id) { InvalidateArea(Area(id)); }
    // Lays every area out for the record's layout: the fonts, flags and the shown states.
    void LayoutAll();
    void ShowRoundWinPanel(bool show);
    bool DrawnRight(int side, int reversed) const { return ((side & 1) ^ (reversed ? 1 : 0)) == 1; }

    // The paint steps, in order (screens/ExtScrPaint.cpp): those the clock's box covers, then the clock and
    // what stands over it.
    void PaintUnderTheClock(QPainter& p, const MatchData& md, const QRegion& area);
    void PaintBackground(QPainter& p, const MatchData& md, const QRegion& area);
    void UpdateChangeInfo(const MatchData& md);
    void PaintSideIndicators(QPainter& p, const MatchData& md);
    void PaintHeader(QPainter& p, const MatchData& md);
    void PaintMinLevels(QPainter& p, const MatchData& md);
    void PaintScores(QPainter& p, const MatchData& md);
    // What the score drawn on the left or the right shows (no text: nothing), and where.
    struct ShownScore {
        COutlinedTextCache::Style style;
        QPointF at;
        bool operator==(const ShownScore&) const = default;
    };
    ShownScore ScoreShown(const MatchData& md, bool right) const;
    // The styles of the numbers a hit changes: the scores' and the hit levels' of the layout.
    std::vector<COutlinedTextCache::Style> DigitStyles() const;
    // Keeps the layout's fonts loaded (m_fontsKept).
    void KeepFonts();
    void PaintRoundWins(QPainter& p, const MatchData& md);
    // The word over a number of the bottom band that says what it counts.
    void PaintBandCaption(QPainter& p, const QRect& number, const QString& caption);
    void PaintPenalties(QPainter& p, const MatchData& md);
    void PaintHitCounts(QPainter& p, const MatchData& md);
    void PaintVideoReplayCards(QPainter& p, const MatchData& md);
    void PaintCentrePanel(QPainter& p);
    void PaintHitLevelBoxes(QPainter& p, const MatchData& md, int side);
    void PaintJudgeRows(QPainter& p, const MatchData& md);
    void PaintSlotStates(QPainter& p, const MatchData& md);
    void PaintControls(QPainter& p, const MatchData& md);
    void PaintRoundNumber(QPainter& p);
    // A one-line text in its area, fitted to the area's width; the same on a filled box.
    void PlainText(QPainter& p, const QRect& rect, const QFont& font, COLORREF colour, const QString& text,
                   Qt::Alignment align = Qt::AlignCenter);
    void BoxText(QPainter& p, const QRect& rect, const QFont& font, COLORREF text, COLORREF back,
                 const QString& value, Qt::Alignment align = Qt::AlignCenter);
    // The text as PlainText fits it to the width of `rect`.
    FittedText Fitted(const QRect& rect, const QFont& font, const QString& text) const;
    // The clock's box, its text drawn from the kept glyph pictures.
    void PaintClock(QPainter& p);
    // The clock's text fitted to the clock and laid out; the last one is kept, for a change lays out the
    // text it replaces and then the one its paint draws.
    const CGlyphPictureCache::Line& ClockLine(const QString& text);
    // The part of the clock a change of its text in unchanged colours repaints: the glyphs that are not the
    // same glyph in the same place.
    QRect ClockChange(const QString& from, const QString& to);
    // An outlined text from the cache, when the repaint covers it; a level's number centred on x, top at y.
    void Outlined(QPainter& p, const COutlinedTextCache::Style& style, QPointF at);
    void OutlinedText(QPainter& p, const QString& text, int size, double x, double y);

    Scoreboard::Layout m_layout = Scoreboard::Layout::Large;
    std::map<int, QImage> m_images; // PNG pictures by id; a missing one leaves its area empty
    int m_nReversed = 0;            // the sides exchanged by the last re-layout
    int m_nScore[2] = {};           // scores shown, Chung's first
    QString m_strReplayText[2];     // captions of the video-replay cards, Chung's first
    QString m_strRoundText;
    QString m_strClockText;
    QString m_strNotice;
    int m_bFlashHidden[2] = {}; // blink state of each side's hit-level box
    int m_nFlashTicks[2] = {};
    int m_bTagActive[2] = {}; // team tag countdown per side
    int m_nTagStartMs[2] = {};
    QString m_strTag[2];          // tag texts drawn left and right
    int m_nSideIndicator[2] = {}; // punch indicator state per side
    int m_bRoundWinPanel = 0;     // the round-win counters replace the scores
    QRect m_clockRect;
    COLORREF m_clockColour[2] = {0xFFFFFF, 0x000001}; // text, background
    bool m_bTimeOutShown = false;
    QRect m_timeOutRect;
    COLORREF m_timeOutColour[2] = {0x000000, 0x00FFFF};
    bool m_bNoticeShown = false;
    bool m_bTagsShown = false;
    int m_winMark[2][2] = {};          // round-win mark bitmaps, left / right
    int m_roundWinnerMark[2][3] = {};  // round-winner mark bitmaps per round row, left / right
    CAnimatedPicture* m_pFlag[2] = {}; // flags drawn left / right (children)
    bool m_bFlagFrame[2] = {};
    COutlinedTextCache m_outlined;                         // the scores' and levels' outlined texts
    std::unique_ptr<COutlinedDigitsWarmup> m_digitsWarmup; // their digits, prepared for the layout
    CFontsKept m_fontsKept;                                // the layout's fonts
    CGlyphPictureCache m_clockGlyphs;
    struct ClockShape {
        QString text;
        QRect rect;
        Scoreboard::Layout layout;
        CGlyphPictureCache::Line line;
    };
    std::optional<ClockShape> m_clockShape; // the clock text laid out last
    std::vector<DrawnText> m_drawnTexts;
    std::optional<ShownScore>
        m_scoreDrawn[2]; // what the paints left on the scores, left / right; none: unknown
};

// The picture in the format the painter copies without converting each line.
QImage PaintableImage(const QImage& image);
