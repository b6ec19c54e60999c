// receiver-emulator: a USB receiver without hardware.
//
//   receiver-emulator [SCRIPT]
//
// Prints the pseudo-terminal path; start the program with BELVANTA_RECEIVER set to it. The emulator answers
// the start-up handshake (version, channel, network) and the registration and pairing commands by itself,
// prints every command it receives, then runs SCRIPT (if given) and afterwards the lines typed on the
// keyboard, one command per line:
//
//   hit NAME FORCE [VALIDITY] [flag]     protector hit, NAME CV CH HV HH or a member CV2..HH6
//   judge judgeN CHUNG HONG [flag]       judge device buttons
//   status NAME VALUE [flag]             status report
//   lost NAME                            device-lost report
//   raw HEX HEX ...                      bytes as they are (noise, broken frames)
//   version MAJOR MINOR                  the version reply (hexadecimal), before the program asks
//   polls COUNT | polls never            pairing polls left unanswered before the pairing reply
//   refuse | accept                      status of the channel and network replies
//   wait MS                              pause the script
//   unplug                               close the terminal as an unplugged receiver
//   quit
//
// The devices the emulator pairs get fixed addresses, so hits go to what the program registered.
#include "tools/FakeReceiver.h"

#include <chrono>
#include <cstdio>
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
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(line.c_str() + 5)));
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
