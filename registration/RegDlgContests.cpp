// The registration dialog's contests: the list from PLAYER, saving the form, deleting rows, loading a
// contest into the match, and the start time, round and levels.
#include "registration/RegDlg.h"

#include "app/IniFiles.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/MatchInfo.h"
#include "app/Messages.h"
#include "app/TextConvert.h"
#include "app/VeziruduzApp.h"
#include "controls/MaskedEdit.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "registration/ContestList.h"
#include "registration/PlayerTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Registration;

namespace {

constexpr std::size_t kMaxStatement = 1024;
constexpr std::size_t kMaxTeamStatement = 2048;

QString Narrow(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Select(QComboBox* combo, const QString& text) {
    const int index = combo->findText(text);
    if (index >= 0)
        combo->setCurrentIndex(index);
}

} // namespace

void CTK_RegDlg::LoadContestList() {
    std::vector<ContestRow> rows;
    if (!LoadContestRows(theApp.m_dbLocal, rows))
        DebugPrintf("contest list not read: %s", theApp.m_dbLocal.lastError().c_str());
    FillContestList(rows);
}

void CTK_RegDlg::FillContestList(const std::vector<ContestRow>& rows) {
    m_list->SetRows(rows);
    m_nNextNumber = NextContestNumber(m_nNextNumber, rows);
    SetDlgItemText(1050, QString::fromStdU16String(ContestNumberText(m_nNextNumber)));
}

std::vector<ContestRow> CTK_RegDlg::ListRows() const {
    std::vector<ContestRow> rows;
    for (int r = 0; r < m_list->rowCount(); ++r)
        rows.push_back(m_list->Row(r));
    return rows;
}

void CTK_RegDlg::OnRegistration() {
    const std::optional<int> number = ParseContestNumber(GetDlgItemText(1050).toStdU16String());
    if (!number) {
        MessageBox(GetSafeHwnd(), u"Enter a correct number from '1' to '999'.", u"Information",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_nNextNumber = *number;
    auto* cls = static_cast<QComboBox*>(GetDlgItem(1296));
    if (m_pMatchData)
        m_pMatchData->nCurDivision = cls->currentIndex();
    PlayerForm form;
    form.number = *number;
    form.cls = cls->currentText().toStdString();
    form.gender = GetDlgItemText(1298).toStdString();
    form.weight = m_bTeam ? std::string() : GetDlgItemText(1299).toStdString();
    form.phase = GetDlgItemText(1297).toStdString();
    form.chungName = GetDlgItemText(1302).toStdString();
    form.hongName = GetDlgItemText(1304).toStdString();
    form.chungNation = GetDlgItemText(1306).toStdString();
    form.hongNation = GetDlgItemText(1307).toStdString();
    form.chungTeam = GetDlgItemText(1303).toStdString();
    form.hongTeam = GetDlgItemText(1305).toStdString();
    switch (SavePlayer(theApp.m_dbLocal, form, m_bTeam ? kMaxTeamStatement : kMaxStatement)) {
    case SaveResult::TooLong:
        // Nothing is saved and the form stays for the operator to shorten.
        MessageBox(GetSafeHwnd(), u"The names or teams are too long to be saved.\r\nPlease shorten them.",
                   u"Information", MB_OK | MB_ICONINFORMATION);
        return;
    case SaveResult::Failed:
        MessageBox(GetSafeHwnd(), u"DB Error!");
        break;
    default:
        break;
    }
    LoadContestList();
    for (const int id : {1302, 1304, 1303, 1305})
        SetDlgItemText(id, QString());
    const std::u16string division = QString::number(cls->currentIndex()).toStdU16String();
    WriteIniString(u"Division", u"Current_Division", division.c_str(), u"WeightDiv.ini");
}

void CTK_RegDlg::DeleteSelectedPlayers() {
    bool spared = false;
    for (const int index : m_list->SelectedRows()) {
        const ContestRow row = m_list->Row(index);
        if (m_pMatchData && IsLoadedContest(*m_pMatchData, row)) {
            spared = true;
            continue;
        }
        if (!DeletePlayer(theApp.m_dbLocal, row)) {
            DebugPrintf("contest %s not deleted: %s",
                        QString::fromStdU16String(row.no()).toUtf8().constData(),
                        theApp.m_dbLocal.lastError().c_str());
            continue; // the row stays listed, as it stays in the table
        }
        m_list->removeRow(index);
    }
    const int next = NextNumberAfterDelete(ListRows());
    if (next != m_nNextNumber) {
        m_nNextNumber = next;
        SetDlgItemText(1050, QString::fromStdU16String(ContestNumberText(next)));
    }
    if (spared)
        MessageBox(GetSafeHwnd(), u"The contest of the loaded match is kept; it was not deleted.",
                   u"Information", MB_OK | MB_ICONINFORMATION);
}

void CTK_RegDlg::OnContestListDblClk() {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    const bool tournament = TournamentMode();
    const std::string& flag = g_MatchInfoNew[TTK_MatchInfo::kWhich];
    // The team dialog may reload the tournament's playing match while it runs.
    const bool reloadPlaying = m_bTeam && tournament && flag == "2";
    const bool running = md.nGameState > 1;
    if (running && !reloadPlaying) {
        MessageBox(GetSafeHwnd(), u"Please finish the previous game.");
        return;
    }
    if (!m_bTeam && LinkUp() && md.nOvrSupplier != 3 && md.nOvrSupplier != 4) {
        MessageBox(GetSafeHwnd(),
                   u"The OVR system provides a match info.!\r\nPlaese check the OVR configuration!");
        return;
    }
    const std::vector<int> selected = m_list->SelectedRows();
    if (selected.empty())
        return;
    ContestRow row = m_list->Row(selected.back()); // the first selected
    if (tournament) {
        // "7[Next]" is contest 7; the phase is the stage column of the tournament layout.
        row.column[1] = row.column[1].substr(0, row.column[1].find(u'['));
        const QTableWidgetItem* stage = m_list->item(selected.back(), 14);
        row.column[12] = stage ? stage->text().toStdU16String() : std::u16string();
    }
    LoadMode mode;
    mode.nationByCode = tournament;
    mode.whileRunning = reloadPlaying;
    const LoadResult result = LoadContest(md, row, m_bTeam, mode);
    if (!result.loaded) {
        MessageBox(GetSafeHwnd(), result.message, u"Information", MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetDlgItemText(1050, Narrow(FieldText(md.szContestNo)));
    SetDlgItemText(1302, QString::fromStdU16String(row.column[2]));
    SetDlgItemText(1304, QString::fromStdU16String(row.column[4]));
    SetDlgItemText(1303, QString::fromStdU16String(row.column[10]));
    SetDlgItemText(1305, QString::fromStdU16String(row.column[11]));
    for (int side = 0; side < 2; ++side)
        if (result.nationRow[side])
            static_cast<QComboBox*>(GetDlgItem(side ? 1307 : 1306))->setCurrentIndex(*result.nationRow[side]);
    auto* cls = static_cast<QComboBox*>(GetDlgItem(1296));
    cls->setCurrentIndex(result.classIndex < cls->count() ? result.classIndex : 0);
    static_cast<QComboBox*>(GetDlgItem(1298))->setCurrentIndex(result.genderIndex);
    RefillWeightCombo();
    if (!m_bTeam)
        Select(static_cast<QComboBox*>(GetDlgItem(1299)), QString::fromStdU16String(row.weight()));
    if (result.phaseIndex >= 0)
        static_cast<QComboBox*>(GetDlgItem(1297))->setCurrentIndex(result.phaseIndex);
    bool newMatch = true;
    bool answered = true;
    if (tournament) {
        answered = LoadTournamentRow();
        // The individual dialog starts the next or the playing match. The team dialog reloads the playing
        // match while it runs without starting it again; when none runs it starts it like the next one, or
        // the results of this match would be written onto the previous match's row.
        newMatch = m_bTeam ? flag == "1" || (flag == "2" && !running) : flag == "1" || flag == "2";
        if (newMatch)
            g_MatchInfoCur = g_MatchInfoNew;
    }
    ShowMatchRecord(0);
    if (newMatch)
        SendMessage(g_hMainWnd, UM_MATCH_INFO_CHANGED, 0, 0);
    SendMessage(g_hMainWnd, UM_MATCH_LOADED, 0, 0);
    if (!answered)
        MessageBox(GetSafeHwnd(),
                   u"The tournament database did not answer for this match.\r\n"
                   u"The video-replay quota and the power levels of this court are used; please check them.",
                   u"Information", MB_OK | MB_ICONWARNING);
}

void CTK_RegDlg::ShowMatchRecord(int keepFields) {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    if (m_bTeam) {
        ShowTeamMatchRecord(keepFields);
        return;
    }
    SetDlgItemText(1280, Narrow(FieldText(md.szContestNo)));
    const bool loaded = !FieldText(md.szContestNo).empty();
    if (loaded && keepFields == 0) {
        for (int side = 0; side < 2; ++side) {
            TTK_Player& p = md.aPlayer[side];
            SetDlgItemText(side ? 1009 : 1008, Narrow(FieldText(p.szName)));
            if (FieldText(p.szShortName).empty())
                std::memcpy(p.szShortName, p.szName, sizeof p.szShortName);
            const int nation = p.nNation >= 0 && p.nNation < kNationRows ? p.nNation : 0;
            SetDlgItemText(side ? 1284 : 1282, QString::fromUtf16(md.aNation[nation].wszField[2]));
        }
        SetDlgItemText(1048, QString::number(md.nLevelBody));
        SetDlgItemText(1056, QString::number(md.nLevelPunch));
    } else if (!loaded && keepFields == 0) {
        for (const int id : {1008, 1009, 1282, 1284, 1048})
            SetDlgItemText(id, QString());
        return;
    }
    if (LinkUp() || PreRegUp()) {
        SetDlgItemText(1044, Narrow(FieldText(md.aPlayer[0].szMacBody)));
        SetDlgItemText(1046, Narrow(FieldText(md.aPlayer[1].szMacBody)));
        SetDlgItemText(1045, md.nPSSType == 2 ? Narrow(FieldText(md.aPlayer[0].szMacHead)) : QString());
        SetDlgItemText(1047, md.nPSSType == 2 ? Narrow(FieldText(md.aPlayer[1].szMacHead)) : QString());
        if (PreRegUp() && !LinkUp())
            SetDlgItemText(1280, QStringLiteral("PRE: ") + Narrow(FieldText(md.szLinkTag[7])));
    }
}

void CTK_RegDlg::ShowTeamMatchRecord(int keepFields) {
    MatchData& md = *m_pMatchData;
    SetDlgItemText(1280, Narrow(FieldText(md.szContestNo)));
    const bool loaded = !FieldText(md.szContestNo).empty();
    if (LinkUp() || PreRegUp()) {
        ShowMemberAddresses(false);
        SetDlgItemText(1280, QStringLiteral("PRE: ") + Narrow(FieldText(md.szLinkTag[7])));
    }
    if (loaded) {
        for (int side = 0; side < 2; ++side) {
            TTK_Player& p = md.aPlayer[side];
            SetDlgItemText(side ? 1009 : 1008, Narrow(FieldText(p.szName)));
            if (FieldText(p.szShortName).empty())
                std::memcpy(p.szShortName, p.szName, sizeof p.szShortName);
            const int nation = p.nNation >= 0 && p.nNation < kNationRows ? p.nNation : 0;
            SetDlgItemText(side ? 1284 : 1282, QString::fromUtf16(md.aNation[nation].wszField[2]));
        }
        SetDlgItemText(1048, QString::number(md.nLevelBody));
        SetDlgItemText(1056, QString::number(md.nLevelHead));
        SetDlgItemText(1080, QString::number(md.nLevelPunch));
    } else if (keepFields == 0) {
        for (const int id : {1008, 1009, 1282, 1284})
            SetDlgItemText(id, QString());
        if (md.nCompetitionType != 1)
            for (const int id : {1048, 1056, 1080})
                SetDlgItemText(id, QString());
    }
}

void CTK_RegDlg::InitRoundTime() {
    if (!m_pMatchData)
        return;
    auto* round = static_cast<QComboBox*>(GetDlgItem(1043));
    round->clear();
    for (int r = 1; r <= m_pMatchData->nRound; ++r)
        round->addItem(QString::number(r));
    round->addItem(QStringLiteral("G"));
    round->setCurrentIndex(std::clamp(m_pMatchData->nCurRound - 1, 0, round->count() - 1));
    m_edtTime->SetWindowText(QString::fromStdU16String(FormatRemainTime(m_pMatchData->nRemainTime, m_bTeam)));
}

void CTK_RegDlg::OnSpinTime(bool up) {
    m_edtTime->SetWindowText(
        QString::fromStdU16String(SpinRoundTime(m_edtTime->GetWindowText().toStdU16String(), up, m_bTeam)));
}

void CTK_RegDlg::OnSpinContestNumber(bool up) {
    const int number = ParseContestNumber(GetDlgItemText(1050).toStdU16String()).value_or(up ? 0 : 2);
    const std::optional<int> next = SpinContestNumber(number, up);
    if (!next) {
        MessageBox(GetSafeHwnd(), u"Enter a correct number from '1' to '999'.", u"Information",
                   MB_OK | MB_ICONINFORMATION);
        return;
    }
    SetDlgItemText(1050, QString::fromStdU16String(ContestNumberText(*next)));
}

void CTK_RegDlg::OnStartOption() {
    if (static_cast<QCheckBox*>(GetDlgItem(1057))->isChecked())
        SetRoundControlsEnabled(true);
}

void CTK_RegDlg::OnApplyRoundTime() {
    if (MessageBox(GetSafeHwnd(), u"Are you sure to pass a set round and play time?", u"Information",
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const int round = static_cast<QComboBox*>(GetDlgItem(1043))->currentIndex() + 1;
    const RoundTimeApply apply = ApplyRoundTime(m_edtTime->GetWindowText().toStdU16String(), round, m_bTeam);
    m_edtTime->SetWindowText(QString::fromStdU16String(apply.shown));
    SendMessage(g_hMainWnd, UM_SET_ROUND_TIME, 0, reinterpret_cast<LPARAM>(apply.message.c_str()));
    static_cast<QCheckBox*>(GetDlgItem(1057))->setChecked(false);
    SetRoundControlsEnabled(false);
}

void CTK_RegDlg::OnResetRoundTime() {
    if (!m_pMatchData ||
        MessageBox(GetSafeHwnd(), u"Are you sure to reset a game as a default round and play time?",
                   u"Information", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    const RoundTimeApply reset = ResetRoundTime(m_pMatchData->nMatchTime, m_bTeam);
    m_edtTime->SetWindowText(QString::fromStdU16String(reset.shown));
    SendMessage(g_hMainWnd, UM_SET_ROUND_TIME, 0, reinterpret_cast<LPARAM>(reset.message.c_str()));
    static_cast<QComboBox*>(GetDlgItem(1043))->setCurrentIndex(0);
    static_cast<QCheckBox*>(GetDlgItem(1057))->setChecked(false);
    SetRoundControlsEnabled(false);
}

void CTK_RegDlg::OnApplyLevels() {
    if (!m_pMatchData)
        return;
    const std::optional<int> body = ParseLevel(GetDlgItemText(1048).toStdU16String());
    const std::optional<int> head = m_bTeam ? ParseLevel(GetDlgItemText(1056).toStdU16String()) : 0;
    const std::optional<int> punch = ParseLevel(GetDlgItemText(m_bTeam ? 1080 : 1056).toStdU16String());
    if (!body || !head || !punch) {
        // The levels in force stay; an empty or garbled box never becomes 0.
        MessageBox(GetSafeHwnd(),
                   u"A power level is a whole number from 0 to 100.\r\nPlease check the levels.",
                   u"Information", MB_OK | MB_ICONINFORMATION);
        return;
    }
    m_pMatchData->nLevelBody = *body;
    m_pMatchData->nLevelPunch = *punch;
    if (m_bTeam) {
        m_pMatchData->nLevelHead = *head;
        const std::pair<const char16_t*, int> keys[] = {
            {u"Team_Lev_B", *body}, {u"Team_Lev_H", *head}, {u"Team_Lev_P", *punch}};
        for (const auto& [key, value] : keys) {
            const std::u16string text = QString::number(value).toStdU16String();
            if (!WriteIniString(u"Rule", key, text.c_str(), u"Rule.ini"))
                DebugPrintf("Rule.ini could not be written; the level stays for this run only");
        }
    }
    SendMessage(g_hMainWnd, UM_POWER_LEVEL_CHANGED, 0, 0);
}
