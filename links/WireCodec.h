// The character set of the 8-bit link protocols on the wire (control-character, pipe, colon, bracket, IVR,
// TVG and Swiss Timing records): UTF-8, as the program's texts are, unless a venue's peer needs code page
// 949 (Korean) or 1252 (Western European). Set from ExtItf.ini [Wire] Code_Page (65001, 949 or 1252; empty
// or 0 means UTF-8). The WT text protocol and the JSON documents are UTF-8 whatever it says.
//
// Thread: UI thread (the settings loader and the senders).
#pragma once

#include "platform/WinTypes.h"

#include <string>
#include <string_view>

// Takes 65001, 949 or 1252 (0 means 65001); false, leaving UTF-8, for any other page.
bool SetWireCodePage(UINT codePage);
UINT WireCodePage();
// A record composed as UTF-8, in the wire's character set. Characters the set cannot hold become '?'.
std::string ToWire(std::string_view utf8);
