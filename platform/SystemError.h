// The system's text for an error number, as error boxes show it. Any thread.
#pragma once

#include <string>

namespace platform {

std::string SystemErrorText(int error);

} // namespace platform
