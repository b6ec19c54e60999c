// Writes the match-log templates "Log file.xls" and "Log file_Team.xls" into a folder (the shipped ones
// live in resources/home/Log/).
#include "tools/LogTemplates.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make-log-templates FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!folder.empty() && folder.back() != '/')
        folder += '/';
    for (const bool team : {false, true}) {
        const std::string path = folder + (team ? "Log file_Team.xls" : "Log file.xls");
        if (!LogTemplates::Write(team, path)) {
            std::fprintf(stderr, "make-log-templates: cannot write %s\n", path.c_str());
            return 1;
        }
        std::printf("%s\n", path.c_str());
    }
    return 0;
}
