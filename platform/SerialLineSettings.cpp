// The line settings of a tty through the kernel's termios2, which takes any bit rate (14400 and 56000 have
// no classic speed constant). Kept apart because its header cannot meet <termios.h> in one file.
#include "platform/SerialLineSettings.h"

#include <cerrno>

#include <asm/termbits.h>
#include <sys/ioctl.h>

namespace platform {

int ConfigureSerialLine(int fd, const LinkSerialSettings& s) {
    if (s.nBaud <= 0 || s.nDataBits < 5 || s.nDataBits > 8 || (s.nStopBits != 0 && s.nStopBits != 2) ||
        s.nParity < 0 || s.nParity > 2)
        return EINVAL;
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    // Raw bytes: no translation, no echo, no signals, no flow control; reads return what is there.
    tio.c_iflag = 0;
    tio.c_oflag = 0;
    tio.c_lflag = 0;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    tio.c_cflag = BOTHER | CREAD | CLOCAL | kSizes[s.nDataBits - 5];
    if (s.nStopBits == 2)
        tio.c_cflag |= CSTOPB;
    if (s.nParity == 1)
        tio.c_cflag |= PARENB | PARODD;
    else if (s.nParity == 2)
        tio.c_cflag |= PARENB;
    if (s.nParity != 0)
        tio.c_iflag |= INPCK;
    tio.c_ispeed = static_cast<speed_t>(s.nBaud);
    tio.c_ospeed = static_cast<speed_t>(s.nBaud);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    if (::ioctl(fd, TCSETS2, &tio) != 0)
        return errno;
    return 0;
}

int ReadSerialLine(int fd, LinkSerialSettings* s) {
    termios2 tio{};
    if (::ioctl(fd, TCGETS2, &tio) != 0)
        return errno;
    switch (tio.c_cflag & CSIZE) {
    case CS5:
        s->nDataBits = 5;
        break;
    case CS6:
        s->nDataBits = 6;
        break;
    case CS7:
        s->nDataBits = 7;
        break;
    default:
        s->nDataBits = 8;
        break;
    }
    s->nStopBits = (tio.c_cflag & CSTOPB) ? 2 : 0;
    s->nParity = !(tio.c_cflag & PARENB) ? 0 : (tio.c_cflag & PARODD) ? 1 : 2;
    s->nBaud = static_cast<int>(tio.c_ospeed);
    return 0;
}

} // namespace platform
