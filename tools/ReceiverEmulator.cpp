// receiver-emulator: a USB receiver without hardware.
//
//   receiver-emulator [SCRIPT]
//
// Prints the pseudo-terminal path; start the program with BELVANTA_RECEIVER set to it. The emulator answers
// the start-up handshake (version, channel, network) and the registration and pairing commands by itself,
// prints every command it receives, then runs SCRIPT (if given) and afterwards the lines typed on the
// keyboard, one command per line:
//
//   hit NAME FORCE [SENSOR] [flag]      protector hit, NAME CV CH HV HH or a team member CV1..HH6; SENSOR
//                                        the e-socks byte in hexadecimal as the receiver sends it (12, 31)
//   judge judgeN CHUNG HONG [flag]       judge device buttons (judge1..judge4, codes 0..255)
//   status NAME VALUE [flag]             status report
//   lost NAME                            device-lost report
//   pair NAME                            the device switched on to pair next (a team member, a judge)
//   raw HEX HEX ...                      bytes as they are (noise, broken frames)
//   version MAJOR MINOR                  the version reply (hexadecimal; 03 07 unless set), before the
//                                        program asks
//   polls COUNT | polls never            pairing polls left unanswered before the pairing reply
//   refuse | accept                      status of the channel and network replies
//   wait MS                              pause the script
//   unplug                               close the terminal as an unplugged receiver
//   quit
//
// The devices the emulator pairs get fixed addresses, so hits go to what the program registered. A line it
// cannot run or a report it cannot send is refused on standard error with the reason.
#include "tools/FakeReceiver.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>
#include <thread>

namespace {

// Runs one line; false when the emulator shall end.
bool Run(FakeReceiver& fake, const std::string& line) {
    if (line == "quit")
        return false;
    if (line.rfind("wait ", 0) == 0) {
        char* end = nullptr;
        const long ms = std::strtol(line.c_str() + 5, &end, 10);
        if (*end != '\0' || ms < 0 || ms > 600000)
            std::fprintf(stderr, "usage: wait MS (0-600000)\n");
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(ms));
        return true;
    }
    std::string error;
    if (!fake.RunScriptLine(line, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    FakeReceiver fake;
    if (!fake.IsOpen()) {
        std::perror("receiver-emulator: cannot open a pseudo-terminal");
        return 1;
    }
    fake.SetCommandObserver([](const FakeReceiver::Bytes& frame) {
        std::string text = "<-";
        char hex[4];
        for (BYTE b : frame) {
            std::snprintf(hex, sizeof hex, " %02X", b);
            text += hex;
        }
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    });
    std::printf("BELVANTA_RECEIVER=%s\n", fake.SlavePath().c_str());
    std::fflush(stdout);

    std::string line;
    if (argc > 1) {
        std::ifstream script(argv[1]);
        if (!script) {
            std::fprintf(stderr, "receiver-emulator: cannot read %s\n", argv[1]);
            return 1;
        }
        while (std::getline(script, line))
            if (!Run(fake, line))
                return 0;
    }
    while (std::getline(std::cin, line))
        if (!Run(fake, line))
            return 0;
    return 0;
}
