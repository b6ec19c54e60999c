#include "match/JudgeRules.h"

#include <algorithm>
#include <charconv>

namespace JudgeRules {

namespace {

// A field as atoi reads it: blanks, a sign, digits; nothing else, or a value past int, gives 0.
int Field(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    int value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    (void)end;
    return error == std::errc() ? value : 0;
}

int Count(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], int bitClass) {
    const std::uint32_t bit = ClassBit(side, bitClass);
    int count = 0;
    for (int j = 0; j < std::clamp(md.nJudgeNumber, 0, kJudges); ++j)
        count += (masks[j] & bit) != 0;
    return count;
}

bool Agreed(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], int bitClass) {
    // A quorum below one would let every class pass without a press.
    return Count(md, side, masks, bitClass) >= std::max(md.nJudgeQuorum, 1);
}

// The middle button's value, or the technique's own value when the middle value is "by technique" (-1).
int MiddleOr(const MatchData& md, int byTechnique) {
    return md.nJudgePointMiddle == -1 ? byTechnique : md.nJudgePointMiddle;
}

} // namespace

Press ParsePress(std::string_view text) {
    Press press;
    int* fields[3] = {&press.chung, &press.hong, &press.flag};
    for (int i = 0; i < 3; ++i) {
        const std::size_t comma = text.find(',');
        *fields[i] = Field(text.substr(0, comma));
        if (comma == std::string_view::npos)
            break;
        text.remove_prefix(comma + 1);
    }
    return press;
}

bool IsSideCode(int side, int code) {
    return side == 0 ? (code >= 1 && code <= 4) || code == 9 : (code >= 5 && code <= 8) || code == 10;
}

int PointValueOfKind(const MatchData& md, int code) {
    const bool byTechnique = md.nJudgePointMiddle == -1;
    switch (code) {
    case 1:
    case 5:
        return md.nJudgePointBottom;
    case 2:
    case 6:
        return byTechnique ? md.nEBPPoint : md.nJudgePointMiddle;
    case 3:
    case 7:
        return md.nJudgePointTop;
    case 4:
    case 8:
        return byTechnique ? 2 * md.nEBPPoint : md.nJudgePointTop + md.nJudgePointBottom;
    case 9:
    case 10:
        return byTechnique ? 2 * md.nEHPPoint : md.nJudgePointTop + md.nJudgePointMiddle;
    default:
        return 0;
    }
}

int LoggingCode(int code) {
    if (code == 10 || code == 9)
        return 5;
    if (code >= 5 && code <= 8)
        return code - 4;
    return code;
}

std::uint32_t ClassBit(int side, int bitClass) {
    static constexpr std::uint32_t kBits[2][5] = {{0x2, 0x4, 0x8, 0x10, 0x200},
                                                  {0x20, 0x40, 0x80, 0x100, 0x400}};
    if (bitClass < kBitA || bitClass > kBitE)
        return 0;
    return kBits[side == 1 ? 1 : 0][bitClass];
}

PressClass ClassOf(const MatchData& md, int code) {
    // The button's position: 0 bottom, 1 middle, 2 top, 3 first extra, 4 second extra.
    int position = -1;
    switch (code) {
    case 1:
    case 5:
        position = 0;
        break;
    case 2:
    case 6:
        position = 1;
        break;
    case 3:
    case 7:
        position = 2;
        break;
    case 4:
    case 8:
        position = 3;
        break;
    case 9:
    case 10:
        position = 4;
        break;
    default:
        return {};
    }
    if (md.nCompetitionType == 2) {
        if (md.nPSSType == 1) {
            static constexpr int kClass[] = {2, 3};
            return position < 2 ? PressClass{kClass[position], kWindowB, position} : PressClass{};
        }
        static constexpr int kClass[] = {7, 8, 9};
        return position < 3 ? PressClass{kClass[position], kWindowD, position} : PressClass{};
    }
    switch (md.nPSSType) {
    case 2: {
        static constexpr PressClass kTable[] = {{1, kWindowA, kBitA}, {2, kWindowB, kBitB}};
        return position < 2 ? kTable[position] : PressClass{};
    }
    case 1: {
        static constexpr PressClass kTable[] = {
            {1, kWindowA, kBitA}, {2, kWindowB, kBitB}, {4, kWindowC, kBitC}, {}, {5, kWindowC, kBitE}};
        return kTable[position];
    }
    case 0: {
        static constexpr PressClass kTable[] = {{6, kWindowA, kBitA},
                                                {7, kWindowD, kBitB},
                                                {8, kWindowC, kBitC},
                                                {9, kWindowD, kBitD},
                                                {10, kWindowC, kBitE}};
        return kTable[position];
    }
    default:
        return {};
    }
}

std::string_view TechniqueLabel(int cls) {
    static constexpr std::string_view kLabels[] = {"  ", "P ", "T ", "SK", "H ", "HT",
                                                   "P1", "P2", "P3", "P4", "P5"};
    return cls >= 1 && cls <= 10 ? kLabels[cls] : kLabels[0];
}

std::uint32_t WindowClassBits(const MatchData& md, int side, int window) {
    const auto bits = [side](std::initializer_list<int> classes) {
        std::uint32_t out = 0;
        for (const int c : classes)
            out |= ClassBit(side, c);
        return out;
    };
    if (md.nCompetitionType == 2) {
        if (window == kWindowB)
            return bits({kBitA, kBitB});
        if (window == kWindowD)
            return bits({kBitA, kBitB, kBitC});
        return 0;
    }
    switch (window) {
    case kWindowA:
        return bits({kBitA});
    case kWindowB:
        return bits({kBitB});
    case kWindowC:
        return bits({kBitC, kBitE});
    case kWindowD:
        return bits({kBitB, kBitD});
    default:
        return 0;
    }
}

std::uint32_t WindowResultBits(int window) {
    switch (window) {
    case kWindowA:
        return 0x1;
    case kWindowB:
        return 0x100 | 0x200;
    case kWindowC:
        return 0x40 | 0x80;
    case kWindowD:
        return 0x8 | 0x10 | 0x20;
    default:
        return 0;
    }
}

std::vector<Vote> Votes(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], bool trunkHit,
                        bool headHit) {
    std::vector<Vote> out;
    const auto test = [&](int bitClass, int kind, int value, std::uint32_t bit) {
        if (Agreed(md, side, masks, bitClass))
            out.push_back({kind, value, bit});
    };
    const int top = md.nJudgePointTop;
    const int bottom = md.nJudgePointBottom;
    switch (md.nPSSType) {
    case 2:
        if (trunkHit || headHit)
            test(kBitB, 8, MiddleOr(md, trunkHit ? md.nEBPPoint : md.nEHPPoint), 0x100);
        test(kBitA, 0, bottom, 0x1);
        break;
    case 1:
        if (trunkHit)
            test(kBitB, 8, MiddleOr(md, md.nEBPPoint), 0x100);
        test(kBitA, 0, bottom, 0x1);
        test(kBitC, 6, top, 0x40);
        test(kBitE, 7, top + MiddleOr(md, md.nEHPPoint), 0x80);
        break;
    case 0:
        test(kBitA, 0, bottom, 0x1);
        test(kBitC, 6, top, 0x40);
        test(kBitB, 3, MiddleOr(md, md.nEBPPoint), 0x8);
        test(kBitD, 4, md.nJudgePointMiddle == -1 ? 2 * md.nEBPPoint : top + bottom, 0x10);
        test(kBitE, 7, md.nJudgePointMiddle == -1 ? 2 * md.nEHPPoint : top + md.nJudgePointMiddle, 0x80);
        break;
    default:
        break;
    }
    return out;
}

std::vector<Vote> VotesType2(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges],
                             bool trunkHit) {
    std::vector<Vote> out;
    const auto test = [&](int bitClass, int kind, int value, std::uint32_t bit) {
        if (Agreed(md, side, masks, bitClass))
            out.push_back({kind, value, bit});
    };
    if (md.nPSSType == 1) {
        if (trunkHit)
            test(kBitA, 9, MiddleOr(md, md.nEBPPoint), 0x200);
        return out;
    }
    test(kBitA, 3, md.nJudgePointBottom, 0x8);
    test(kBitB, 4, md.nJudgePointMiddle, 0x10);
    test(kBitC, 5, md.nJudgePointTop, 0x20);
    return out;
}

std::vector<Vote> OwnVotes(const MatchData& md, int side, const std::uint32_t (&masks)[kJudges], int window) {
    std::vector<Vote> out;
    const auto test = [&](int bitClass, int kind, int value, std::uint32_t bit) {
        if (Agreed(md, side, masks, bitClass))
            out.push_back({kind, value, bit});
    };
    const int top = md.nJudgePointTop;
    if (window == kWindowC) {
        test(kBitC, 6, top, 0x40);
        test(kBitE, 7, md.nJudgePointMiddle == -1 ? 2 * top : top + md.nJudgePointMiddle, 0x80);
    } else if (window == kWindowD) {
        test(kBitB, 3, MiddleOr(md, md.nEBPPoint), 0x8);
        test(kBitD, 4, top + md.nJudgePointBottom, 0x10);
    }
    return out;
}

bool WindowScores(int window, int kind) {
    switch (window) {
    case kWindowA:
        return kind == 0;
    case kWindowB:
        return kind == 8 || kind == 9;
    case kWindowC:
        return kind == 6 || kind == 7;
    case kWindowD:
        return kind == 3 || kind == 4 || kind == 5;
    default:
        return false;
    }
}

} // namespace JudgeRules
