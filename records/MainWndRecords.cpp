// The operator view's record operations: the match and its scoring events in the local database, the
// judge-input lamps with their match log, and the draw decision.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "app/SqlText.h"
#include "app/TextConvert.h"
#include "app/VeziruduzApp.h"
#include "platform/DebugOutput.h"
#include "records/MatchRecords.h"
#include "screens/OperatorLayout.h"

#include <QDateTime>
#include <QFile>
#include <QString>

#include <algorithm>

namespace {

std::string Utf8(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toStdString();
}

// A narrow field of the record, ready to stand between single quotes.
template <std::size_t N> std::string Quoted(const char (&field)[N]) {
    return SqlQuote(FieldText(field));
}

std::string Quoted(std::u16string_view text) {
    return SqlQuote(Utf8(text));
}

// The database's date/time text of the local time now.
std::string NowText() {
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString();
}

// The event-log column of an event kind for a side; null when the kind is not logged.
const char* EventColumn(int side, int kind) {
    switch (kind) {
    case 0:
    case 8:
    case 9:
    case 19:
        return "jpoint";
    case 1:
    case 16:
    case 22:
        return "vest";
    case 2:
    case 17:
        return "face";
    case 3:
    case 6:
    case 11:
    case 12:
    case 20:
    case 23:
        return "point";
    case 4:
    case 5:
    case 7:
        return side == 0 ? "point" : "jpoint";
    case 10:
    case 21:
        return "deduct";
    case 13:
        return "judge1";
    case 14:
        return "judge2";
    case 15:
        return "judge3";
    default:
        return nullptr;
    }
}

// Sum of one tally row over the rounds played so far.
int TallyToRound(const TTK_SideScore& s, int row, int rounds) {
    int sum = 0;
    for (int i = 0; i < std::clamp(rounds, 0, kMaxRounds); ++i)
        sum += s.nTechTally[row][i];
    return sum;
}

void Run(const char* what, BOOL ok) {
    if (!ok)
        DebugPrintf("%s failed: %s", what, theApp.m_dbLocal.lastError().c_str());
}

void LogEvent(const std::u16string& key, const std::u16string& round, int side, std::u16string_view time,
              int kind, int value, int count, std::uint32_t stamp) {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    if (!md.bMatchLogged || md.nGameState == 13)
        return;
    const char* column = EventColumn(side, kind);
    if (!column)
        return;
    const char* table = side == 0 ? "CHUNGLOG" : "HONGLOG";
    const int index = ++md.nLogIndex;
    Run(table, theApp.m_dbLocal.Execute(
                   "INSERT INTO %s(keyvalue,round,rtime,%s,gtime,itemvalid,ptime,dbindex) "
                   "VALUES('%s','%s','%s',%d,'%s',%d,%u,%d)",
                   table, column, Quoted(key).c_str(), Quoted(round).c_str(), Quoted(time).c_str(), value,
                   NowText().c_str(), count ? 1 : 0, static_cast<unsigned>(stamp), index));
    if (kind >= 13 && kind <= 15)
        return; // a judge's press changes no total
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    const TTK_SideScore& own = md.aSide[side];
    const char prefix = side == 0 ? 'c' : 'h';
    Run("GAMET totals", theApp.m_dbLocal.Execute(
                            "UPDATE GAMET SET chungpoint=%d, hongpoint=%d, %cpoint=%d, %cfacepoint=%d, "
                            "%cbodypoint=%d, %cdeduct=%d WHERE keyvalue='%s'",
                            c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2,
                            h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2, prefix, own.nScore, prefix,
                            TallyToRound(own, 4, md.nCurRound), prefix, TallyToRound(own, 2, md.nCurRound),
                            prefix, own.nPenaltyCount1 + own.nPenaltyCount2, Quoted(key).c_str()));
}

} // namespace

void CMainWnd::LogChungEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(m_strMatchKey, m_strRoundText, 0, time, kind, value, count, stamp);
}

void CMainWnd::LogHongEvent(std::u16string_view time, int kind, int value, int count, std::uint32_t stamp) {
    LogEvent(m_strMatchKey, m_strRoundText, 1, time, kind, value, count, stamp);
}

void CMainWnd::LogMatchRow() {
    if (!g_pMatchData || g_pMatchData->bMatchLogged)
        return;
    MatchData& md = *g_pMatchData;
    CAdoObject& db = theApp.m_dbLocal;
    // The key is the minute the match starts. A second match started within the same minute takes the next
    // free minute, so its events never join the rows of the first.
    QDateTime when = QDateTime::currentDateTime();
    std::string key = when.toString(QStringLiteral("yyyyMMddHHmm")).toStdString();
    for (int tries = 0; tries < 1000; ++tries) {
        db.Select("SELECT count(*) FROM GAMET WHERE keyvalue='%s'", key.c_str());
        if (db.nRows != 1 || db.cell(0, 0).asInt32() == 0)
            break;
        when = when.addSecs(60);
        key = when.toString(QStringLiteral("yyyyMMddHHmm")).toStdString();
    }
    const TTK_Player& c = md.aPlayer[0];
    const TTK_Player& h = md.aPlayer[1];
    Run("GAMET row",
        db.Execute(
            "INSERT INTO GAMET(roomno,gameno,gtime,keyvalue,cname,cnation,cvmac,hname,hnation,hvmac,sex,"
            "face,valid,weight,weight1,bvalue,fvalue,cfrom,hfrom) VALUES('%d','%s','%s','%s','%s','%s',"
            "'%s','%s','%s','%s','%s',%d,%d,'%s','%s','%d','%d','%s','%s')",
            md.nCourtNo, Quoted(md.szContestNo).c_str(), NowText().c_str(), key.c_str(),
            Quoted(c.szName).c_str(), Quoted(c.szNationCode).c_str(), Quoted(c.szMacBody).c_str(),
            Quoted(h.szName).c_str(), Quoted(h.szNationCode).c_str(), Quoted(h.szMacBody).c_str(),
            Quoted(md.szGender).c_str(), md.nPSSType == 2 ? 1 : 0, md.bUseESocks ? 1 : 0,
            Quoted(md.szWeightClass).c_str(), Quoted(md.szWeight).c_str(), md.nLevelBody, md.nLevelHead,
            Quoted(c.szNationCode).c_str(), Quoted(h.szNationCode).c_str()));
    if (!md.bOvrConnected || md.nOvrSupplier == 4)
        Run("PLAYER row removal",
            db.Execute(
                "DELETE FROM PLAYER WHERE FNo = '%s' AND Weight = '%s' AND Weight1 = '%s' AND Sex = '%s'",
                Quoted(md.szContestNo).c_str(), Quoted(md.szWeightClass).c_str(), Quoted(md.szWeight).c_str(),
                Quoted(md.szGender).c_str()));
    m_strMatchKey = QString::fromStdString(key).toStdU16String();
    md.nLogIndex = 0;
    md.bMatchLogged = 1;
}

void CMainWnd::ToggleJudgeLamp(int show, int force, int second) {
    const int lamp[2] = {OperatorIds::LampChung, OperatorIds::LampHong};
    if (show == 0) {
        ShowDlgItem(lamp[0], false);
        ShowDlgItem(lamp[1], false);
        m_bLampNextShow[0] = m_bLampNextShow[1] = 1;
        return;
    }
    const int side = second ? 1 : 0;
    if (force)
        m_bLampNextShow[side] = 1;
    ShowDlgItem(lamp[side], m_bLampNextShow[side] == 1);
    m_bLampNextShow[side] = m_bLampNextShow[side] == 1 ? 0 : 1;
    if (!second || !g_pMatchData)
        return;
    // The line goes only into a log file that is already there; a contest number naming another folder is
    // not followed.
    const std::string_view contest = FieldText(g_pMatchData->szContestNo);
    if (contest.find_first_of("/\\") != std::string_view::npos || contest == "..")
        return;
    QFile log(QString::fromStdU16String(
        AppPath(u"Log/No" +
                QString::fromUtf8(contest.data(), static_cast<qsizetype>(contest.size())).toStdU16String() +
                u".txt")));
    if (!log.open(QIODevice::ReadWrite | QIODevice::ExistingOnly | QIODevice::Append))
        return;
    const std::u16string line = u"[R" + m_strRoundText + u":" + m_strClockText + u"]\r\n";
    QByteArray bytes;
    for (const char16_t unit : line) { // UTF-16LE, two bytes a character
        bytes.append(static_cast<char>(unit & 0xff));
        bytes.append(static_cast<char>(unit >> 8));
    }
    if (log.write(bytes) != bytes.size())
        DebugPrintf("judge-lamp log: %s", log.errorString().toStdString().c_str());
}

void CMainWnd::OnClickedDraw() {
    if (!g_pMatchData)
        return;
    MatchData& md = *g_pMatchData;
    md.nWinRound = md.nCurRound;
    md.nWinSide = 3;
    md.nDecisionKind = 10;
    // The winner display dialogs, the draw's notices to outside systems and its tournament-database rows
    // come with their own screens and links.
}
