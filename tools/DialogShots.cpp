// Saves a picture of each match dialog, drawn offscreen over a sample match, into the folder given:
//   QT_QPA_PLATFORM=offscreen dialog-shots /tmp/shots
// so a change to a dialog can be looked at without a display.
#include "app/AppGlobals.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "match/RoundResultDlg.h"
#include "match/VideoReplayDlg.h"
#include "match/WinSelDlg.h"
#include "match/WinnerDisplayDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Save(QWidget& widget, const QDir& folder, const char* name) {
    const QString path = folder.filePath(QString::fromLatin1(name) + QStringLiteral(".png"));
    if (!widget.grab().save(path))
        std::fprintf(stderr, "could not write %s\n", path.toLocal8Bit().constData());
    else
        std::printf("%s\n", path.toLocal8Bit().constData());
}

void SampleMatch(MatchData& md) {
    md.nPrimaryRight = 1366;
    md.nPrimaryBottom = 768;
    md.nRound = 3;
    md.nCurRound = 2;
    md.nGamJeom = 5;
    md.nCompetitionRule = 1;
    std::strcpy(md.szContestNo, "101");
    std::strcpy(md.aPlayer[0].szName, "KIM Minjun");
    std::strcpy(md.aPlayer[0].szNationCode, "KOR");
    std::strcpy(md.aPlayer[1].szName, "SMITH John");
    std::strcpy(md.aPlayer[1].szNationCode, "GBR");
    for (int side = 0; side < 2; ++side) {
        md.aSide[side].nRoundScore[1] = 7;
        md.aSide[side].nTechTally[5][1] = 1;
        md.aSide[side].nTechTally[3][1] = 2;
        md.aSide[side].nPssHits[2] = 9;
    }
    md.aSide[0].nTechTally[10][1] = 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: dialog-shots FOLDER\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!folder.exists() && !QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    CreateMatchData();
    SampleMatch(*g_pMatchData);

    {
        CTK_RndResDlg decided(1, 0, 11, nullptr);
        decided.show();
        Save(decided, folder, "round-result");
    }
    {
        g_pMatchData->aSide[0].nTechTally[10][1] = 0;
        CTK_RndResDlg draw(1, 0, 11, nullptr);
        draw.show();
        Save(draw, folder, "round-result-draw");
    }
    {
        CTK_WinSelDlg select(1, 4, nullptr);
        select.show();
        Save(select, folder, "winner-selection");
    }
    {
        CTK_IVRDlg replay(0, nullptr);
        replay.show();
        for (int id : {int(CTK_IVRDlg::IDC_RED), int(VideoReplayDlgRules::kTrunkButton),
                       int(CTK_IVRDlg::IDC_ADD), int(CTK_IVRDlg::IDC_ACCEPT)})
            replay.findChild<QPushButton*>(QString::number(id))->click();
        Save(replay, folder, "video-replay");
    }
    g_pMatchData->nWinSide = 0;
    g_pMatchData->aSide[0].nRoundWins = 2;
    g_pMatchData->aPlayer[0].nNation = 1;
    // A program folder with one flag, from Debian's flag pictures when they are installed.
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Img/Flag"));
    QFile::copy(QStringLiteral("/usr/share/iso-flags-png-320x240/kr.png"),
                home.filePath(QStringLiteral("Img/Flag/kr.png")));
    g_strAppDir = (home.path() + QStringLiteral("/")).toStdU16String();
    const std::u16string flag = u"kr.png";
    std::copy(flag.begin(), flag.end(), g_pMatchData->aNation[1].wszField[3]);
    {
        CTK_WinDispDlg display(0, 0, 1920, 1080, nullptr);
        display.show();
        Save(display, folder, "winner-display-1920");
    }
    g_pMatchData->nDisplayResolution = 1;
    g_pMatchData->nWinSide = 3;
    {
        CTK_WinDispDlg display(0, 0, 1280, 720, nullptr);
        display.show();
        Save(display, folder, "winner-display-1280-draw");
    }
    g_pMatchData->nWinSide = 1;
    {
        CTK_WinDispDlg_OP display(nullptr);
        display.show();
        Save(display, folder, "winner-display-operator");
    }
    // Long names, each side winning, under the points system.
    g_pMatchData->nCompetitionRule = 0;
    g_pMatchData->aSide[0].nScore = 14;
    g_pMatchData->aSide[1].nScore = 21;
    std::strcpy(g_pMatchData->aPlayer[0].szName, "MAXIMILIAN HOHENBERG-SCHWARZENSTEIN");
    // Park Jihun Choi Yunseo, twice over, in Hangul.
    std::strcpy(g_pMatchData->aPlayer[1].szName,
                "\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88 "
                "\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c");
    for (const int resolution : {0, 1}) {
        for (const int side : {0, 1}) {
            g_pMatchData->nDisplayResolution = resolution;
            g_pMatchData->nWinSide = side;
            const QSize size = resolution == 1 ? QSize(1280, 720) : QSize(1920, 1080);
            CTK_WinDispDlg display(0, 0, size.width(), size.height(), nullptr);
            display.show();
            const std::string name = "winner-display-" + std::to_string(size.width()) +
                                     (side == 0 ? "-chung" : "-hong") + "-long-name";
            Save(display, folder, name.c_str());
        }
    }
    // The decision banners: each reason at each size, both sides, under both systems.
    for (const int rule : {0, 1}) {
        for (const int resolution : {0, 1}) {
            for (const int reason : {1, 2, 7, 20, 30, 40}) {
                for (const int side : {0, 1}) {
                    g_pMatchData->nCompetitionRule = rule;
                    g_pMatchData->nDisplayResolution = resolution;
                    g_pMatchData->nWinSide = side;
                    CTK_WinPopDlg banner(0, 0, 10, 10, reason, side + 1, nullptr);
                    banner.resize(WinnerDisplayRules::BannerSize(resolution == 1, rule == 1));
                    banner.show();
                    const std::string name = "decision-banner-" + std::string(rule ? "round-win-" : "") +
                                             (resolution ? "1280-" : "1920-") + std::to_string(reason) +
                                             (side == 0 ? "-chung" : "-hong");
                    Save(banner, folder, name.c_str());
                }
            }
        }
    }
    FreeMatchData();
    return 0;
}
