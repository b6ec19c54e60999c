// judge-emulator: wired judge devices without hardware.
//
//   judge-emulator [-n COUNT] [SCRIPT]
//
// Opens one pseudo-terminal per judge (COUNT 1 to 3, default 3) and prints each path as the line of
// ini/JudgeDev.ini that points the program at it ("[JUDGE_1] Port=/dev/pts/7"). In the program, tick "Use
// Wire Connection" for the judge in the registration dialog and press its "Judge n" button: the program
// opens the port. The emulator prints every frame the program writes to a judge (the side that scored after
// each scored hit), then runs SCRIPT (if given) and afterwards the lines typed on the keyboard:
//
//   press JUDGE CHUNG HONG    a press: the Chung and the Hong button code, 0 for none
//                             (Chung 1 bottom, 2 middle, 3 top, 4 and 9 the extra buttons;
//                              Hong 5 bottom, 6 middle, 7 top, 8 and 10 the extra buttons)
//   value JUDGE N             a value report (0..255)
//   raw JUDGE HEX HEX ...     bytes as they are (noise, broken frames)
//   unplug JUDGE              close the terminal as an unplugged device
//   wait MS                   pause the script
//   quit
#include "tools/FakeJudge.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string Hex(const FakeJudge::Bytes& bytes) {
    std::string text;
    char hex[4];
    for (BYTE b : bytes) {
        std::snprintf(hex, sizeof hex, " %02X", b);
        text += hex;
    }
    return text;
}

// Runs one line; false when the emulator shall end.
bool Run(std::vector<std::unique_ptr<FakeJudge>>& judges, const std::string& line) {
    std::istringstream in(line);
    std::string word;
    if (!(in >> word) || word[0] == '#')
        return true;
    if (word == "quit")
        return false;
    if (word == "wait") {
        std::string ms, extra;
        char* end = nullptr;
        const long value = (in >> ms) && !(in >> extra) ? std::strtol(ms.c_str(), &end, 10) : -1;
        if (!end || *end != '\0' || value < 0 || value > 600000)
            std::fprintf(stderr, "usage: wait MS (0-600000)\n");
        else
            std::this_thread::sleep_for(std::chrono::milliseconds(value));
        return true;
    }
    int judge = 0;
    if (!(in >> judge) || judge < 1 || judge > static_cast<int>(judges.size())) {
        std::fprintf(stderr, "%s: the judge is a number from 1 to %zu\n", line.c_str(), judges.size());
        return true;
    }
    std::string rest;
    std::getline(in, rest);
    std::string error;
    if (!judges[static_cast<std::size_t>(judge - 1)]->RunScriptLine(word + rest, error))
        std::fprintf(stderr, "%s\n", error.c_str());
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int count = 3;
    const char* scriptPath = nullptr;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-n") == 0 && i + 1 < argc)
            count = std::atoi(argv[++i]);
        else
            scriptPath = argv[i];
    }
    if (count < 1 || count > 3) {
        std::fprintf(stderr, "usage: judge-emulator [-n COUNT] [SCRIPT]  (COUNT 1 to 3)\n");
        return 2;
    }
    std::vector<std::unique_ptr<FakeJudge>> judges;
    for (int n = 1; n <= count; ++n) {
        auto judge = std::make_unique<FakeJudge>();
        if (!judge->IsOpen()) {
            std::perror("judge-emulator: cannot open a pseudo-terminal");
            return 1;
        }
        judge->SetFrameObserver([n](const FakeJudge::Bytes& frame) {
            std::string text = "<- judge " + std::to_string(n) + ":" + Hex(frame);
            if (frame.size() == 7 && frame[2] == 2)
                text += frame[4] == 1 ? "  (Hong scored)" : "  (Chung scored)";
            std::printf("%s\n", text.c_str());
            std::fflush(stdout);
        });
        std::printf("[JUDGE_%d] Port=%s\n", n, judge->SlavePath().c_str());
        judges.push_back(std::move(judge));
    }
    std::fflush(stdout);

    std::string line;
    if (scriptPath) {
        std::ifstream script(scriptPath);
        if (!script) {
            std::fprintf(stderr, "judge-emulator: cannot read %s\n", scriptPath);
            return 1;
        }
        while (std::getline(script, line))
            if (!Run(judges, line))
                return 0;
    }
    while (std::getline(std::cin, line))
        if (!Run(judges, line))
            return 0;
    return 0;
}
