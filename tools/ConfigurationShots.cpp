// Screenshots of the configuration dialogs, made offscreen: each tab of the Configuration dialog and the
// device lists dialog, as PNG files in the folder given (default: the current folder). The dialogs run on a
// temporary program folder with sample settings, so nothing of a real court is read or written.
//
//   QT_QPA_PLATFORM=offscreen configuration-shots OUTDIR
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/RuleSettings.h"
#include "match/SuDlg.h"

#include <QApplication>
#include <QDir>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("ini"));
    g_strAppDir = (home.path() + QLatin1Char('/')).toStdU16String();
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    LoadRuleSettings(md);
    md.nPrimaryRight = 1280;
    md.nPrimaryBottom = 720;

    bool ok = true;
    {
        CTK_SuDlg dialog(&md);
        const char* names[] = {"configuration-rule.png", "configuration-external.png",
                               "configuration-division.png"};
        for (int tab = 0; tab < dialog.Tabs()->count(); ++tab) {
            dialog.Tabs()->setCurrentIndex(tab);
            ok = dialog.grab().save(out + QLatin1Char('/') + QString::fromLatin1(names[tab])) && ok;
        }
    }
    FreeMatchData();
    if (!ok)
        std::fprintf(stderr, "a screenshot could not be written to %s\n", qPrintable(out));
    return ok ? 0 : 1;
}
