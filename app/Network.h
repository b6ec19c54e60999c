// The device table: the wireless devices paired with the receiver for the current match.
#pragma once

#include "platform/WinTypes.h"

#include <mutex>
#include <string>
#include <vector>

// One paired device, as the receiver's pairing reply describes it.
struct TTK_Network {
    std::string name;       // "CV", "CH", "HV", "HH", "CV2".."HH6", "judge1".."judge3"
    BYTE kind = 0;          // device code of the pairing reply
    BYTE shortAddr[2] = {}; // short radio address that the device reports carry
    BYTE devAddr[8] = {};   // third byte: 0 trunk protector, 1 head gear
};

// Created empty and freed together with the match record (CreateMatchData / FreeMatchData) on the
// user-interface thread. The device registration code owns its entries.
extern std::vector<TTK_Network>* g_pNetworkArr;
// Guards the entries of *g_pNetworkArr: the receive thread reads and removes them while the user-interface
// thread registers and releases devices. Held briefly, never across a SendMessage.
inline std::mutex g_networkLock;
