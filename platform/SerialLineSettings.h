// Line settings of an open tty (inside the platform layer, for LinkSerialPort). Any thread.
#pragma once

#include "platform/LinkSerialPort.h"

namespace platform {

// Raw mode with the rate, data bits, parity and stop bits. 0, or the system's error number (EINVAL for
// settings out of range).
int ConfigureSerialLine(int fd, const LinkSerialSettings& settings);
// What the tty is set to now. 0, or the system's error number.
int ReadSerialLine(int fd, LinkSerialSettings* settings);

} // namespace platform
