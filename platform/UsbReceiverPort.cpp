#include "platform/UsbReceiverPort.h"

#include "platform/BaudRate.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <string>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace platform {

// One open tty. m_lock guards closed and users; the descriptors are closed only when closed is set and no
// call is inside (users == 0), so no call ever works on a descriptor number the system gave to someone else.
struct UsbDevice {
    int fd = -1;
    int cancelFd = -1; // ends a wait for received bytes
    int closeFd = -1;  // ends every blocked call when the handle is closed
    std::mutex lock;
    std::condition_variable idle;
    bool closed = false;
    int users = 0;
};

} // namespace platform

namespace {

using platform::BaudConstant;
using platform::UsbDevice;

std::atomic<DWORD> g_readTimeout{SI_INFINITE};
std::atomic<DWORD> g_writeTimeout{SI_INFINITE};

std::mutex g_rootsLock; // guards the two scan roots
std::string g_sysClassTty = "/sys/class/tty";
std::string g_devFolder = "/dev";
std::vector<std::string> g_excludedPorts; // guarded by g_rootsLock

// The receiver's USB vendor and product ids (the radio's USB bridge as its maker ships it).
constexpr const char* kReceiverVendor = "10c4";
constexpr const char* kReceiverProduct = "ea61";

// A path as the kernel knows it, so "/dev/ttyUSB1" and a link to it compare equal.
std::string Resolved(const std::string& path) {
    std::error_code error;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(path, error);
    return error ? path : canonical.string();
}

struct Receiver {
    std::string path;
    std::string identity;
};

std::string FirstLine(const std::filesystem::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && (line.back() == '\r' || line.back() == ' '))
        line.pop_back();
    return line;
}

// The number after "ttyUSB", for the order of the scan.
int PortNumber(const std::string& name) {
    return std::atoi(name.c_str() + std::strlen("ttyUSB"));
}

std::vector<Receiver> ScanReceivers() {
    if (const char* named = std::getenv("BELVANTA_RECEIVER"); named && *named) {
        struct stat info {};
        if (::stat(named, &info) != 0)
            return {};
        return {{named, named}};
    }
    std::string sysRoot;
    std::string devRoot;
    std::vector<std::string> excluded;
    {
        std::lock_guard guard(g_rootsLock);
        sysRoot = g_sysClassTty;
        devRoot = g_devFolder;
        excluded = g_excludedPorts;
    }
    for (std::string& path : excluded)
        path = Resolved(path);
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(sysRoot, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("ttyUSB"))
            names.push_back(name);
    }
    std::ranges::sort(
        names, [](const std::string& a, const std::string& b) { return PortNumber(a) < PortNumber(b); });
    std::vector<Receiver> found;
    for (const std::string& name : names) {
        // The USB device that carries the serial port sits two levels above the port's device.
        const std::filesystem::path usb = std::filesystem::path(sysRoot) / name / "device" / ".." / "..";
        const std::string vendor = FirstLine(usb / "idVendor");
        const std::string product = FirstLine(usb / "idProduct");
        // Other USB serial adapters (the wired judges' among them) are never the receiver.
        if (vendor != kReceiverVendor || product != kReceiverProduct)
            continue;
        const std::string path = devRoot + "/" + name;
        if (std::ranges::find(excluded, Resolved(path)) != excluded.end())
            continue;
        found.push_back({path, vendor + ":" + product + ":" + FirstLine(usb / "serial")});
    }
    return found;
}

// Holds a handle open for one call; false when it is null or closed.
class Use {
public:
    explicit Use(const USB_HANDLE& handle) : m_device(handle.get()) {
        if (!m_device)
            return;
        std::lock_guard guard(m_device->lock);
        if (m_device->closed) {
            m_device = nullptr;
            return;
        }
        ++m_device->users;
    }
    ~Use() {
        if (!m_device)
            return;
        std::lock_guard guard(m_device->lock);
        if (--m_device->users == 0)
            m_device->idle.notify_all();
    }
    Use(const Use&) = delete;
    Use& operator=(const Use&) = delete;

    explicit operator bool() const { return m_device != nullptr; }
    UsbDevice* operator->() const { return m_device; }

private:
    UsbDevice* m_device;
};

int PollTimeout(DWORD ms) {
    return ms == SI_INFINITE ? -1 : static_cast<int>(std::min<DWORD>(ms, 0x7FFFFFFF));
}

void Signal(int fd) {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(fd, &one, sizeof one);
}

void Drain(int fd) {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(fd, &count, sizeof count);
}

// Raw 8N1 without flow control; reads return what is there at once (the waits are done with poll).
bool MakeRaw(int fd, speed_t speed) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0)
        return false;
    ::cfmakeraw(&tio);
    tio.c_cflag &= ~(CSTOPB | PARENB | CSIZE | CRTSCTS);
    tio.c_cflag |= CS8 | CLOCAL | CREAD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(fd, TCSANOW, &tio) == 0;
}

bool HungUp(short revents) {
    return (revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace

int SI_GetNumDevices(DWORD* count) {
    if (!count)
        return SI_INVALID_PARAMETER;
    *count = static_cast<DWORD>(ScanReceivers().size());
    return SI_SUCCESS;
}

int SI_GetProductString(DWORD index, char* text, std::size_t size) {
    if (!text || size == 0)
        return SI_INVALID_PARAMETER;
    const std::vector<Receiver> receivers = ScanReceivers();
    if (index >= receivers.size())
        return SI_DEVICE_NOT_FOUND;
    const std::string& identity = receivers[index].identity;
    const std::size_t n = std::min(identity.size(), size - 1);
    std::memcpy(text, identity.data(), n);
    text[n] = '\0';
    return SI_SUCCESS;
}

int SI_Open(DWORD index, USB_HANDLE* handle) {
    if (!handle)
        return SI_INVALID_PARAMETER;
    const std::vector<Receiver> receivers = ScanReceivers();
    if (index >= receivers.size())
        return SI_DEVICE_NOT_FOUND;
    const int fd = ::open(receivers[index].path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return SI_DEVICE_NOT_FOUND;
    auto device = std::make_shared<UsbDevice>();
    device->fd = fd;
    device->cancelFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    device->closeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (::ioctl(fd, TIOCEXCL) != 0 || !MakeRaw(fd, B230400) || device->cancelFd < 0 || device->closeFd < 0) {
        USB_HANDLE failed = device;
        SI_Close(failed);
        return SI_DEVICE_IO_FAILED;
    }
    *handle = std::move(device);
    return SI_SUCCESS;
}

int SI_Close(USB_HANDLE& handle) {
    if (!handle)
        return SI_SUCCESS;
    UsbDevice& device = *handle;
    std::unique_lock guard(device.lock);
    if (!device.closed) {
        device.closed = true;
        if (device.closeFd >= 0)
            Signal(device.closeFd);
        device.idle.wait(guard, [&] { return device.users == 0; });
        if (device.fd >= 0)
            ::ioctl(device.fd, TIOCNXCL); // the tty may outlive this descriptor; let the next open in
        for (int* fd : {&device.fd, &device.cancelFd, &device.closeFd}) {
            if (*fd >= 0)
                ::close(*fd);
            *fd = -1;
        }
    }
    guard.unlock();
    handle.reset();
    return SI_SUCCESS;
}

int SI_SetTimeouts(DWORD readMs, DWORD writeMs) {
    g_readTimeout = readMs;
    g_writeTimeout = writeMs;
    return SI_SUCCESS;
}

int SI_FlushBuffers(const USB_HANDLE& handle, BYTE tx, BYTE rx) {
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    if (!tx && !rx)
        return SI_SUCCESS;
    const int which = tx && rx ? TCIOFLUSH : tx ? TCOFLUSH : TCIFLUSH;
    return ::tcflush(device->fd, which) == 0 ? SI_SUCCESS : SI_DEVICE_IO_FAILED;
}

int SI_SetBaudRate(const USB_HANDLE& handle, DWORD baud) {
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    const speed_t speed = BaudConstant(baud);
    if (speed == B0)
        return SI_INVALID_BAUDRATE;
    termios tio{};
    if (::tcgetattr(device->fd, &tio) != 0)
        return SI_DEVICE_IO_FAILED;
    ::cfsetispeed(&tio, speed);
    ::cfsetospeed(&tio, speed);
    return ::tcsetattr(device->fd, TCSANOW, &tio) == 0 ? SI_SUCCESS : SI_DEVICE_IO_FAILED;
}

int SI_CheckRXQueue(const USB_HANDLE& handle, DWORD* waiting, DWORD* status) {
    if (!waiting || !status)
        return SI_INVALID_PARAMETER;
    *waiting = 0;
    *status = 0;
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    pollfd check{device->fd, POLLIN, 0};
    if (::poll(&check, 1, 0) < 0 || HungUp(check.revents))
        return SI_DEVICE_IO_FAILED;
    int count = 0;
    if (::ioctl(device->fd, FIONREAD, &count) != 0)
        return SI_DEVICE_IO_FAILED;
    *waiting = static_cast<DWORD>(std::max(count, 0));
    *status = *waiting > 0 ? 1 : 0;
    return SI_SUCCESS;
}

int SI_Read(const USB_HANDLE& handle, void* buffer, DWORD size, DWORD* read) {
    if (!buffer || !read)
        return SI_INVALID_PARAMETER;
    *read = 0;
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    pollfd fds[2] = {{device->fd, POLLIN, 0}, {device->closeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 2, PollTimeout(g_readTimeout));
    if (ready < 0 && errno != EINTR)
        return SI_READ_ERROR;
    if (fds[1].revents)
        return SI_INVALID_HANDLE;
    if (!(fds[0].revents & POLLIN))
        return HungUp(fds[0].revents) ? SI_READ_ERROR : SI_READ_TIMED_OUT;
    const ssize_t n = ::read(device->fd, buffer, size);
    if (n < 0)
        return errno == EAGAIN ? SI_READ_TIMED_OUT : SI_READ_ERROR;
    if (n == 0)
        return SI_READ_ERROR; // end of file: the other side is gone
    *read = static_cast<DWORD>(n);
    return SI_SUCCESS;
}

int SI_Write(const USB_HANDLE& handle, const void* buffer, DWORD size, DWORD* written) {
    if (!buffer || !written)
        return SI_INVALID_PARAMETER;
    *written = 0;
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    const auto* bytes = static_cast<const BYTE*>(buffer);
    while (*written < size) {
        const ssize_t n = ::write(device->fd, bytes + *written, size - *written);
        if (n > 0) {
            *written += static_cast<DWORD>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return SI_WRITE_ERROR;
        pollfd fds[2] = {{device->fd, POLLOUT, 0}, {device->closeFd, POLLIN, 0}};
        const int ready = ::poll(fds, 2, PollTimeout(g_writeTimeout));
        if (fds[1].revents)
            return SI_INVALID_HANDLE;
        if (ready == 0)
            return SI_WRITE_TIMED_OUT;
        if (HungUp(fds[0].revents))
            return SI_WRITE_ERROR;
    }
    return SI_SUCCESS;
}

int SI_WaitForRX(const USB_HANDLE& handle, DWORD ms) {
    Use device(handle);
    if (!device)
        return SI_INVALID_HANDLE;
    pollfd fds[3] = {{device->fd, POLLIN, 0}, {device->cancelFd, POLLIN, 0}, {device->closeFd, POLLIN, 0}};
    const int ready = ::poll(fds, 3, PollTimeout(ms));
    if (ready < 0)
        return errno == EINTR ? SI_READ_TIMED_OUT : SI_DEVICE_IO_FAILED;
    if (fds[2].revents)
        return SI_INVALID_HANDLE;
    if (fds[1].revents) {
        Drain(device->cancelFd);
        return SI_WAIT_CANCELLED;
    }
    if (fds[0].revents & POLLIN)
        return SI_SUCCESS;
    if (HungUp(fds[0].revents))
        return SI_DEVICE_IO_FAILED;
    return SI_READ_TIMED_OUT;
}

void SI_CancelWait(const USB_HANDLE& handle) {
    Use device(handle);
    if (device)
        Signal(device->cancelFd);
}

namespace platform {

void setUsbReceiverExcludedPorts(std::vector<std::string> paths) {
    std::lock_guard guard(g_rootsLock);
    g_excludedPorts = std::move(paths);
}

void setUsbScanRootsForTests(const std::string& sysClassTty, const std::string& devFolder) {
    std::lock_guard guard(g_rootsLock);
    g_sysClassTty = sysClassTty.empty() ? "/sys/class/tty" : sysClassTty;
    g_devFolder = devFolder.empty() ? "/dev" : devFolder;
}

} // namespace platform
