#include "match/WinnerDisplayRules.h"

#include "app/ColorRef.h"
#include "app/MatchData.h"
#include "match/ScoreRules.h"
#include "resources/ArtworkIds.h"
#include "screens/ScoreboardRules.h"

#include <cstring>

namespace WinnerDisplayRules {

namespace {

constexpr int kNameCharacters = 16;

QString Field(const char* text) {
    return QString::fromUtf8(text, static_cast<qsizetype>(strnlen(text, 260)));
}

bool ValidSide(int side) {
    return side == 0 || side == 1;
}

} // namespace

Screen PublicScreen(const MatchData& md) {
    return md.nDisplayResolution == 1 ? Screen::Public1280 : Screen::Public1920;
}

Layout LayoutFor(Screen screen, bool chungHasNation) {
    Layout l;
    switch (screen) {
    case Screen::Public1280:
        l.title = QRect(295, 80, 689, 163);
        // The 1280 display keeps its score areas where the 1920 one has them, two thirds of the way.
        l.chungScore = QRect(772, 245, 213, 177);
        l.hongScore = QRect(990, 245, 213, 177);
        l.name = chungHasNation ? QRect(363, 477, 850, 177) : QRect(67, 477, 1146, 177);
        l.flag = QRect(67, 477, 265, 177);
        l.background = QSize(1280, 720);
        l.titleFont = 60;
        l.nameFont = 73;
        break;
    case Screen::Public1920:
        l.title = QRect(442, 120, 1034, 245);
        l.chungScore = QRect(1158, 367, 320, 265);
        l.hongScore = QRect(1485, 367, 320, 265);
        l.name = chungHasNation ? QRect(545, 715, 1275, 265) : QRect(100, 715, 1720, 265);
        l.flag = QRect(100, 715, 397, 265);
        l.background = QSize(1920, 1080);
        l.titleFont = 90;
        l.nameFont = 110;
        break;
    case Screen::Operator:
        l.title = QRect(234, 64, 548, 130);
        l.chungScore = QRect(612, 195, 170, 140);
        l.hongScore = QRect(790, 195, 170, 140);
        l.name = chungHasNation ? QRect(289, 379, 676, 140) : QRect(53, 379, 912, 140);
        l.flag = QRect(53, 379, 210, 140);
        l.background = QSize(1020, 574);
        l.titleFont = 48;
        l.nameFont = 57;
        break;
    }
    l.flagFrame = l.flag.adjusted(-1, -1, 1, 1);
    // A third of each score area names its side; the caption stands on the numbers' line, left of them.
    const int header = l.chungScore.height() * 3 / 10;
    const int inset = l.chungScore.width() / 20;
    const auto split = [&](const QRect& score, QRect& head, QRect& value) {
        head = QRect(score.x() + inset, score.y(), score.width() - 2 * inset, header);
        value = score.adjusted(0, header, 0, 0);
    };
    split(l.chungScore, l.chungHeader, l.chungValue);
    split(l.hongScore, l.hongHeader, l.hongValue);
    const int left = l.flag.x();
    l.scoreCaption = QRect(left, l.chungValue.y(), l.chungValue.x() - inset - left, l.chungValue.height());
    l.labelFont = header * 3 / 5;
    return l;
}

QRect OperatorRect(int primaryWidth, int primaryHeight) {
    return QRect((primaryWidth - 1020) / 2, (primaryHeight - 574) / 2 - 90, 1024, 574);
}

QString NameText(const MatchData& md, int winSide) {
    if (!ValidSide(winSide))
        return QStringLiteral("DRAW");
    const TTK_Player& player = md.aPlayer[winSide];
    // Cut by characters of the decoded text, so no character is ever split.
    const QString name = Field(player.szName);
    QString cut;
    int characters = 0;
    for (qsizetype i = 0; i < name.size() && characters < kNameCharacters; ++characters) {
        const qsizetype length = name.at(i).isHighSurrogate() && i + 1 < name.size() ? 2 : 1;
        cut += name.mid(i, length);
        i += length;
    }
    return QStringLiteral("%1 (%2)").arg(cut, Field(player.szNationCode));
}

Colours NameColours(int winSide) {
    // The board's side colours: white reads on them (pure red would not).
    if (ValidSide(winSide))
        return {Qt::white, ColorFromRef(Scoreboard::SideColour(winSide, false))};
    return {Qt::black, QColor(255, 255, 0)};
}

bool ShowsFlag(const MatchData& md, int winSide) {
    return winSide != 3 && md.aPlayer[0].nNation != 0;
}

QString FlagPath(const MatchData& md, const QString& programFolder, int winSide) {
    if (!ValidSide(winSide))
        return {};
    const int row = md.aPlayer[winSide].nNation;
    if (row < 0 || row >= kNationRows)
        return {};
    const WCHAR* file = md.aNation[row].wszField[3];
    std::size_t length = 0;
    while (length < 260 && file[length] != 0)
        ++length;
    return programFolder + QStringLiteral("Img/Flag/") +
           QString::fromUtf16(file, static_cast<qsizetype>(length));
}

QString TitleText(const MatchData& md) {
    return QStringLiteral("MATCH %1 RESULT").arg(Field(md.szContestNo));
}

std::pair<int, int> Scores(const MatchData& md) {
    if (ScoreRules::UsesRoundWins(md))
        return {md.aSide[0].nRoundWins, md.aSide[1].nRoundWins};
    return {ScoreRules::MatchTotal(md, 0), ScoreRules::MatchTotal(md, 1)};
}

QString ScoreCaption(const MatchData& md) {
    return ScoreRules::UsesRoundWins(md) ? QStringLiteral("ROUNDS WON") : QStringLiteral("FINAL SCORE");
}

int BannerImageId(int reason, bool resolution1280, bool roundWins, int winner) {
    const bool hong = winner == 1;
    // The round-win system's 1920 board shows its banners at 472 x 320: each has a picture of that size,
    // never a flat one squeezed into it.
    const bool roundWins1920 = roundWins && !resolution1280;
    switch (reason) {
    case 1:
        return resolution1280 ? (hong ? 832 : 830) : roundWins1920 ? 978 : (hong ? 831 : 829);
    case 2:
        return resolution1280 ? (hong ? 824 : 822)
               : roundWins1920
                   ? (hong ? ArtworkIds::GoldenPointBannerHong : ArtworkIds::GoldenPointBannerChung)
                   : (hong ? 823 : 821);
    case 7:
        return resolution1280 ? (hong ? 836 : 834) : roundWins1920 ? 982 : (hong ? 835 : 833);
    case 20:
        return resolution1280 ? 865 : roundWins1920 ? ArtworkIds::RoundDecidedBanner : 864;
    case 30:
        return resolution1280 ? 867 : roundWins1920 ? ArtworkIds::MatchDecidedBanner : 962;
    case 40:
        return resolution1280 ? 869 : roundWins1920 ? ArtworkIds::FinalDecisionBanner : 868;
    default:
        return reason;
    }
}

QSize BannerSize(bool resolution1280, bool roundWins) {
    if (resolution1280)
        return QSize(962, 122);
    return roundWins ? QSize(472, 320) : QSize(1444, 183);
}

int BannerWinner(const MatchData& md, int winner) {
    if (ScoreRules::UsesRoundWins(md))
        return winner - 1 < 0 ? 0 : winner - 1;
    return md.nWinSide;
}

} // namespace WinnerDisplayRules
