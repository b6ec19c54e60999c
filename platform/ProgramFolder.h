// The program folder: BELVANTA_HOME when set, else the folder of the executable. Always absolute, with '/'
// as separator and a trailing '/'. Every path of the program (ini/, Cfg/, Img/Flag/, Sound/, Log/, Result/,
// the local database) is built from it; nothing depends on the current directory.
#pragma once

#include <string>

namespace platform {

std::u16string findProgramFolder();

} // namespace platform
