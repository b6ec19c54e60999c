#include "screens/ScoreboardRules.h"

#include "app/MatchData.h"
#include "match/ScoreRules.h"
#include "match/WinnerDisplayRules.h"

#include <QStringList>

#include <algorithm>

namespace Scoreboard {

namespace {

bool OvrConnected(const MatchData& md, int supplier) {
    return md.bOvrConnected && md.nOvrSupplier == supplier;
}

QString Joined(std::initializer_list<QString> parts) {
    QStringList list(parts);
    return list.join(QLatin1Char(' '));
}

} // namespace

QRect CentreOnMonitor(const QRect& monitor, QSize size) {
    const int dx = std::max(0, (monitor.width() - size.width()) / 2);
    const int dy = std::max(0, (monitor.height() - size.height()) / 2);
    return QRect(QPoint(monitor.left() + dx, monitor.top() + dy), size);
}

QRect SecondMonitorRect(const MatchData& md) {
    const int left = md.bSecondOrigin ? md.nSecondLeft : md.nPrimaryRight;
    const int top = md.bSecondOrigin ? md.nSecondTop : 0;
    return QRect(QPoint(left, top), QPoint(md.nSecondRight - 1, md.nSecondBottom - 1));
}

QString FlagPath(const MatchData& md, int player) {
    if (md.aPlayer[player].nNation <= 0)
        return {};
    return WinnerDisplayRules::FlagPath(md, QString::fromUtf8(md.szAppDirA), player);
}

COLORREF SideColour(int side, bool dark) {
    if (dark)
        return side == 0 ? 0x3B0E07 : 0x040853;
    return side == 0 ? 0xC8361E : 0x0810C0;
}

bool DarkSides(const MatchData& md) {
    return md.nCompetitionRule == 1 && md.nJudgeNumber == 1;
}

TextColours ClockColours(const QString& text) {
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    if (dot >= 0) {
        QString digits;
        for (qsizetype i = dot + 1; i < text.size() && text[i].isDigit(); ++i)
            digits += text[i];
        return digits.toInt() > 49 ? TextColours{kYellow, kNearBlack} : TextColours{kBlack, kYellow};
    }
    const qsizetype colon = text.indexOf(QLatin1Char(':'));
    if (colon >= 0) {
        const int seconds = text.left(colon).trimmed().toInt() * 60 + text.mid(colon + 1).trimmed().toInt();
        return seconds > 9 ? TextColours{kWhite, kNearBlack} : TextColours{kBlack, kYellow};
    }
    return {kWhite, kNearBlack};
}

QString GenderWord(const MatchData& md) {
    const QString gender = RecordText(md.szGender);
    if (gender.isEmpty() || OvrConnected(md, 3) || OvrConnected(md, 7) || md.nOvrSupplier == 8)
        return {};
    const bool female = gender.contains(QLatin1Char('F'));
    if (md.nCompetitionType == 1) {
        if (gender.contains(QLatin1Char('x')))
            return QStringLiteral("Mixed");
        return female ? QStringLiteral("Female") : QStringLiteral("Male");
    }
    return female ? QStringLiteral("W") : QStringLiteral("M");
}

QString StageName(int phase) {
    switch (phase) {
    case 0:
        return {};
    case 2:
        return QStringLiteral("Final");
    case 4:
        return QStringLiteral("Semi-final");
    case 8:
        return QStringLiteral("Quarter-final");
    default:
        return QStringLiteral("Round of %1").arg(phase);
    }
}

QString TitleLine(const MatchData& md) {
    const QString phase = RecordText(md.szPhase);
    const QString weightClass = RecordText(md.szWeightClass);
    const QString weight = RecordText(md.szWeight);
    if (md.nCompetitionType == 2) {
        if (weight.isEmpty())
            return {};
        QString marked = weight.left(13);
        const QString gender = GenderWord(md);
        // Without a gender word the weight stays whole.
        if (!gender.isEmpty()) {
            const qsizetype space = marked.indexOf(QLatin1Char(' '));
            qsizetype at = space >= 0 ? space + 1 : 1;
            if (space < 0 && marked.size() > 1 && marked[0].isHighSurrogate())
                at = 2;
            marked.insert(at, gender[0]);
        }
        return Joined({phase, weightClass, marked});
    }
    if (OvrConnected(md, 3)) {
        bool ok = false;
        const int number = phase.trimmed().section(QLatin1Char(' '), 0, 0).toInt(&ok);
        return Joined({StageName(ok ? number : 0), weightClass, weight});
    }
    return Joined({phase, weightClass, GenderWord(md), weight});
}

QString ScoreText(const MatchData& md, int score) {
    if (md.nGameState == 0 || (md.nCompetitionRule == 1 && md.bRoundTableShown == 1))
        return {};
    return QString::number(score);
}

ScoreStyle ScoreStyleFor(Layout layout, int leftScore, int rightScore, bool right) {
    const bool small = right ? (leftScore >= 100 || rightScore >= 100) : leftScore >= 100;
    if (layout == Layout::Small)
        return small ? ScoreStyle{200, right ? -6 : -8, 60} : ScoreStyle{270, 0, 0};
    return small ? ScoreStyle{300, 0, 80} : ScoreStyle{400, 0, 0};
}

int PenaltyCount(const MatchData& md, int side) {
    const TTK_SideScore& s = md.aSide[side];
    if (md.nCurRound > md.nRound) {
        const int r = std::clamp(md.nRound, 0, kMaxRounds - 1);
        return s.nRoundPenalty1[r] + s.nRoundPenalty2[r];
    }
    if (md.nCompetitionRule == 1) {
        const int r = ScoreRules::RoundIndex(md);
        return s.nRoundPenalty1[r] + s.nRoundPenalty2[r];
    }
    return s.nPenaltyCount1 + s.nPenaltyCount2;
}

int TeamPenaltyTotal(const MatchData& md, int side) {
    int total = 0;
    for (int r = 0; r < 3; ++r)
        total += md.aSide[side].nRoundPenalty1[r] + md.aSide[side].nRoundPenalty2[r];
    return total;
}

QString RoundsWonText(const MatchData& md, int side) {
    if (md.nGameState == 0 || md.nCompetitionRule != 1)
        return {};
    const int wins = md.aSide[side].nRoundWins;
    if (md.nJudgeNumber == 1)
        return wins >= 1 ? QStringLiteral("\u25CF") : QString();
    return QString::number(wins);
}

QString RoundScoreText(const MatchData& md, int side, int row) {
    if (row < 0 || row >= 3 || row >= md.nCurRound)
        return {};
    const TTK_SideScore& own = md.aSide[side];
    const TTK_SideScore& opponent = md.aSide[side ^ 1];
    return QString::number(own.nRoundScore[row] + opponent.nRoundPenaltyPoints1[row] +
                           opponent.nRoundPenaltyPoints2[row]);
}

QString TagText(const MatchData& md, int active, int startMs) {
    if (!active)
        return QStringLiteral("TAG");
    // The whole window counts down (a minute taken modulo 60 would never end the default 60 s window).
    const int left = md.nTeamTagTime - (startMs - md.nRemainTime) / 1000;
    return left < 1 ? QStringLiteral("TAG") : QString::number(left);
}

} // namespace Scoreboard
