// A match reply of a results system as the OVR or pre-registration link keeps it, read by every reader of
// both registration dialogs. The first byte chooses the protector type and the match-information flag.
#include "fuzz/FuzzSupport.h"
#include "links/OvrMatchReply.h"

#include <algorithm>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::Start();
    if (size == 0)
        return 0;
    MatchData& md = *g_pMatchData;
    static int link = 0;
    md.pOvrLink = &link;
    md.bOvrConnected = 1;
    md.nPSSType = data[0] % 3;
    md.bOnlyMatchInfo = (data[0] >> 2) & 1;
    const std::size_t n = std::min(size - 1, sizeof md.szOvrRecv - 1);
    for (const bool team : {false, true}) {
        for (int reader = 0; reader < 5; ++reader) {
            std::memset(md.szOvrRecv, 0, sizeof md.szOvrRecv);
            std::memcpy(md.szOvrRecv, data + 1, n);
            std::memcpy(md.szPreRegRecv, md.szOvrRecv, sizeof md.szPreRegRecv);
            md.pPreRegLink = reader == 4 ? &link : nullptr;
            md.bPreRegConnected = reader == 4;
            md.nOvrSupplier = 0;
            switch (reader) {
            case 0:
                OvrReply::ReadGeneric(md, team);
                break;
            case 1:
                OvrReply::ReadCategory(md, team);
                break;
            case 2:
                OvrReply::ReadWeight(md, team);
                break;
            default:
                OvrReply::ReadRin(md, reader == 4, team);
                break;
            }
        }
    }
    return 0;
}
