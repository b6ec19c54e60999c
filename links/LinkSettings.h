// The link settings: ExtItf.ini (the transport settings of every outside link, with its key names as the
// files have them, misspellings included) and the link keys of Rule.ini, plus the value tables of the link
// settings page and its dialogs. Plain functions; UI thread (they read and write the match record).
#pragma once

#include "platform/WinTypes.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

struct MatchData;
struct TTK_LinkCfg;

namespace LinkSettings {

// The bit rates of the serial dialog's list, in its order.
inline constexpr std::array<int, 8> kBaudRates = {4800, 9600, 14400, 19200, 38400, 56000, 57600, 115200};
constexpr int kDefaultBaud = 9600;

// A stored Serial_Baudrate as the rate it means: a rate of the list stays, an index 0..7 of the list is
// that rate, anything else 9600.
int BaudFromStored(int stored);
// The list entry that shows a rate: its index, or 1 (9600) for a rate not listed.
int BaudIndex(int rate);
// The rate of a list entry; 9600 for no entry or one outside the list.
int BaudOfIndex(int index);

// The entry of the port list to select for a stored port name: the entry equal to it (case-insensitive)
// first; otherwise, from the second entry round to the first, the first that begins with it. -1 when
// none, or when nothing is stored.
int SelectPort(const std::vector<std::u16string>& ports, std::u16string_view stored);

// IPv4 addresses as the settings keep them: one number, first part of the dotted form in the top byte.
std::u16string IpText(DWORD ip);
// "a.b.c.d" with each part 0..255; false for anything else.
bool ParseIp(std::u16string_view text, DWORD* ip);
// A port typed into a dialog: a decimal number 0..65535; false otherwise.
bool ParsePort(std::u16string_view text, int* port);

// Reads ExtItf.ini's sections OVR, IVR, TVG, PREREG and ST into the record's link settings and the WT
// base URL. A missing key reads as 0 or empty (a missing rate as 9600); data bits, parity and stop bits
// outside their lists become 8 data bits, no parity, one stop bit.
void LoadExtItf(MatchData& md);
// Writes one link's serial settings (kinds 0 OVR, 1 IVR, 2 TVG, 4 ST) or TCP and UDP settings (0..2; 3
// PREREG: TCP only) from the record to ExtItf.ini.
void SaveSerial(MatchData& md, int kind);
void SaveTcp(MatchData& md, int kind);
void SaveUdp(MatchData& md, int kind);
// The section of a kind 0..4; empty for another.
const WCHAR* SectionOf(int kind);
// The settings record of a kind 0..2 and 4; null for 3 (PREREG keeps its address in the record itself).
TTK_LinkCfg* CfgOf(MatchData& md, int kind);

// The LED values into the record: blink count 1..5 else 2, duration 100..5000 ms else 500, rest 0..1000
// ms else 100.
void ApplyLed(MatchData& md, int blinks, int durationMs, int restMs);

// What the page saves into Rule.ini and the record.
struct RuleLinks {
    int bUseWtProtocol;
    int nOvrSupplier, nOvrCommType;
    int nIvrSupplier, nIvrCommType;
    int nTvgSupplier, nTvgCommType;
    int nLedBlinks, nLedDuration, nLedRest; // written as typed
};
// Rule.ini [OVR] Use_WT_Protocol, Supplier (8 while the WT protocol is in use) and Comminucation_Type,
// [IVR] and [TVG] Supplier and Comminucation_Type, [LED] Number_of_Blink, Duration_Time, Rest_Time; the
// same values into the record. FALSE when a key could not be written.
BOOL SaveRuleLinks(MatchData& md, const RuleLinks& values);

// The record that tells the OVR system the court is going: "[SOH][DC2]<court>[DC3]^KILL![EOT]" as bytes.
std::string KillRecord(int court);
// Empties the OVR reply and sends the kill record over the OVR link (unless pre-registration is in use)
// and over the pre-registration link while it is in use and up.
void SendKillMessage(MatchData& md);

} // namespace LinkSettings
