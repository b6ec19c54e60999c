// The match requests to the results systems (OVR) and the pre-registration system, and the control-character
// records the registration dialog sends back: each function returns the bytes to send (empty: send nothing).
// The control-character records carry the court and the echo texts of the last supplier-0 reply.
//
// Thread: any thread (pure functions).
#pragma once

#include <string>
#include <string_view>

struct MatchData;

namespace OvrRequest {

// Supplier 0 and the pre-registration system, also supplier 6 without a match number: the RIN request,
// 0x01 0x12 <court> 0x13 "RIN" 0x04.
std::string Rin(int court);

// The control-character records of the registration dialog by kind: 1 the CO and BN confirmations of a
// match reply (only while the reply kind echoed is exactly "K"), 2 the pairing-on records PE, SR and TM,
// 7 the pairing-off records WN and EF. Any other kind is empty.
std::string ControlRecords(int kind, const MatchData& md);

// Supplier 7: 0x02, the four-digit length of the body, the body "|<court>|NextMatch" (or
// "|<court>|NextManualMatch|<number>" for a match number), 0x03.
std::string NextMatch(int court, std::string_view number, bool byNumber);

// Supplier 2: 0x02 "0015NextMatch?" 0x03 or 0x02 "0015PrevMatch?" 0x03. The length field stays 0015 for
// both: the peers read this exact frame.
std::string AdjacentMatch(bool previous);

} // namespace OvrRequest
