// The registration dialogs with the tournament results database as the court's OVR system: the selected
// match as the contest list's one row, the look-ups run when that row is loaded, and the team dialog's
// reconnect.
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "app/Messages.h"
#include "app/VeziruduzApp.h"
#include "links/ImportOutcome.h"
#include "platform/MessageBox.h"
#include "records/TournamentDb.h"
#include "records/TournamentSelection.h"
#include "registration/ContestList.h"
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include <QPushButton>

bool CTK_RegDlg::TournamentMode() const {
    return m_pMatchData && m_pMatchData->nOvrSupplier == 3 && m_pMatchData->bOvrConnected;
}

void CTK_RegDlg::LoadTournamentMatch(int which) {
    if (!m_pMatchData)
        return;
    TTK_MatchInfo info = g_MatchInfoNew;
    int next = m_nNextNumber;
    bool found = false;
    const int pssType = m_pMatchData->nPSSType, courtNo = m_pMatchData->nCourtNo;
    const bool team = m_bTeam;
    if (!RunTournamentQuery([&](CAdoObject& db) {
            found = TournamentSelection::SelectMatch(db, pssType, courtNo, which, team, info, next);
        }))
        return;
    g_MatchInfoNew = info;
    m_nNextNumber = next;
    if (found) {
        m_pMatchData->aPlayer[0].szNationName[0] = '\0';
        m_pMatchData->aPlayer[1].szNationName[0] = '\0';
    }
    ShowTournamentMatch();
}

void CTK_RegDlg::ShowTournamentMatch() {
    m_list->SetupColumns(true);
    m_list->SetRows({});
    if (g_MatchInfoNew.nFound)
        m_list->SetTournamentRow(TournamentSelection::ListRow(g_MatchInfoNew, m_nNextNumber, m_bTeam));
    m_nNextNumber = 1;
    SetDlgItemText(1050, QStringLiteral("001"));
}

using TournamentSelection::LookUp;

namespace {

// One look-up of the selected match off the UI thread; value is left alone unless one came back in range. A
// value out of range only refines a match already loaded: the court's value stays, and the operator is told
// which field the results system holds wrongly.
LookUp LookUpValue(LookUp (*query)(CAdoObject&, const TTK_MatchInfo&, int&, std::string*), int& value,
                   HWND owner, const char* field, ImportText::Range range) {
    const TTK_MatchInfo info = g_MatchInfoNew;
    LookUp result = LookUp::Failed;
    int found = 0;
    std::string shown;
    if (!RunTournamentQuery([&](CAdoObject& db) { result = query(db, info, found, &shown); }))
        return LookUp::Failed;
    if (result == LookUp::Found)
        value = found;
    if (result == LookUp::Refused)
        MessageBox(
            owner,
            QStringLiteral("The tournament database's %1 is \"%2\", but it must be a whole number from "
                           "%3 to %4.\r\nThis court's value is used; please check the match in the "
                           "results system!")
                .arg(QString::fromUtf8(field),
                     QString::fromStdString(ImportText::FirstCharacters(ImportText::Clean(shown, 259), 24)))
                .arg(range.low)
                .arg(range.high)
                .toStdU16String(),
            u"Information", MB_OK | MB_ICONWARNING);
    return result;
}

} // namespace

LookUp CTK_RegDlg::QueryVideoCount() {
    if (!m_pMatchData)
        return LookUp::None;
    MatchData& md = *m_pMatchData;
    return LookUpValue(&TournamentSelection::QueryVideoCount,
                       md.nCompetitionType == 1 ? md.nTeamVRQuota : md.nVRQuota, GetSafeHwnd(),
                       "video-replay quota", ImportText::kReplayRange);
}

// The level becomes 0 unless one came back, only once the answer is in: scoring goes on meanwhile and keeps
// the level in force.
LookUp CTK_RegDlg::QueryStrengthLevel() {
    if (!m_pMatchData)
        return LookUp::None;
    int level = 0;
    const LookUp result = LookUpValue(&TournamentSelection::QueryStrengthLevel, level, GetSafeHwnd(),
                                      "minimum trunk level", ImportText::kLevelRange);
    m_pMatchData->nLevelBody = level;
    return result;
}

LookUp CTK_RegDlg::QueryPunchLevel() {
    if (!m_pMatchData)
        return LookUp::None;
    int level = 0;
    const LookUp result = LookUpValue(&TournamentSelection::QueryPunchLevel, level, GetSafeHwnd(),
                                      "minimum punch level", ImportText::kLevelRange);
    m_pMatchData->nLevelPunch = level;
    return result;
}

bool CTK_RegDlg::LoadTournamentRow() {
    MatchData& md = *m_pMatchData;
    using S = TTK_MatchInfo;
    ImportText::Put(md.aPlayer[0].szMacBody, g_MatchInfoNew[S::kBlueMacBody]);
    ImportText::Put(md.aPlayer[1].szMacBody, g_MatchInfoNew[S::kRedMacBody]);
    ImportText::Put(md.aPlayer[0].szMacHead, g_MatchInfoNew[S::kBlueMacHead]);
    ImportText::Put(md.aPlayer[1].szMacHead, g_MatchInfoNew[S::kRedMacHead]);
    // What the contest load took from the weight-division tables (or, in a team match, the levels in force)
    // stands where the tournament database has no level. Each level is settled before the next look-up, while
    // which scoring goes on.
    const int body = md.nLevelBody, head = md.nLevelHead, punch = md.nLevelPunch;
    bool failed = false;
    // A failed look-up means a lost or slow server: the others would only wait for it again.
    const auto found = [&](LookUp (CTK_RegDlg::*query)()) {
        if (failed)
            return false;
        const LookUp result = (this->*query)();
        failed = result == LookUp::Failed;
        return result == LookUp::Found;
    };
    found(&CTK_RegDlg::QueryVideoCount);
    if (m_bTeam) {
        if (md.bUsePunch && (!found(&CTK_RegDlg::QueryPunchLevel) || md.nLevelPunch <= 0))
            md.nLevelPunch = 20;
        if (!found(&CTK_RegDlg::QueryStrengthLevel) || md.nLevelBody <= 0) {
            md.nLevelBody = body;
            md.nLevelHead = head;
        }
    } else {
        if (!found(&CTK_RegDlg::QueryStrengthLevel) || md.nLevelBody <= 0) {
            md.nLevelBody = body;
            md.nLevelHead = head;
            md.nLevelPunch = punch;
        }
        if (md.bUsePunch && (!found(&CTK_RegDlg::QueryPunchLevel) || md.nLevelPunch <= 0))
            md.nLevelPunch = punch;
    }
    return !failed;
}

void CTK_RegDlg::AddDbReconnectButton() {
    auto* button = new QPushButton(QStringLiteral("DB 재접속"), this);
    button->setAutoDefault(false);
    button->hide();
    m_items[1000] = button;
    connect(button, &QPushButton::clicked, this,
            [this] { static_cast<CTK_RegDlg_Team*>(this)->OnDbReconnect(); });
}

void CTK_RegDlg_Team::OnDbReconnect() {
    if (MessageBox(GetSafeHwnd(), u"DB 서버에 재접속 하시겠습니까?", u"알림", MB_YESNO | MB_ICONQUESTION) !=
        IDYES)
        return;
    if (!OpenTournamentDb(TournamentConnectionText(ReadTournamentServerSettings()))) {
        MessageBox(GetSafeHwnd(), u"DB Connection Error", u"Information", MB_OK | MB_ICONERROR);
        return;
    }
    MessageBox(GetSafeHwnd(), u"DB 연결 성공", u"Information", MB_OK | MB_ICONINFORMATION);
    SendMessage(g_hMainWnd, UM_LINK_READY, 0, 0);
}
