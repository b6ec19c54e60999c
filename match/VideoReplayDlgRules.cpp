#include "match/VideoReplayDlgRules.h"

namespace VideoReplayDlgRules {

namespace {

constexpr int kGamJeomCategory = 0;
constexpr int kSpecialGamJeomAction = 8;
constexpr int kFivePointCategory = 5;

QString RequesterWord(int requester) {
    return requester == 0   ? QStringLiteral("Blue")
           : requester == 1 ? QStringLiteral("Red")
                            : QStringLiteral("REF");
}

std::string RequesterLetter(int requester) {
    return requester == 0 ? "B" : requester == 1 ? "R" : "J";
}

QString PointsWord(const Choice& c) {
    if (c.category == kGamJeomCategory)
        return QStringLiteral("GamJeom");
    if (c.action == kSpecialGamJeomAction)
        return QStringLiteral("Special GamJeom");
    if (c.category == kFivePointCategory)
        return QStringLiteral("5(6) Point");
    return QStringLiteral("%1 Point").arg(c.category);
}

std::string PointsLetter(const Choice& c) {
    if (c.category == kGamJeomCategory)
        return "G";
    if (c.action == kSpecialGamJeomAction)
        return "SG";
    if (c.category == kFivePointCategory)
        return "5";
    return std::to_string(c.category);
}

QString ResultWord(const Choice& c) {
    if (c.appeal)
        return QStringLiteral("Appeal to Reject by Referee");
    return c.acceptReject == 1 ? QStringLiteral("Reject") : QStringLiteral("Accept");
}

} // namespace

Technique TechniqueOf(int id, int competitionType, int judgePointMiddle) {
    const bool type2 = competitionType == 2;
    switch (id) {
    case kGamJeomButton:
        return {0, 0};
    case kSpecialGamJeomButton:
        return {8, 2};
    case kPunchButton:
        return {1, 1};
    case kTrunkButton:
        return {2, 2};
    case kHeadButton:
        return {3, 3};
    case kTrunkTechButton:
        return {4, type2 ? 3 : 4};
    case kHeadTechButton:
        return {5, type2 ? 4 : 5};
    case kTrunkTechnicalButton:
        return {6, type2 ? 1 : 2};
    case kHeadTechnicalButton:
        return {7, judgePointMiddle == -1 ? 3 : 2};
    default:
        return kNoTechnique;
    }
}

bool Complete(const Choice& c) {
    return c.side >= 0 && c.side <= 1 && c.category >= 0 && c.category <= 5 && c.addRemove >= 0 &&
           c.addRemove <= 1 && c.acceptReject >= 0 && c.acceptReject <= 1 && c.action >= 0 && c.action <= 8;
}

QString ConfirmText(const Choice& c) {
    return QStringLiteral(" IVR Request: %1\r\n\r\n %2's %3 => %4\r\n  \r\n Result :%5\r\n")
        .arg(RequesterWord(c.requester), c.side == 0 ? QStringLiteral("Blue") : QStringLiteral("Red"),
             PointsWord(c), c.addRemove == 0 ? QStringLiteral("Add") : QStringLiteral("Remove"),
             ResultWord(c));
}

std::string DecisionText(const Choice& c) {
    const std::string requester = RequesterLetter(c.requester);
    const std::string side = c.side == 0 ? "B" : "R";
    const std::string addRemove = c.addRemove == 0 ? "P" : "M";
    const std::string result = c.acceptReject == 1 ? "R" : "A";
    const std::string action = std::to_string(c.action);
    if (c.appeal)
        return requester + "," + side + "," + addRemove + ",C," + result + "," + action;
    return requester + "," + side + "," + addRemove + "," + PointsLetter(c) + "," + result + "," + action;
}

QString TitleText(int requester) {
    return requester == 0   ? QStringLiteral("CHUNG : IVR REQUEST")
           : requester == 1 ? QStringLiteral("HONG : IVR REQUEST")
                            : QStringLiteral("REF : IVR REQUEST");
}

QRect PlaceOverView(const QRect& viewClient, const QSize& client) {
    const int width = client.width() + 16;
    const int height = client.height() + 36;
    const int left = viewClient.left() + (viewClient.width() - width) / 2;
    const int top = viewClient.top() + viewClient.height() - 26 - height;
    return QRect(left, top, width, height);
}

} // namespace VideoReplayDlgRules
