#include "links/OvrMatchRequest.h"

#include "app/MatchData.h"
#include "app/TextConvert.h"

#include <array>
#include <cstdio>

namespace OvrRequest {

namespace {

constexpr char SOH = '\x01';
constexpr char STX = '\x02';
constexpr char ETX = '\x03';
constexpr char EOT = '\x04';
constexpr char DC2 = '\x12';
constexpr char DC3 = '\x13';

std::string Echo(const MatchData& md, int i) {
    return std::string(FieldText(md.szLinkTag[i]));
}

// 0x01 0x12 <court>, then 0x02 and echo texts 1..7: the head every record of the match carries.
std::string Head(const MatchData& md) {
    std::string head{SOH, DC2};
    head += std::to_string(md.nCourtNo);
    for (int i = 1; i <= 7; ++i)
        head += STX + Echo(md, i);
    return head;
}

std::string MatchTime(const MatchData& md) {
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%d:%02d", md.nMatchTime / 60, md.nMatchTime % 60);
    return text.data();
}

} // namespace

std::string Rin(int court) {
    return std::string{SOH, DC2} + std::to_string(court) + DC3 + "RIN" + EOT;
}

std::string ControlRecords(int kind, const MatchData& md) {
    const std::string head = Head(md);
    switch (kind) {
    case 1:
        if (FieldText(md.szLinkTag[0]) != "K")
            return {};
        return head + DC3 + "CO" + EOT + head + DC3 + "BN" + STX + Echo(md, 8) + STX + Echo(md, 9) + EOT;
    case 2:
        return head + DC3 + "PE" + STX + "1" + EOT + head + DC3 + "SR" + STX + "1" + EOT + head + DC3 + "TM" +
               STX + "1" + STX + "    " + MatchTime(md) + "    " + EOT;
    case 7:
        return head + DC3 + "WN" + STX + "3" + STX + Echo(md, 8) + STX + Echo(md, 8) + STX + " 3" + STX +
               MatchTime(md) + EOT + head + DC3 + "EF" + EOT;
    default:
        return {};
    }
}

std::string NextMatch(int court, std::string_view number, bool byNumber) {
    std::string body = "|" + std::to_string(court) + (byNumber ? "|NextManualMatch|" : "|NextMatch");
    if (byNumber)
        body += number;
    // The length counts characters, as the peer reads the text.
    const std::size_t length = RecordTextWide(body).size();
    std::array<char, 16> prefix{};
    std::snprintf(prefix.data(), prefix.size(), "%04zu", length);
    return STX + std::string(prefix.data()) + body + ETX;
}

std::string AdjacentMatch(bool previous) {
    return STX + std::string("0015") + (previous ? "PrevMatch?" : "NextMatch?") + ETX;
}

} // namespace OvrRequest
