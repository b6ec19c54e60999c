// The lists of known device addresses per side and protector type, kept in DevMgr.ini [DEVICE_LIST]: the
// device lists dialog edits them and the registration dialogs pair a listed device directly. Each key holds
// the list's addresses joined by ",". An address is 16 hexadecimal digits whose first byte is 00 for Chung
// and 10 for Hong and whose third byte is 00 for a trunk protector and 01 for head gear.
//
// Thread: user-interface thread (the settings files themselves may be read from any thread).
#pragma once

#include "platform/WinTypes.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

enum class DeviceList { ChungTrunk, ChungHead, HongTrunk, HongHead };
constexpr std::array<DeviceList, 4> kDeviceLists = {DeviceList::ChungTrunk, DeviceList::ChungHead,
                                                    DeviceList::HongTrunk, DeviceList::HongHead};
constexpr int kMaxListedDevices = 6;
constexpr std::size_t kDeviceAddressDigits = 16;

// "EBP_CHUNG", "EHP_CHUNG", "EBP_HONG", "EHP_HONG".
const WCHAR* DeviceListKey(DeviceList list);

// The addresses of a list in their order. Pieces are trimmed and empty pieces skipped, so an empty or missing
// key is an empty list.
std::vector<std::u16string> LoadDeviceList(DeviceList list);
// The four lists as the registration dialogs last read them from DevMgr.ini, each as its key holds it
// (addresses joined by ","), in the order of kDeviceLists. A store of their own: no other program-wide text
// shares it. User-interface thread only.
extern std::u16string g_strDeviceListEntries[4];

// Writes the addresses joined by ","; false when the file could not be written.
bool SaveDeviceList(DeviceList list, const std::vector<std::u16string>& addresses);

// Why an address cannot be added to a list, in the order the checks run.
enum class DeviceAddRefusal { None, Length, NotHex, Colour, Type, Full, Duplicate };
DeviceAddRefusal CheckDeviceAddress(DeviceList list, std::u16string_view address,
                                    const std::vector<std::u16string>& current);
// The operator's box for a refusal ("" for None).
std::u16string DeviceAddRefusalText(DeviceAddRefusal refusal);
