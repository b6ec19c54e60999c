// The device table's owner on the user-interface side: the registration dialogs' device indexes become
// receiver commands, and a new or finished match releases the protectors while the judge devices stay.
#pragma once

#include "app/Network.h"

#include <string_view>

class CMainWnd;

// Any thread: the device name of a registration index, 0 "CV", 1 "CH", 2 "HV", 3 "HH", then the same four
// for team members 2..5 ("CV2".."HH5"), 20..22 "judge1".."judge3", 24..27 team member 6 ("CV6".."HH6");
// empty for any other index.
std::string_view DeviceNameOfIndex(int index);

// User-interface thread: releases every paired device except the judge devices (command 51 with the
// device's kind, one after the other with `waitMs` between them) and keeps only the judge devices in the
// table, in their order. The released entries leave the table before the first command goes, so a pairing
// reply arriving meanwhile is kept. waitMs null waits for real (40 ms).
void RebuildDeviceTable(CMainWnd& view, void (*waitMs)(int ms) = nullptr);

// User-interface thread: the receiver releases every device (command 44 "ED"), the open registration dialog
// refreshes its device buttons, the protectors of an individual match leave the table when
// removeProtectors is set (the judge devices stay paired), then the receiver is given its time to drop them.
void ReleaseEveryDevice(CMainWnd& view, bool removeProtectors);

// User-interface thread: the devices of a match that ends (a new match, or its finish) are released the same
// way: a team match rebuilds the table (RebuildDeviceTable) and the open registration dialog refreshes its
// device buttons; an individual match releases every device (ReleaseEveryDevice with its protectors).
void ReleaseMatchDevices(CMainWnd& view, bool team);

// Any thread: removes the four protectors of an individual match (CH, CV, HH, HV) from the device table.
void RemoveIndividualProtectors();

// User-interface thread: the pause the receiver needs after a release before the next command reaches it.
void WaitForReceiverRelease();

// Any thread: empties the device table.
void ClearDeviceTable();

// Any thread: copies entry `index` of the device table into `entry`; false, leaving `entry` alone, for an
// index outside the table or no table.
bool GetDeviceEntry(int index, TTK_Network& entry);
