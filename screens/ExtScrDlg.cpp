#include "screens/ExtScrDlg.h"

#include "app/MatchData.h"
#include "platform/DebugOutput.h"

QRect PublicScreenRect(const MatchData& md) {
    const int width = md.nExtScrWidth;
    const int height = md.nExtScrHeight;
    const int x = md.nPrimaryRight + (md.nSecondRight - md.nPrimaryRight - width) / 2;
    const int y = (md.nSecondBottom - height) / 2;
    return QRect(x, y, width, height);
}

QSize PublicScreenSize(int displayResolution) {
    return displayResolution == 1 ? QSize(1280, 720) : QSize(1920, 1080);
}

CExtScrDlg::CExtScrDlg(QWidget* parent) : QWidget(parent, Qt::Window | Qt::FramelessWindowHint) {
    setAutoFillBackground(true);
    QPalette look = palette();
    look.setColor(QPalette::Window, Qt::black);
    setPalette(look);
}

CExtScrDlg::~CExtScrDlg() {
    DestroyWindow();
}

LRESULT CExtScrDlg::WindowProc(UINT, WPARAM, LPARAM) {
    return 0;
}

void CExtScrDlg::PlaceOnScreen() {
    if (!g_pMatchData) {
        DebugPrintf("public scoreboard placed without a match record; left where it is");
        return;
    }
    setGeometry(PublicScreenRect(*g_pMatchData));
}

void CExtScrDlg::ApplyResolution() {
    if (!g_pMatchData) {
        DebugPrintf("public scoreboard resized without a match record; left as it is");
        return;
    }
    MatchData& md = *g_pMatchData;
    const bool wasShown = isVisible();
    hide();
    const QSize size = PublicScreenSize(md.nDisplayResolution);
    md.nExtScrWidth = size.width();
    md.nExtScrHeight = size.height();
    PlaceOnScreen();
    Relayout(md.nReverseScreen);
    if (wasShown && md.nMonitorCount >= 2)
        show();
}

void CExtScrDlg::Relayout(int reversed) {
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::ShowRoundWinMarks(int reversed) {
    m_nReversed = reversed ? 1 : 0;
    UpdateRoundScores();
}

void CExtScrDlg::SetSideIndicators(int chungState, int hongState) {
    if (!g_pMatchData || !g_pMatchData->bUsePunch)
        return;
    m_nSideIndicator[0] = chungState;
    m_nSideIndicator[1] = hongState;
    update();
}

void CExtScrDlg::InvalidateJudgePress(int, int, int, int, int) {
    update();
}

void CExtScrDlg::InvalidateJudgeSlot(int, int, int, int) {
    update();
}

void CExtScrDlg::InvalidateSlot(int, int, int) {
    update();
}

void CExtScrDlg::InvalidateSlotRow(int, int) {
    update();
}

void CExtScrDlg::UpdateRoundScores() {
    update();
}

void CExtScrDlg::UpdateTagPanel(int chungTag, int hongTag, int chungTime, int hongTime) {
    m_nTag[0] = chungTag;
    m_nTag[1] = hongTag;
    m_nTagTime[0] = chungTime;
    m_nTagTime[1] = hongTime;
    update();
}

void CExtScrDlg::SetScores(int chung, int hong, int reversed) {
    m_nScore[0] = chung;
    m_nScore[1] = hong;
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::InvalidateScores() {
    update();
}

void CExtScrDlg::SetRoundText(int round) {
    m_strRoundText = g_pMatchData && g_pMatchData->nGameState != 0 ? QString::number(round) : QString();
    update();
}

void CExtScrDlg::SetClockText(const QString& text) {
    m_strClockText = text;
    update();
}

void CExtScrDlg::SetVideoReplayTexts(const QString& chung, const QString& hong, int reversed) {
    m_strReplayText[0] = chung;
    m_strReplayText[1] = hong;
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::InvalidateHitCounts() {
    update();
}

void CExtScrDlg::InvalidateMinLevels() {
    update();
}

void CExtScrDlg::InvalidateHeader() {
    update();
}

void CExtScrDlg::InvalidatePenaltyAreas(int reversed) {
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::InvalidateHitLevelBoxes() {
    update();
}

void CExtScrDlg::InvalidateJudgeRows(int, int reversed) {
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::ApplySideNames(int reversed) {
    m_nReversed = reversed ? 1 : 0;
    update();
}

void CExtScrDlg::ClearHitLevels() {
    m_bBlink[0] = m_bBlink[1] = false;
    update();
}

void CExtScrDlg::StartHitLevelBlink(int side, bool start) {
    m_bBlink[side & 1] = start;
    update();
}

void CExtScrDlg::SetTagState(int chungActive, int hongActive, int chungStart, int hongStart) {
    if (!g_pMatchData || g_pMatchData->nCompetitionType != 1)
        return;
    m_bTagActive[0] = chungActive;
    m_bTagActive[1] = hongActive;
    m_nTagStartMs[0] = chungStart;
    m_nTagStartMs[1] = hongStart;
    update();
}
