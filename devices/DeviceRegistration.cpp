#include "devices/DeviceRegistration.h"

#include "app/MainWnd.h"
#include "app/Messages.h"
#include "platform/DebugOutput.h"
#include "platform/MessageBox.h"
#include "registration/RegDlgHandle.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

// Index 23 names no device; team member 6 follows the judge devices.
constexpr std::array<std::string_view, 28> kIndexNames = {
    "CV",     "CH",     "HV",     "HH",  "CV2", "CH2", "HV2", "HH2", "CV3", "CH3",
    "HV3",    "HH3",    "CV4",    "CH4", "HV4", "HH4", "CV5", "CH5", "HV5", "HH5",
    "judge1", "judge2", "judge3", "",    "CV6", "CH6", "HV6", "HH6"};

constexpr size_t kAddressDigits = 16;

bool IsJudgeName(std::string_view name) {
    return name == "judge1" || name == "judge2" || name == "judge3";
}

bool AllHex(std::string_view digits) {
    return std::all_of(digits.begin(), digits.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
    });
}

// The addresses after the device name: one or more whole 16-digit groups for an individual registration,
// exactly one for a team registration, whose name may also be written with its member digit ("CV1").
bool ValidAddressText(std::string_view text, std::string_view name, bool team) {
    std::string_view rest;
    if (text.starts_with(name))
        rest = text.substr(name.size());
    if (team && name.size() == 2 && text.size() == name.size() + 1 + kAddressDigits &&
        text.substr(0, 2) == name && text[2] == '1')
        rest = text.substr(3);
    if (rest.empty() || rest.size() % kAddressDigits != 0 || !AllHex(rest))
        return false;
    return !team || rest.size() == kAddressDigits;
}

void WaitFor(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

} // namespace

std::string_view DeviceNameOfIndex(int index) {
    return index >= 0 && index < static_cast<int>(kIndexNames.size()) ? kIndexNames[index]
                                                                      : std::string_view();
}

void CMainWnd::RegisterDevice(int index, const char* text, int team) {
    const std::string_view name = DeviceNameOfIndex(index);
    if (name.empty()) {
        DebugPrintf("device registration: no device has index %d; nothing sent", index);
        return;
    }
    const std::string_view address = text ? text : "";
    if (address.empty()) {
        SendReceiverCommand(team ? 41 : 39, std::string(name).c_str());
        return;
    }
    if (!ValidAddressText(address, name, team != 0)) {
        DebugPrintf("device registration: \"%.*s\" is not %.*s followed by %s16-digit hexadecimal address%s; "
                    "nothing sent",
                    static_cast<int>(address.size()), address.data(), static_cast<int>(name.size()),
                    name.data(), team ? "one " : "", team ? "" : "es");
        // The operator typed or loaded it: say so where it is seen, or the device just never pairs.
        const std::string text = "The device address of " + std::string(name) + " is not valid:\r\n" +
                                 std::string(address.substr(0, 64)) + "\r\n\r\n" +
                                 (team ? "Enter one address of 16 hexadecimal digits."
                                       : "Enter addresses of 16 hexadecimal digits each.");
        MessageBox(GetSafeHwnd(), text, "Information", MB_OK | MB_ICONINFORMATION);
        return;
    }
    SendReceiverCommand(team ? 42 : 40, std::string(address).c_str());
}

void CMainWnd::ReleaseDevice(int index, int team) {
    const std::string_view name = DeviceNameOfIndex(index);
    if (name.empty()) {
        DebugPrintf("device release: no device has index %d; nothing sent", index);
        return;
    }
    SendReceiverCommand(team ? 50 : 49, std::string(name).c_str());
}

void RebuildDeviceTable(CMainWnd& view, void (*waitMs)(int ms)) {
    std::vector<TTK_Network> released;
    {
        std::lock_guard lock(g_networkLock);
        if (!g_pNetworkArr)
            return;
        std::vector<TTK_Network> kept;
        for (TTK_Network& entry : *g_pNetworkArr)
            (IsJudgeName(entry.name) ? kept : released).push_back(std::move(entry));
        *g_pNetworkArr = std::move(kept);
    }
    for (const TTK_Network& entry : released) {
        // Command 51 takes the character code less 0x30, so the frame carries the kind byte itself.
        const char kind[2] = {static_cast<char>(entry.kind + 0x30), '\0'};
        view.SendReceiverCommand(51, kind);
        (waitMs ? waitMs : WaitFor)(40);
    }
}

void ReleaseEveryDevice(CMainWnd& view, bool removeProtectors) {
    view.SendReceiverCommand(44, "ED");
    SendMessage(g_hRegDlg.load(), UM_REG_REFRESH_DEVICES, 0, 0);
    if (removeProtectors)
        RemoveIndividualProtectors();
    WaitForReceiverRelease();
}

void ReleaseMatchDevices(CMainWnd& view, bool team) {
    if (!team) {
        ReleaseEveryDevice(view, true);
        return;
    }
    RebuildDeviceTable(view);
    SendMessage(g_hRegDlg.load(), UM_REG_REFRESH_DEVICES, 0, 0);
    WaitForReceiverRelease();
}

void RemoveIndividualProtectors() {
    std::lock_guard lock(g_networkLock); // the receive thread reads and removes entries too
    if (!g_pNetworkArr)
        return;
    std::erase_if(*g_pNetworkArr, [](const TTK_Network& entry) {
        return entry.name == "CH" || entry.name == "CV" || entry.name == "HH" || entry.name == "HV";
    });
}

void WaitForReceiverRelease() {
    WaitFor(100);
}

void ClearDeviceTable() {
    std::lock_guard lock(g_networkLock);
    if (g_pNetworkArr)
        g_pNetworkArr->clear();
}

bool GetDeviceEntry(int index, TTK_Network& entry) {
    std::lock_guard lock(g_networkLock);
    if (!g_pNetworkArr || index < 0 || index >= static_cast<int>(g_pNetworkArr->size()))
        return false;
    entry = (*g_pNetworkArr)[index];
    return true;
}
