// The readers of the match replies of the results systems (OVR) and the pre-registration system. The
// registration dialog calls one 2000 ms after its request; the reader takes the last text the link layer
// kept for that link, checks that the record is complete and writes the match into the record. A reply
// that is missing or lacks a required field changes nothing and says so in a box.
//
// team: the team dialog's reader (the supplier-0 reply then carries the addresses of eight player slots).
// Thread: user-interface thread (writes the match record).
#pragma once

#include "links/ImportOutcome.h"

struct MatchData;

namespace OvrReply {

// "Vordex-GENERIC" (supplier 6): 0x01 0x12 <court> 0x13 then "|"-separated fields, 0x04.
ImportOutcome ReadGeneric(MatchData& md, bool team);
// SCEU (supplier 7): 0x02, "|"-separated fields, 0x03.
ImportOutcome ReadCategory(MatchData& md, bool team);
// ATOS (supplier 2): 0x02, ","-separated fields (line breaks separate too), 0x03.
ImportOutcome ReadWeight(MatchData& md, bool team);
// "Vordex" (supplier 0) and the pre-registration system: the control-character reply. fromPreReg: the
// pre-registration link is up, so only its device addresses and echo texts are taken.
ImportOutcome ReadRin(MatchData& md, bool fromPreReg, bool team);

} // namespace OvrReply
