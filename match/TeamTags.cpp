// Team tags: a player hands over to a team mate. Each tag is counted per round in the side's score record
// and opens a tag window on both screens that the round clock runs down.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "screens/ExtScrDlg.h"
#include "screens/OperatorLayout.h"

#include <QPushButton>

namespace {

constexpr int kChungTag = 1130;
constexpr int kChungTagCancel = 1284;
constexpr int kHongTag = 1287;
constexpr int kHongTagCancel = 1288;
// The side that did not tag sees its window end this much sooner.
constexpr int kOtherSideLeadMs = 5000;

// The side's tag counter of the current round; null when the round number lies outside the record.
int* RoundTagCount(MatchData& md, int side) {
    if (md.nCurRound < 1 || md.nCurRound >= kRoundNumberSlots)
        return nullptr;
    return &md.aSide[side].nTagCount[md.nCurRound];
}

void Tag(CMainWnd& view, int side) {
    MatchData* md = g_pMatchData;
    if (!md || view.m_bTagActive[side] || view.m_bJointTag)
        return;
    if (md->nGameState != 3 && md->nGameState != 8)
        return;
    int* count = RoundTagCount(*md, side);
    if (!count)
        return;
    ++*count;
    // One window for both sides, so neither can tag again until it ends.
    view.m_bTagActive[0] = view.m_bTagActive[1] = 1;
    view.m_nTagStartMs[side] = md->nRemainTime;
    view.m_nTagStartMs[1 - side] = md->nRemainTime + kOtherSideLeadMs;
    view.RedrawTagPanel();
}

void CancelTag(CMainWnd& view, int side) {
    MatchData* md = g_pMatchData;
    if (!md)
        return;
    // A cancel without a tag left in the round must not make the count negative.
    if (int* count = RoundTagCount(*md, side); count && *count > 0)
        --*count;
    view.m_bTagActive[side] = 0;
    view.m_nTagStartMs[side] = 0;
    view.RedrawTagPanel();
}

} // namespace

void CMainWnd::OnClickedChungTag() {
    Tag(*this, 0);
}

void CMainWnd::OnClickedHongTag() {
    Tag(*this, 1);
}

void CMainWnd::OnClickedChungTagCancel() {
    CancelTag(*this, 0);
}

void CMainWnd::OnClickedHongTagCancel() {
    CancelTag(*this, 1);
}

void CMainWnd::RedrawTagPanel() {
    // Repainting the view under the tag texts runs UpdateChangeInfo, which writes them.
    for (const int id : {OperatorIds::TagTextChung, OperatorIds::TagTextHong}) {
        if (const QWidget* text = GetDlgItem(id))
            update(QRect(text->mapTo(this, QPoint(0, 0)), text->size()));
    }
    if (m_pExtScrDlg)
        m_pExtScrDlg->UpdateTagPanel(m_bTagActive[0], m_bTagActive[1], m_nTagStartMs[0], m_nTagStartMs[1]);
}

void CMainWnd::ConnectTagButtons() {
    const struct {
        int id;
        const char* caption;
        void (CMainWnd::*handler)();
    } buttons[] = {
        {kChungTag, "C-TAG", &CMainWnd::OnClickedChungTag},
        {kChungTagCancel, "C-CANCEL", &CMainWnd::OnClickedChungTagCancel},
        {kHongTag, "H-TAG", &CMainWnd::OnClickedHongTag},
        {kHongTagCancel, "H-CANCEL", &CMainWnd::OnClickedHongTagCancel},
    };
    for (const auto& b : buttons) {
        QPushButton* button = Button(b.id);
        button->setText(QString::fromLatin1(b.caption));
        connect(button, &QPushButton::clicked, this, b.handler);
    }
}
