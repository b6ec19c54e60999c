#include "app/AppGlobals.h"
#include "app/FileWriter.h"
#include "app/MatchData.h"
#include "app/TextConvert.h"
#include "links/MatchInput.h"
#include "platform/DebugOutput.h"
#include "records/MatchRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QString>

#include <algorithm>

namespace {

// A value on one line: line breaks (and other control characters) become blanks.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](unsigned char c) { return c < 0x20 || c == 0x7f; }, ' ');
    return text;
}

std::string Utf8(const std::u16string& text) {
    return QString::fromStdU16String(text).toStdString();
}

} // namespace

const char* ResultTypeCode(int decisionKind) {
    // In the order of the decision kinds (0 final score, 1 point gap, 2 golden point, 3 referee stop ...), so
    // a win on the final score is reported as PTF, not as a referee stop.
    static const char* const codes[] = {"PTF", "PTG", "SDP", "RSC", "SUP", "WDR", "DSQ", "PUN", "DQB"};
    return decisionKind >= 0 && decisionKind < static_cast<int>(std::size(codes)) ? codes[decisionKind]
                                                                                  : "NONE";
}

std::string ResultFileText(const MatchData& md, const TTK_MatchInput& input) {
    const TTK_SideScore& c = md.aSide[0];
    const TTK_SideScore& h = md.aSide[1];
    // Only a decided side is named: a draw (or no decision) names no winner rather than the red side.
    std::string winner;
    if (md.nWinSide == 0)
        winner = "Blue - " + RecordTextUtf8(FieldText(md.aPlayer[0].szName)) + " - " +
                 Utf8(input.field[TTK_MatchInput::BlueId]);
    else if (md.nWinSide == 1)
        winner = "Red - " + RecordTextUtf8(FieldText(md.aPlayer[1].szName)) + " - " +
                 Utf8(input.field[TTK_MatchInput::RedId]);
    const int chungTotal = c.nScore + h.nPenaltyCount1 + 2 * h.nPenaltyCount2;
    const int hongTotal = h.nScore + c.nPenaltyCount1 + 2 * c.nPenaltyCount2;
    return "[Match_Result]\r\nmatch=" + OneLine(Utf8(input.field[TTK_MatchInput::Match])) +
           "\r\nvma_key=" + OneLine(Utf8(input.field[TTK_MatchInput::VmaKey])) + "\r\nwinner=\"" +
           OneLine(winner) + "\"\r\nscore=\"" + std::to_string(chungTotal) + " - " +
           std::to_string(hongTotal) + "\"\r\nresult_type=" + ResultTypeCode(md.nDecisionKind) + "\r\n";
}

int WriteResultIni() {
    if (!g_pMatchData)
        return 1;
    const std::u16string& name = g_MatchInput.field[TTK_MatchInput::FileName];
    if (name.empty() || name.find_first_of(u"/\\") != std::u16string::npos || name == u"..") {
        DebugPrintf("result file not written: unusable match-input file name \"%s\"", Utf8(name).c_str());
        return 1;
    }
    const QString path = QString::fromStdU16String(AppPath(u"Result/" + name + u"-res.ini"));
    const std::string text = ResultFileText(*g_pMatchData, g_MatchInput);
    TheFileWriter().Replace(path.toStdString(), [path, text] {
        QDir().mkpath(QFileInfo(path).path());
        // Written beside the old file and renamed over it, so a crash never leaves half a result.
        QSaveFile file(path);
        if (file.open(QIODevice::WriteOnly) &&
            file.write(text.data(), static_cast<qint64>(text.size())) >= 0 && file.commit())
            return true;
        DebugPrintf("result file not written: %s: %s", path.toStdString().c_str(),
                    file.errorString().toStdString().c_str());
        return false;
    });
    return 1;
}
