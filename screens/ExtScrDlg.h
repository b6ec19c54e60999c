// The public scoreboard: a frameless top-level window on the second monitor that mirrors the match for the
// audience. The operator view creates it once and owns it; it stays hidden while fewer than two monitors
// exist. Until its painting exists, the update interface stores what it is given and repaints.
//
// Thread: user-interface thread only (a MessageWindow's handle may be read from any thread).
#pragma once

#include "platform/WindowMessages.h"

#include <QRect>
#include <QWidget>

struct MatchData;

// The public-screen rectangle: nExtScrWidth x nExtScrHeight centred on the second monitor,
// x = nPrimaryRight + (nSecondRight - nPrimaryRight - width) / 2, y = (nSecondBottom - height) / 2.
// Every public pop-up is placed by it.
QRect PublicScreenRect(const MatchData& md);

// The public-screen size for a display resolution setting: 1 gives 1280 x 720, anything else 1920 x 1080.
QSize PublicScreenSize(int displayResolution);

class CExtScrDlg : public QWidget, public MessageWindow {
    Q_OBJECT
public:
    // A top-level window even with a parent: the parent only owns it.
    explicit CExtScrDlg(QWidget* parent = nullptr);
    ~CExtScrDlg() override;

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // Moves the scoreboard to the public-screen rectangle. Called after a display change.
    void PlaceOnScreen();
    // Hides the scoreboard, sizes it from nDisplayResolution (keeping nExtScrWidth/nExtScrHeight in step),
    // places it, lays every area out again with nReverseScreen and shows it again if it was shown and two or
    // more monitors exist.
    void ApplyResolution();
    // Lays every area out with the sides exchanged (reversed 1) or not.
    void Relayout(int reversed);

    // Round-win marks (at most 2 per side) and the round scores.
    void ShowRoundWinMarks(int reversed);
    // Punch indicator states per side (0 none, 1 punch below threshold, 2 punch scored); ignored unless
    // bUsePunch is set.
    void SetSideIndicators(int chungState, int hongState);
    // Repaint requests for the judge presses, judge marks and technique slots of one side.
    void InvalidateJudgePress(int side, int kind, int judge, int slot, int reversed);
    void InvalidateJudgeSlot(int side, int judge, int slot, int reversed);
    void InvalidateSlot(int side, int slot, int reversed);
    void InvalidateSlotRow(int side, int reversed);
    // Round scores of the played rounds from the match record.
    void UpdateRoundScores();
    // Team tag panel: each side's tag count and tag clock.
    void UpdateTagPanel(int chungTag, int hongTag, int chungTime, int hongTime);

    // What the operator screen hands over as it shows a value (each stores and repaints; the painting of the
    // areas comes with the scoreboard itself).
    void SetScores(int chung, int hong, int reversed);
    void InvalidateScores(); // also the round leader's highlight
    void SetRoundText(int round);
    void SetClockText(const QString& text);
    void SetVideoReplayTexts(const QString& chung, const QString& hong, int reversed);
    void InvalidateHitCounts();
    void InvalidateMinLevels();
    void InvalidateHeader();
    void InvalidatePenaltyAreas(int reversed);
    void InvalidateHitLevelBoxes();
    void InvalidateJudgeRows(int side, int reversed);
    void ApplySideNames(int reversed);
    void ClearHitLevels();
    void StartHitLevelBlink(int side, bool start);
    void SetTagState(int chungActive, int hongActive, int chungStart, int hongStart);

    int Score(int side) const { return m_nScore[side & 1]; }
    const QString& ClockText() const { return m_strClockText; }
    const QString& RoundText() const { return m_strRoundText; }
    const QString& ReplayText(int side) const { return m_strReplayText[side & 1]; }
    bool HitLevelBlinking(int side) const { return m_bBlink[side & 1]; }

    int Reversed() const { return m_nReversed; }
    int SideIndicator(int side) const { return m_nSideIndicator[side & 1]; }
    int Tag(int side) const { return m_nTag[side & 1]; }
    int TagTime(int side) const { return m_nTagTime[side & 1]; }

private:
    int m_nReversed = 0;          // sides exchanged on this screen
    int m_nSideIndicator[2] = {}; // punch indicator state per side
    int m_nTag[2] = {};           // team tag count per side
    int m_nTagTime[2] = {};       // team tag clock per side
    int m_nScore[2] = {};         // scores shown
    QString m_strClockText;       // clock text from the operator screen
    QString m_strRoundText;       // round number text
    QString m_strReplayText[2];   // captions of the video-replay cards
    bool m_bBlink[2] = {};        // hit-level box blinking per side
    int m_bTagActive[2] = {};     // team tag countdown per side
    int m_nTagStartMs[2] = {};
};
