// The texts of device reports as the operator view receives them with UM_TRUNK_HIT / UM_HEAD_HIT and
// UM_JUDGE1_INPUT..UM_JUDGE3_INPUT. The receiver's dispatch and the device simulator both write them here,
// so a simulated hit or press reaches the view exactly as a device's would. Pure; any thread.
#pragma once

#include <cstddef>

// Room for any of the texts below.
constexpr std::size_t kDeviceReportTextSize = 52;

// A protector hit with a reading of the e-socks: "valid,FORCE,FLAG,VALIDITY", the validity byte in
// hexadecimal. Returns out.
char* FormatValidHitText(char* out, std::size_t size, int force, bool flagged, unsigned validity);
// A protector hit without a reading: "none,FORCE,FLAG,NAME" with the device's name.
char* FormatPlainHitText(char* out, std::size_t size, int force, bool flagged, const char* name);
// A judge device's buttons: "CHUNG,HONG,FLAG" of the two button codes.
char* FormatJudgeText(char* out, std::size_t size, int chungCode, int hongCode, bool flagged);
