// What the video-replay decision dialog builds from the operator's choices: the category each technique
// button stands for, the check that every choice is made, the confirmation text and the decision text the
// operator view reads, the title, and where the dialog sits over the view. Pure functions; any thread.
#pragma once

#include <QRect>
#include <QSize>
#include <QString>

#include <string>

namespace VideoReplayDlgRules {

// Button ids of the technique choices.
enum TechniqueId : int {
    kGamJeomButton = 1331,
    kSpecialGamJeomButton = 1342,
    kPunchButton = 1332,
    kTrunkButton = 1333,
    kHeadButton = 1334,
    kTrunkTechButton = 1335,
    kHeadTechButton = 1343,
    kTrunkTechnicalButton = 1344,
    kHeadTechnicalButton = 1345,
};
inline constexpr int kTechniqueIds[] = {kGamJeomButton,  kSpecialGamJeomButton, kPunchButton,
                                        kTrunkButton,    kHeadButton,           kTrunkTechButton,
                                        kHeadTechButton, kTrunkTechnicalButton, kHeadTechnicalButton};

// What a technique button chooses: the action code sent and the points category shown.
struct Technique {
    int action;
    int category;
};
// By the competition type (2 relabels the technique buttons) and the middle judge point (-1: the head
// technical point is worth 3).
Technique TechniqueOf(int id, int competitionType, int judgePointMiddle);
// The choice when no technique button is checked.
inline constexpr Technique kNoTechnique{7, 2};

// The operator's choices; each starts unset (one above its range).
struct Choice {
    int requester = 0;    // 0 Chung, 1 Hong, 2 referee
    int side = 2;         // 0 Chung, 1 Hong
    int category = 6;     // 0 gam-jeom, 1..5 points
    int addRemove = 2;    // 0 add, 1 remove
    int acceptReject = 2; // 0 accept, 1 reject
    int action = 9;       // 0..8
    bool appeal = false;  // appeal to reject by the referee
};

// Whether every choice is made; an incomplete one is answered "Invalid data!".
bool Complete(const Choice& choice);
// The question the operator confirms (caption "IVR Request").
QString ConfirmText(const Choice& choice);
// The decision sent to the operator view, e.g. "B,R,P,3,A,3"; with the appeal the points letter is "C".
std::string DecisionText(const Choice& choice);
// "CHUNG : IVR REQUEST", "HONG : IVR REQUEST" or "REF : IVR REQUEST".
QString TitleText(int requester);

// Where the dialog's frame goes: its size is the client size and the frame (16 wider, 36 taller), centred
// across the view's client area, its bottom 26 pixels above the area's bottom.
QRect PlaceOverView(const QRect& viewClient, const QSize& client);

} // namespace VideoReplayDlgRules
