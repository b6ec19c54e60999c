// The termios speed of a line rate, shared by the serial ports of the platform layer. Any thread.
#pragma once

#include "platform/WinTypes.h"

#include <termios.h>

namespace platform {

// The speed constant of a standard rate from 1200 to 921600 bit/s; B0 for any other rate.
speed_t BaudConstant(DWORD baud);

} // namespace platform
