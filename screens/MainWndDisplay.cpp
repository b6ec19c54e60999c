// The operator view's display operations: the values of the match on the operator screen, and the calls
// that pass them on to the public scoreboard.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"
#include "screens/RoundLeader.h"
#include "screens/ScreenText.h"

#include <QFont>
#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>
#include <cstring>

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

void SetColours(QWidget* widget, const QColor& text, const QColor& back) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Window, back);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

const QColor& SideColour(int side) {
    return side == 0 ? OperatorColours::Chung : OperatorColours::Hong;
}

int QuotaInForce(const MatchData& md) {
    return md.nCompetitionType == 1 ? md.nTeamVRQuota : md.nVRQuota;
}

// Placeholder artwork until the screen's pictures exist: each kind of mark or icon is a filled box of its
// own colour.
QColor MarkColour(int kind) {
    static const QColor colours[] = {Qt::darkGray,         QColor(40, 160, 60), QColor(230, 140, 20),
                                     QColor(120, 60, 200), QColor(0, 150, 160), Qt::darkRed};
    return colours[static_cast<std::size_t>(std::clamp(kind, 0, 100)) % std::size(colours)];
}

void DrawBox(QPainter& painter, const QRect& rect, const QColor& fill, const QString& text,
             int align = Qt::AlignCenter) {
    painter.fillRect(rect, fill);
    if (!text.isEmpty())
        painter.drawText(rect, align | Qt::TextSingleLine, text);
}

// Every paint part: white text on a transparent background, in the given font, restored afterwards.
class PaintScope {
public:
    PaintScope(QPainter& painter, int pixelSize, bool bold) : m_painter(painter) {
        m_painter.save();
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform);
        m_painter.setBackgroundMode(Qt::TransparentMode);
        m_painter.setPen(Qt::white);
        QFont font(QStringLiteral("Helvetica"));
        font.setPixelSize(pixelSize);
        font.setBold(bold);
        m_painter.setFont(font);
    }
    ~PaintScope() { m_painter.restore(); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;

private:
    QPainter& m_painter;
};

} // namespace

void CMainWnd::SetupControls() {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    for (const ControlPlace& place : OperatorLayout::Controls()) {
        QWidget* control = nullptr;
        switch (place.kind) {
        case ControlKind::Area:
            continue;
        case ControlKind::Button:
        case ControlKind::CheckButton: {
            QPushButton* button = Button(place.id);
            button->setText(QString::fromUtf8(place.text));
            button->setCheckable(place.kind == ControlKind::CheckButton);
            control = button;
            break;
        }
        default: {
            QLabel* label = Static(place.id);
            label->setText(QString::fromUtf8(place.text));
            label->setAlignment(Qt::AlignCenter);
            if (place.kind == ControlKind::ChungStatic)
                SetColours(label, Qt::white, OperatorColours::Chung);
            else if (place.kind == ControlKind::HongStatic)
                SetColours(label, Qt::white, OperatorColours::Hong);
            else if (place.kind == ControlKind::PanelStatic)
                SetColours(label, Qt::black, OperatorColours::Panel);
            control = label;
            break;
        }
        }
        control->setGeometry(place.rect);
        control->setVisible(place.visible);
    }
    QFont big = font();
    big.setBold(true);
    big.setPixelSize(79);
    Static(ScoreChung)->setFont(big);
    Static(ScoreHong)->setFont(big);
    big.setPixelSize(60);
    Static(Clock)->setFont(big);

    ShowDlgItem(CoachTimeout, md.nCompetitionType == 2 && md.nRound == 1);
    ShowDlgItem(RoundWinIndicatorChung, md.nCompetitionRule == 1);
    ShowDlgItem(RoundWinIndicatorHong, md.nCompetitionRule == 1);
    m_bLampNextShow[0] = m_bLampNextShow[1] = 0;
    connect(Button(Draw), &QPushButton::clicked, this, &CMainWnd::OnClickedDraw);

    Button(ShowScoreboard)->setChecked(true);
    Button(ReverseScreen)->setChecked(md.nReverseScreen != 0);
    if (m_pExtScrDlg) {
        m_pExtScrDlg->Relayout(md.nReverseScreen);
        m_pExtScrDlg->setVisible(md.nMonitorCount >= 2);
    }
}

void CMainWnd::RefreshFromSnapshot() {
    if (!g_pMatchData || !g_pMatchSnapshot)
        return;
    const MatchData& md = *g_pMatchData;
    const MatchData& old = *g_pMatchSnapshot;
    if (md.bReceiverOpen != old.bReceiverOpen)
        update(OperatorLayout::ReceiverIcon());
    if (md.bReceiverOpen == 0)
        ToggleJudgeLamp(0, 0, 0);
    for (int j = 0; j < kJudges; ++j)
        if (md.bJudgeWired[j] != old.bJudgeWired[j] || md.nJudgeWiredValue[j] != old.nJudgeWiredValue[j])
            update(OperatorLayout::JudgeIcon(j));

    int pages = 1;
    if (md.nCompetitionType == 1)
        pages = md.nTeamType == 0 ? 3 : md.nTeamType == 1 ? 5 : md.nTeamType == 2 ? 4 : 1;
    if (m_nTeamPage >= pages)
        m_nTeamPage = 0;
    for (int side = 0; side < 2; ++side) {
        const int slot = m_nTeamPage * 2 + side;
        if (md.bRegHead[slot] != old.bRegHead[slot] || m_nShownHeadBattery[side] != old.nHeadBattery[slot]) {
            update(OperatorLayout::HeadIcon(side));
            m_nShownHeadBattery[side] = old.nHeadBattery[slot];
        }
        if (md.bRegBody[slot] != old.bRegBody[slot] || m_nShownBodyBattery[side] != old.nBodyBattery[slot]) {
            update(OperatorLayout::TrunkIcon(side));
            m_nShownBodyBattery[side] = md.nBodyBattery[slot];
        }
    }
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
    };
    timeout->setText(QStringLiteral("Time out"));
    if (state == 5 || state == 6 || state == 14) {
        clock->move(546, 322);
        timeout->move(546, 272);
        if (state == 14)
            SetColours(timeout, Qt::black, OperatorColours::Panel);
        else
            SetColours(timeout, Qt::white, Qt::black);
        timeout->show();
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
    if (m_pExtScrDlg) {
        m_pExtScrDlg->UpdateRoundScores();
        m_pExtScrDlg->update();
    }
}

void CMainWnd::PaintJudgePresses(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 16, false);
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < kJudges; ++j) {
            const TTK_JudgeMark& press = md.aSide[side].aJudgePress[j];
            if (press.nKind == 0)
                continue;
            const bool bottom =
                md.nCompetitionType == 2 && md.nPSSType == 1 && press.nKind == (side == 0 ? 3 : 7);
            DrawBox(painter, OperatorLayout::JudgePress(side, j), MarkColour(press.nKind),
                    Number(md.nPSSType != 0 ? j + 1 : press.nValue),
                    bottom ? Qt::AlignHCenter | Qt::AlignBottom : Qt::AlignCenter);
        }
}

void CMainWnd::PaintJudgeSlots(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 16, false);
    for (int side = 0; side < 2; ++side)
        for (int j = 0; j < kJudges; ++j)
            for (int row = 0; row < kQueueSlots; ++row) {
                const TTK_JudgeMark& mark = md.aSide[side].aJudgeSlot[j][row];
                if (mark.nKind == 0)
                    continue;
                const bool bottom =
                    md.nCompetitionType == 2 && md.nPSSType == 1 && mark.nKind == (side == 0 ? 3 : 7);
                DrawBox(painter, OperatorLayout::JudgeSlot(side, j, row), MarkColour(mark.nKind),
                        Number(md.nPSSType != 0 ? row + 1 : mark.nValue),
                        bottom ? Qt::AlignHCenter | Qt::AlignBottom : Qt::AlignCenter);
            }
}

void CMainWnd::PaintSlotStates(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 16, false);
    for (int side = 0; side < 2; ++side)
        for (int row = 0; row < kQueueSlots; ++row) {
            const int state = md.aSide[side].aSlotState[row].nState;
            QRect rect = OperatorLayout::SlotState(side, row);
            if (state == 1) {
                DrawBox(painter, rect, MarkColour(1), {});
            } else if (state >= 2 && state <= 4) {
                if (side == 1)
                    rect = QRect(1162, rect.y(), 17, 22);
                DrawBox(painter, rect, state == 3 ? MarkColour(3) : MarkColour(2), {});
            }
        }
}

void CMainWnd::PaintMatchInfo(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 25, true);
    painter.drawText(OperatorLayout::Rect(MatchTitle), Qt::AlignCenter, Q(g_strMatchTitle));
    painter.drawText(OperatorLayout::Rect(ContestNo), Qt::AlignCenter, FieldQ(md.szContestNo));
    painter.drawText(OperatorLayout::Rect(RoundNumber), Qt::AlignCenter, Q(m_strRoundText));
    for (int j = 0; j < std::min(md.nJudgeNumber, kJudges); ++j)
        painter.drawText(OperatorLayout::JudgeIcon(j).translated(-1, -17),
                         Qt::AlignHCenter | Qt::AlignTop | Qt::TextSingleLine, Number(j + 1));
    const bool idle = md.nGameState == 0;
    painter.drawText(OperatorLayout::Rect(LevelHead), Qt::AlignCenter,
                     idle || md.nCompetitionType == 2 ? QString() : Number(md.nLevelHead));
    painter.drawText(OperatorLayout::Rect(LevelBody), Qt::AlignCenter,
                     idle ? QString() : Number(md.nLevelBody));
    if (md.bUsePunch)
        DrawBox(painter, OperatorLayout::Rect(LevelPunch), MarkColour(4), Number(md.nLevelPunch));
}

void CMainWnd::UpdateChangeInfo(int) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const int tagControls[] = {1130, 1287, 1284, 1288, 1289, 1290, 1291, 1292, TagTextChung, TagTextHong};
    if (md.nCompetitionType != 1) {
        for (int id : tagControls)
            ShowDlgItem(id, false);
        return;
    }
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
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 26, true);
    const int countId[2] = {ReplayCountChung, ReplayCountHong};
    for (int side = 0; side < 2; ++side) {
        const int remaining = md.aSide[side].nVRRemain;
        if (remaining < 1)
            continue;
        painter.fillRect(OperatorLayout::ReplayImage(side), SideColour(side).darker(130));
        painter.drawText(OperatorLayout::Rect(countId[side]), Qt::AlignCenter,
                         Q(ScreenText::ReplayCount(remaining, QuotaInForce(md))));
    }
}

void CMainWnd::PaintLastHits(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    PaintScope scope(painter, 25, true);
    for (int side = 0; side < 2; ++side)
        for (int age = 0; age < 2; ++age) {
            const TTK_LastHit& hit = md.aSide[side].aLastHit[age];
            if (hit.nType == 0)
                continue;
            const int threshold = hit.nType == 1   ? md.nLevelBody
                                  : hit.nType == 2 ? md.nLevelHead
                                                   : md.nLevelPunch;
            const QRect box = OperatorLayout::LastHit(side, age);
            painter.fillRect(box, hit.nLevel >= threshold ? SideColour(side) : QColor(Qt::darkGray));
            if (hit.nType != 3 || md.bUsePunch)
                painter.drawText(QRect(box.x(), 353, 38, 51), Qt::AlignCenter, Number(hit.nLevel));
        }
}

void CMainWnd::PaintDeviceStatus(QPainter& painter) {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    const int status = DeviceStatusLoad(md);
    PaintScope scope(painter, 16, true);
    painter.fillRect(OperatorLayout::ReceiverIcon(),
                     md.bReceiverOpen ? QColor(40, 160, 60) : QColor(Qt::darkRed));
    for (int j = 0; j < std::min(md.nJudgeNumber, kJudges); ++j) {
        const QRect icon = OperatorLayout::JudgeIcon(j);
        const QRect text(icon.x(), 26, 48, 34);
        if (md.bJudgeWired[j]) {
            painter.fillRect(icon, QColor(0, 150, 160));
            painter.drawText(text, Qt::AlignCenter,
                             Number(ScreenText::BatteryPercent(md.nJudgeWiredValue[j])));
        } else {
            painter.fillRect(icon, Qt::darkGray);
            if (status & (1 << (4 + j)))
                painter.drawText(text, Qt::AlignCenter, QStringLiteral("!!"));
        }
    }
    if (md.nPSSType == 0)
        return;
    for (int side = 0; side < 2; ++side) {
        const int slot = std::clamp(m_nTeamPage * 2 + side, 0, kPlayerSlots - 1);
        const auto draw = [&](const QRect& icon, bool registered, int battery, int lostBit) {
            const QRect text(icon.x(), 15, icon.width(), 49);
            painter.fillRect(icon, registered ? SideColour(side) : QColor(Qt::darkGray));
            if (registered)
                painter.drawText(text, Qt::AlignCenter, Number(ScreenText::BatteryPercent(battery)));
            else if (status & (1 << lostBit))
                painter.drawText(text, Qt::AlignCenter, QStringLiteral("!!"));
        };
        draw(OperatorLayout::TrunkIcon(side), md.bRegBody[slot], md.nBodyBattery[slot], side == 0 ? 1 : 3);
        if (md.nPSSType == 2)
            draw(OperatorLayout::HeadIcon(side), md.bRegHead[slot], md.nHeadBattery[slot], side == 0 ? 0 : 2);
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
}

void CMainWnd::RefreshLevelDisplay() {
    for (int id : {LevelHead, LevelBody, LevelPunch})
        update(OperatorLayout::Rect(id));
}

void CMainWnd::ShowClockMs(int ms) {
    if (!g_pMatchData)
        return;
    m_strClockText = ScreenText::ClockFromMs(ms, g_pMatchData->nGameState);
    SetDlgItemText(Clock, Q(m_strClockText));
}

void CMainWnd::ShowClockSeconds(int seconds) {
    if (!g_pMatchData)
        return;
    m_strClockText = ScreenText::ClockFromSeconds(seconds, g_pMatchData->nGameState);
    SetDlgItemText(Clock, Q(m_strClockText));
}

void CMainWnd::ShowClock(int seconds, int ms) {
    if (!g_pMatchData)
        return;
    const int state = g_pMatchData->nGameState;
    SetDlgItemText(Clock, Q(ScreenText::ClockFromMs(ms, state)));
    m_strClockText = ScreenText::ClockFromSeconds(seconds, state);
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
    update(OperatorLayout::Rect(RoundNumber));
}

void CMainWnd::ShowScores(int chung, int hong) {
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
}

void CMainWnd::HideRoundLeader() {
    ShowDlgItem(LeaderChung, false);
    ShowDlgItem(LeaderHong, false);
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
        return;
    }
    const int g = std::clamp(md.nRound, 0, kMaxRounds - 1);
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    SetDlgItemText(PenaltyChung, Number(c.nRoundPenalty2[g] + c.nRoundPenalty1[g]));
    SetDlgItemText(PenaltyTotalChung, Number(c.nPenaltyCount2 + c.nPenaltyCount1));
    SetDlgItemText(PenaltyHong, Number(h.nRoundPenalty2[g] + h.nRoundPenalty1[g]));
    SetDlgItemText(PenaltyTotalHong, Number(h.nPenaltyCount2 + h.nPenaltyCount1));
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
    for (int s = 0; s < 2; ++s)
        for (int age = 0; age < 2; ++age)
            update(OperatorLayout::LastHit(s, age));
}

void CMainWnd::ClearHitLevels() {
    if (!g_pMatchData)
        return;
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
            Static(nationId[side])->setGeometry(topX[side], 135, 110, 36);
            Static(nameId[side])->setGeometry(panelX[side], 85, 510, 63);
        } else {
            Static(nationId[side])->setGeometry(panelX[side], 72, 510, 45);
            Static(nameId[side])->setGeometry(panelX[side], 117, 510, 45);
        }
        // The flag file of the nation row; a name that reaches outside the flag folder is not read.
        const std::u16string file = hasNation ? WideField(md.aNation[nation].wszField[3]) : u"none.gif";
        QLabel* flag = Static(flagId[side]);
        if (file.find(u"none.gif") != std::u16string::npos || file.find(u'/') != std::u16string::npos ||
            file.find(u'\\') != std::u16string::npos) {
            flag->hide();
        } else {
            const QPixmap picture(Q(AppPath(u"Img/Flag/" + file)));
            flag->setPixmap(picture.isNull() ? QPixmap() : picture.scaled(90, 60));
            flag->show();
        }
    }
    RefreshPlayerInfo();
}

void CMainWnd::RefreshPlayerInfo() {
    if (!g_pMatchData)
        return;
    const MatchData& md = *g_pMatchData;
    SetDlgItemText(NameChung, FieldQ(md.aPlayer[0].szName));
    SetDlgItemText(NameHong, FieldQ(md.aPlayer[1].szName));
    SetDlgItemText(NationChung, FieldQ(md.aPlayer[0].szNationCode));
    SetDlgItemText(NationHong, FieldQ(md.aPlayer[1].szNationCode));
    for (int id : {MatchTitle, ContestNo, LevelHead, LevelBody, LevelPunch})
        update(OperatorLayout::Rect(id));
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
