// The operator screen's names and nations as the operator reads them, in every layout the screen has (a
// single or a team match, with or without a nation row) and in Latin, Hangul and Chinese letters: each
// text's ink lies inside its own panel (none cut at an edge, so none runs under the other side's), a name
// that can be shown whole at a smaller size is, and a longer one is elided at its end.
#include "app/AppGlobals.h"
#include "app/ColorRef.h"
#include "app/MainWnd.h"
#include "app/MatchData.h"
#include "controls/MyStatic.h"
#include "screens/OperatorLayout.h"
#include "tests/screens/OperatorViewTest.h"
#include "tests/screens/ScreenTestSupport.h"
#include "tests/support/TempHome.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

using namespace OperatorIds;

// The box of the pixels of a panel that are not its fill colour: the ink of its text.
QRect InkIn(const QImage& shot, const QRect& panel, QColor fill) {
    QRect ink;
    for (int y = panel.top(); y <= panel.bottom(); ++y)
        for (int x = panel.left(); x <= panel.right(); ++x) {
            const QColor c = shot.pixelColor(x, y);
            const int distance = std::abs(c.red() - fill.red()) + std::abs(c.green() - fill.green()) +
                                 std::abs(c.blue() - fill.blue());
            if (distance > 60)
                ink = ink.united(QRect(x, y, 1, 1));
        }
    return ink;
}

class OperatorTextLayoutTest : public OperatorViewTest<CMainWnd> {
protected:
    void BeforeView() override {
        md().nNationCount = 3;
        PutWide(md().aNation[1].wszField[3], QStringLiteral("none.gif"));
        PutWide(md().aNation[2].wszField[3], QStringLiteral("none.gif"));
    }
};

TEST_F(OperatorTextLayoutTest, NamesAndNationsShrinkThenElideInsideTheirOwnPanels) {
    struct Layout {
        const char* name;
        int team;
        bool nation;
    };
    const Layout layouts[] = {
        {"single match with nations", 0, true},
        {"single match without nations", 0, false},
        {"team match with nations", 1, true},
        {"team match without nations", 1, false},
    };
    struct Names {
        const char* script;
        const char *chung, *hong, *chungTeam, *hongTeam;
        bool whole; // both names fit whole at a size the operator reads
    };
    const Names names[] = {
        {"Latin", "MAXIMILIAN HOHENBERG-SCHWARZENSTEIN", "AHMAD ABUGHAUSH", "KOREA NATIONAL TEAM",
         "JORDAN NATIONAL TEAM", true},
        {"long Latin", "MAXIMILIAN ALEXANDER FREIHERR VON HOHENBERG-SCHWARZENSTEIN-LICHTENAU",
         "AHMAD MOHAMMAD SALEH ABUGHAUSH AL-HASHEMI AL-QURASHI", "KOR", "JOR", false},
        // After the long names: the next match's short ones take the panels' own size again.
        {"short Latin", "KIM", "LEE", "KOR", "JOR", true},
        {"Hangul",
         "\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80\xea\xb9\x80\xeb\xaf\xbc\xec\xa4\x80 "
         "\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0\xec\x9d\xb4\xec\x84\x9c\xec\x97\xb0",
         "\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88\xeb\xb0\x95\xec\xa7\x80\xed\x9b\x88 "
         "\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c\xec\xb5\x9c\xec\x9c\xa4\xec\x84\x9c",
         "\xeb\x8c\x80\xed\x95\x9c\xeb\xaf\xbc\xea\xb5\xad \xea\xb5\xad\xea\xb0\x80\xeb\x8c\x80\xed\x91\x9c",
         "\xed\x95\x9c\xea\xb5\xad", true},
        {"Chinese",
         "\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e"
         "\xe8\xbe\x89\xe6\xac\xa7\xe9\x98\xb3\xe6\x98\x8e\xe8\xbe\x89",
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e"
         "\xe8\xaf\xb8\xe8\x91\x9b\xe5\xad\x94\xe6\x98\x8e",
         "\xe4\xb8\xad\xe5\x9b\xbd\xe5\x9b\xbd\xe5\xae\xb6\xe9\x98\x9f\xe4\xb8\xad\xe5\x9b\xbd\xe5\x9b\xbd"
         "\xe5\xae\xb6\xe9\x98\x9f",
         "\xe4\xb8\xad\xe5\x8d\x8e\xe5\x8f\xb0\xe5\x8c\x97", true},
    };
    for (const Layout& layout : layouts) {
        for (const Names& n : names) {
            SCOPED_TRACE(testing::Message() << n.script << " names, " << layout.name);
            md().nCompetitionType = layout.team;
            md().aPlayer[0].nNation = layout.nation ? 1 : 0;
            md().aPlayer[1].nNation = layout.nation ? 2 : 0;
            Put(md().aPlayer[0].szName, n.chung);
            Put(md().aPlayer[1].szName, n.hong);
            Put(md().aPlayer[0].szNationCode, n.chungTeam);
            Put(md().aPlayer[1].szNationCode, n.hongTeam);
            view->UpdateStateDisplay();
            view->ShowPlayers();
            const QImage shot = view->grab().toImage();
            const struct {
                int id;
                const char* text;
                bool whole;
            } panels[] = {
                {NameChung, n.chung, n.whole},
                {NameHong, n.hong, n.whole},
                {NationChung, n.chungTeam, false},
                {NationHong, n.hongTeam, false},
            };
            QRect inks[4];
            for (std::size_t i = 0; i < std::size(panels); ++i) {
                const auto& p = panels[i];
                SCOPED_TRACE(p.text);
                auto* label = qobject_cast<CMyStatic*>(view->GetDlgItem(p.id));
                ASSERT_NE(label, nullptr);
                const QRect panel = label->geometry();
                const QRect ink = InkIn(shot, panel, ColorFromRef(label->m_crFill));
                inks[i] = ink;
                ASSERT_FALSE(ink.isEmpty()) << "the text shows";
                EXPECT_TRUE(panel.adjusted(2, 1, -2, -1).contains(ink))
                    << "cut at its panel's edge: ink " << ink.x() << "," << ink.y() << " " << ink.width()
                    << "x" << ink.height() << " in " << panel.x() << "," << panel.y() << " " << panel.width()
                    << "x" << panel.height();
                const QString full = QString::fromUtf8(p.text);
                const QString shown = label->text();
                if (p.whole) {
                    EXPECT_EQ(shown, full) << "shown whole";
                } else if (shown != full) {
                    EXPECT_TRUE(shown.endsWith(QChar(0x2026)) && full.startsWith(shown.chopped(1)))
                        << "elided at its end: " << shown.toStdString();
                }
                const bool name = p.id == NameChung || p.id == NameHong;
                EXPECT_GE(label->font().pixelSize(), name ? 20 : 13) << "a size the operator reads";
                if (layout.nation && std::string(n.script) == "short Latin") {
                    EXPECT_EQ(label->font().pixelSize(), name ? 46 : 22) << "a text that fits is not shrunk";
                }
            }
            for (int a = 0; a < 4; ++a)
                for (int b = a + 1; b < 4; ++b)
                    EXPECT_FALSE(inks[a].intersects(inks[b]))
                        << panels[a].text << " runs into " << panels[b].text;
        }
    }
}

} // namespace
