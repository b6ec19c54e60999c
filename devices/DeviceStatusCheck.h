// What the once-a-second device status check does with a change of MatchData::nDeviceStatus: the devices
// newly lost, the receiver notices that go with them, and the device-error pop-up.
#pragma once

#include <string>
#include <vector>

// The receiver-lost bit of MatchData::nDeviceStatus.
constexpr int kReceiverLostStatusBit = 0x800000;

struct LostDeviceNotice {
    std::string name;    // "CH", "CV", .., "HV6", "judge1".."judge3"
    const char* message; // the device's communication error text
    bool operator==(const LostDeviceNotice&) const = default;
};

struct DeviceStatusPlan {
    bool changed = false;               // false: the status equals the previous one and nothing happens
    int lostCommand = 46;               // receiver command for each lost device: 47 in a team match, else 46
    std::vector<LostDeviceNotice> lost; // devices whose bit came up since the previous check, in order
    bool showPopup = false;             // the status is not 0: the device-error pop-up shows
    bool stopRound = false;             // ... and a running round stops first
    std::string popupText;              // "Receiver disconnect error" or the last lost device's message
    int releaseCommand = 0;             // 0 none; else 50 in a team match, 44 otherwise
    std::string releaseName;            // the last lost device, released and registered again
};

// Any thread. previous / current: nDeviceStatus at the previous check and now; competitionType 1 is a team
// match (members 2..6 are checked too); gameState 3 is a running round. Only bits that came up count as
// lost: a device that paired again, or one already reported, sends nothing.
DeviceStatusPlan PlanDeviceStatusCheck(int previous, int current, int competitionType, int gameState);
