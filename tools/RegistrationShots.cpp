// Pictures of the registration dialogs, the device-error pop-up and the device simulator as the operator
// sees them, drawn offscreen: registration-shots PROGRAM_FOLDER OUTPUT_FOLDER (the program folder gives the
// nation table and the weight divisions; resources/home will do).
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/NationTable.h"
#include "app/WeightDivisions.h"
#include "devices/DevErrDlg.h"
#include "devices/SimDlg.h"
#include "registration/RegDlg.h"
#include "registration/RegDlgTeam.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

namespace {

Registration::ContestRow Row(const char16_t* no, const char16_t* chung, const char16_t* cnation,
                             const char16_t* hong, const char16_t* hnation, const char16_t* weight) {
    Registration::ContestRow row;
    row.column = {u"Senior", no,  chung, cnation,  hong,      hnation, weight,
                  u"Male",   u"", u"",   u"Seoul", u"Dublin", u"Final"};
    return row;
}

bool Save(QWidget& w, const QString& path) {
    w.show();
    QApplication::processEvents();
    const bool ok = w.grab().save(path);
    std::printf("%s %s\n", ok ? "wrote" : "could not write", qPrintable(path));
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: registration-shots PROGRAM_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    g_strAppDir = QDir(QString::fromLocal8Bit(argv[1])).absolutePath().toStdU16String() + u"/";
    const QString out = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(out);
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    LoadNationTable(md);
    LoadWeightDivisions(md);
    md.nPrimaryRight = 1920;
    md.nPrimaryBottom = 1080;
    md.nPSSType = 2;
    md.nRound = 3;
    md.nRemainTime = 120000;
    md.nLevelBody = 21;
    md.nLevelHead = 1;
    md.nLevelPunch = 14;
    md.bReceiverMajorNew = 1;
    std::strcpy(md.szContestNo, "002");
    std::strcpy(md.aPlayer[0].szName, "KIM Minsu");
    std::strcpy(md.aPlayer[1].szName, "O`NEIL Sean");
    md.aPlayer[0].nNation = 1;
    md.aPlayer[1].nNation = 2;
    std::strcpy(md.aPlayer[0].szMacBody, "00150005E7750A1B");
    md.bRegBody[0] = 1;
    md.bJudgeWired[0] = 1;
    std::strcpy(md.szJudgeMac[0], "A1B2C3");

    bool ok = true;
    const std::vector<Registration::ContestRow> rows = {
        Row(u"001", u"PARK Jisoo", u"Korea", u"LOPEZ Ana", u"Spain", u"-54kg"),
        Row(u"002", u"KIM Minsu", u"Korea", u"O`NEIL Sean", u"Ireland", u"-58kg"),
        Row(u"005", u"CHUNG", u"-", u"HONG", u"-", u"-63kg"),
    };
    {
        auto* dialog = new CTK_RegDlg;
        dialog->FillContestList(rows);
        dialog->PlaceOnScreen(1);
        ok &= Save(*dialog, out + QStringLiteral("/registration-wide.png"));
        dialog->PlaceOnScreen(0);
        ok &= Save(*dialog, out + QStringLiteral("/registration-narrow.png"));
        delete dialog;
    }
    {
        md.nCompetitionType = 1;
        md.nTeamType = 3;
        auto* dialog = new CTK_RegDlg_Team;
        dialog->PlaceOnScreen(1);
        ok &= Save(*dialog, out + QStringLiteral("/registration-team.png"));
        delete dialog;
    }
    for (const int status : {0x1, 0x8000000, 0x800000}) {
        CTK_DevErrDlg popup(status, 0, 0, 1920, 1080);
        ok &= Save(popup, out + QStringLiteral("/device-error-%1.png").arg(status, 0, 16));
    }
    {
        CTK_SimDlg simulator; // sends to no view here
        ok &= Save(simulator, out + QStringLiteral("/simulation.png"));
    }
    FreeWeightDivisions(md);
    FreeMatchData();
    return ok ? 0 : 1;
}
