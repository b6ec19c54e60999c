// The registration dialog's match import ("Load OVR Match"): a match-input file, or the request of the
// current OVR supplier and, 2000 ms later, the reading of its reply into the match record and the form.
// The texts and readers live in links/ (OvrMatchRequest, OvrMatchReply, WtMatchImport, MatchInput).
#include "registration/RegDlg.h"

#include "app/HttpSinks.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/Messages.h"
#include "app/TextConvert.h"
#include "links/ImportOutcome.h"
#include "links/LinkSlots.h"
#include "links/MatchInput.h"
#include "links/OvrMatchReply.h"
#include "links/OvrMatchRequest.h"
#include "links/Transport.h"
#include "links/WtApiClient.h"
#include "links/WtMatchImport.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QPushButton>

#include <cstring>

namespace {

constexpr UINT kReplyWaitMs = 2000;

enum Supplier { Vordex = 0, Atos = 2, Woori = 3, Vms = 5, Generic = 6, Sceu = 7, WtApi = 8 };

void SendOn(int commType, void* link, const std::string& bytes) {
    if (!bytes.empty())
        CommSend(commType, link, bytes.data(), static_cast<int>(bytes.size()));
}

void ClearReplies(MatchData& md) {
    std::memset(md.szOvrRecv, 0, sizeof md.szOvrRecv);
    std::memset(md.szPreRegRecv, 0, sizeof md.szPreRegRecv);
    md.nOvrRecvOverflow = ReplyFits;
    md.nPreRegRecvOverflow = ReplyFits;
}

} // namespace

void CTK_RegDlg::OnLoadOvrMatch() {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    if (g_MatchInput.bValid) {
        if (md.nGameState >= 2 && md.nGameState != 11) {
            MessageBox(GetSafeHwnd(),
                       u"The match is playing!\r\nPlease load a new match after completing the "
                       u"playing match!");
        } else {
            // The file dialog lets the operator view's events go on: a match may start meanwhile.
            const int asked = md.nMatchStarts;
            const TTK_MatchInput before = g_MatchInput;
            const int read = LoadMatchInputFile();
            if (read == 0) {
                MessageBox(GetSafeHwnd(), m_strInputRefusal.empty()
                                              ? u"[ERROR!] Fail to load the match infomation!"
                                              : m_strInputRefusal);
            } else if (read == 1 && StartedSinceAsked(asked, true)) {
                g_MatchInput = before; // the keys stay those of the match under way
            } else if (read == 1) {
                ApplyImport(ApplyMatchInput(md, g_MatchInput));
            }
        }
    } else if (LinkUp() && md.nOvrSupplier == Woori) {
        LoadTournamentMatch(1);
    } else {
        if (!LinkUp() && !PreRegUp()) {
            MessageBox(GetSafeHwnd(),
                       u"The OVR system is not connected!\r\nPlaese check the connection from OVR sytem!");
            return;
        }
        if (md.nGameState > 1) {
            MessageBox(GetSafeHwnd(), u"Please finish the previous game.");
            return;
        }
        const QString number = GetDlgItemText(1049);
        m_bLoadByNumber = static_cast<QCheckBox*>(GetDlgItem(1055))->isChecked() ? 1 : 0;
        m_nAskedStarts = md.nMatchStarts;
        if (RequestOvrMatch(number, m_bLoadByNumber) != 0)
            return;
        GetDlgItem(1290)->setEnabled(false);
        SetTimer(TIMER_OVR_MATCH_LOAD, kReplyWaitMs);
    }
    SendMessage(g_hMainWnd, UM_MATCH_LOADED, 0, 0);
}

int CTK_RegDlg::RequestOvrMatch(const QString& number, bool byNumber) {
    MatchData& md = *m_pMatchData;
    // Supplier 2's box chooses the next or the previous match and takes no number.
    if (byNumber && number.isEmpty() && md.nOvrSupplier != Atos) {
        // Nothing is asked, so nothing is awaited: a reply of an earlier request must not load now.
        MessageBox(GetSafeHwnd(), u"Please check the match number!\r\nMatch number is empty!");
        return 1;
    }
    // The reply read later is the answer to this request or nothing, never a stale text.
    ClearReplies(md);
    int result = 0;
    switch (md.nOvrSupplier) {
    case Vordex:
        SendOvrRequest(0);
        break;
    case Atos:
        RequestAdjacentMatch(byNumber ? 0 : 1);
        break;
    case Generic:
        RequestRin(byNumber ? 14 : 0, number);
        break;
    case Sceu:
        RequestNextMatch(byNumber ? 1 : 0, number);
        break;
    case WtApi:
        result = RequestApiMatchList(QString());
        break;
    default:
        break;
    }
    if (result == 0 && PreRegUp())
        SendOvrRequest(0);
    return result;
}

void CTK_RegDlg::SendOvrRequest(int kind) {
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    std::string bytes;
    if (kind == 0) {
        ClearReplies(md);
        bytes = OvrRequest::Rin(md.nCourtNo);
    } else {
        bytes = OvrRequest::ControlRecords(kind, md);
    }
    if (LinkUp() && !md.bUsePreReg)
        SendOn(md.nOvrCommType, md.pOvrLink, bytes);
    if (md.bUsePreReg && PreRegUp())
        SendOn(COMM_TCP, md.pPreRegLink, bytes);
}

void CTK_RegDlg::RequestRin(int kind, const QString&) {
    // A request by match number is not defined for this supplier: nothing goes out.
    if (kind == 0 && LinkUp())
        SendOn(m_pMatchData->nOvrCommType, m_pMatchData->pOvrLink, OvrRequest::Rin(m_pMatchData->nCourtNo));
}

void CTK_RegDlg::RequestNextMatch(int kind, const QString& number) {
    if (LinkUp())
        SendOn(m_pMatchData->nOvrCommType, m_pMatchData->pOvrLink,
               OvrRequest::NextMatch(m_pMatchData->nCourtNo, number.toStdString(), kind == 1));
}

void CTK_RegDlg::RequestAdjacentMatch(int direction) {
    if (LinkUp())
        SendOn(m_pMatchData->nOvrCommType, m_pMatchData->pOvrLink, OvrRequest::AdjacentMatch(direction == 1));
}

int CTK_RegDlg::RequestApiMatchList(const QString&) {
    m_strApiReply.clear();
    // The operator waits for the list; the clock and the screens go on meanwhile.
    const int result = WtApiGetResponsive(1, WtApiTarget::Of(*m_pMatchData));
    std::string reply = g_strHttpResp.take().value_or(std::string());
    if (result != 0) {
        MessageBox(GetSafeHwnd(), RecordTextWide(reply));
        return result;
    }
    m_strApiReply = std::move(reply);
    return 0;
}

void CTK_RegDlg::LoadApiMatch() {
    ApplyImport(WtMatchImport::Load(*m_pMatchData, m_strApiReply, m_bLoadByNumber != 0,
                                    GetDlgItemText(1049).toStdString(), m_bTeam));
    m_strApiReply.clear();
}

int CTK_RegDlg::LoadMatchInputFile() {
    const std::u16string path = AskMatchInputFile();
    m_strInputRefusal.clear();
    if (path.empty())
        return 2;
    return ReadMatchInputFile(path, &m_strInputRefusal);
}

std::u16string CTK_RegDlg::AskMatchInputFile() {
    return QFileDialog::getOpenFileName(this, QString(), QString(), QStringLiteral("Log Files (*.ini)"))
        .toStdU16String();
}

bool CTK_RegDlg::StartedSinceAsked(int askedStarts, bool fromFile) {
    const MatchData& md = *m_pMatchData;
    const bool running = fromFile ? md.nGameState >= 2 && md.nGameState != 11 : md.nGameState > 1;
    if (md.nMatchStarts == askedStarts && !running)
        return false;
    DebugPrintf("match import dropped: a match started while it was awaited");
    MessageBox(GetSafeHwnd(),
               u"A match was started while the next match was being loaded: the match received "
               u"was not loaded.\r\nPlease load a new match after completing the playing match!");
    return true;
}

void CTK_RegDlg::ReadOvrMatchReply() {
    KillTimer(TIMER_OVR_MATCH_LOAD);
    if (!m_pMatchData)
        return;
    MatchData& md = *m_pMatchData;
    if (StartedSinceAsked(m_nAskedStarts, false)) {
        m_strApiReply.clear();
        GetDlgItem(1290)->setEnabled(true);
        return;
    }
    switch (md.nOvrSupplier) {
    case Atos:
        ApplyImport(OvrReply::ReadWeight(md, m_bTeam));
        break;
    case Generic:
        ApplyImport(OvrReply::ReadGeneric(md, m_bTeam));
        break;
    case Sceu:
        ApplyImport(OvrReply::ReadCategory(md, m_bTeam));
        break;
    case WtApi:
        LoadApiMatch();
        break;
    default:
        break;
    }
    if (md.nOvrSupplier == Vordex || PreRegUp())
        ApplyImport(OvrReply::ReadRin(md, PreRegUp(), m_bTeam));
    GetDlgItem(1290)->setEnabled(true);
}

void CTK_RegDlg::ApplyImport(const ImportOutcome& outcome) {
    for (const std::u16string& box : outcome.boxes)
        MessageBox(GetSafeHwnd(), box);
    if (!outcome.taken)
        return;
    if (outcome.confirm)
        SendOvrRequest(1);
    for (const auto& [id, text] : outcome.texts)
        SetDlgItemText(id, QString::fromStdString(text));
    const auto select = [this](int id, std::optional<int> item) {
        auto* combo = static_cast<QComboBox*>(GetDlgItem(id));
        if (item && *item < combo->count())
            combo->setCurrentIndex(*item);
    };
    select(1298, outcome.genderItem);
    select(1306, outcome.nationRow[0]);
    select(1307, outcome.nationRow[1]);
    ShowMatchRecord(outcome.showKeep);
    if (outcome.notify)
        SendMessage(g_hMainWnd, UM_MATCH_INFO_CHANGED, 0, 0);
}
