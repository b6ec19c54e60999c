// Screenshots of the configuration dialogs, made offscreen: each tab of the Configuration dialog and the
// device lists dialog, as PNG files in the folder given (default: the current folder). The dialogs run on a
// temporary program folder made from the shipped settings (resources/home/ini) with two sample device
// addresses, so nothing of a real court is read or written.
//
//   QT_QPA_PLATFORM=offscreen configuration-shots OUTDIR
#include "app/AppGlobals.h"
#include "app/MatchData.h"
#include "app/RuleSettings.h"
#include "app/WeightDivisions.h"
#include "controls/CheckListCtrl.h"
#include "devices/DevListDlg.h"
#include "devices/DeviceLists.h"
#include "match/SuDlg.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QDir::currentPath();
    QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("ini"));
    const QDir shipped(QStringLiteral(BELVANTA_SOURCE_DIR "/resources/home/ini"));
    for (const QString& file : shipped.entryList(QDir::Files))
        QFile::copy(shipped.filePath(file), home.path() + QStringLiteral("/ini/") + file);
    g_strAppDir = (home.path() + QLatin1Char('/')).toStdU16String();
    CreateMatchData();
    MatchData& md = *g_pMatchData;
    LoadRuleSettings(md);
    LoadWeightDivisions(md);
    SaveDeviceList(DeviceList::ChungTrunk, {u"0000000000000001", u"000000000000A0B2"});
    SaveDeviceList(DeviceList::HongHead, {u"1000010000000007"});
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
    {
        CTK_DevListDlg devices;
        devices.List(DeviceList::ChungTrunk)->topLevelItem(1)->setCheckState(0, Qt::Checked);
        devices.adjustSize();
        ok = devices.grab().save(out + QStringLiteral("/device-lists.png")) && ok;
    }
    FreeWeightDivisions(md);
    FreeMatchData();
    if (!ok)
        std::fprintf(stderr, "a screenshot could not be written to %s\n", qPrintable(out));
    return ok ? 0 : 1;
}
