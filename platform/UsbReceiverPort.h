// The link to the USB radio receiver, in the call shape of the receiver library the program was designed
// around. The receiver is a USB serial bridge that the kernel serves as a tty (/dev/ttyUSBn); the byte
// stream runs raw at 230400 baud, 8N1, no flow control, and the tty is opened exclusively.
//
// Which tty: the environment variable BELVANTA_RECEIVER, when set and not empty, names the one receiver
// path (a real tty or the receiver emulator's pseudo-terminal) and takes precedence over the scan; it is the
// only receiver setting, since the settings files have no key for it. Otherwise a USB serial tty
// (/sys/class/tty/ttyUSB*) counts as a receiver, in the order of its number, when its USB device has the
// receiver's vendor and product ids (10c4:ea61) and it is not one of the excluded ports (the wired judges'
// adapters), so unplugging another adapter is never taken for a receiver loss.
//
// Identity text (SI_GetProductString): "vendor:product:serial" from sysfs, stable per physical device, so a
// different receiver plugged in is told apart; for a BELVANTA_RECEIVER path the path itself.
//
// Every call may come from any thread. A handle is shared: SI_Close gives the tty back as soon as no other
// call is inside it (a blocked wait, read or write on it returns at once), and the copies held elsewhere
// then fail with SI_INVALID_HANDLE instead of touching a reused descriptor.
#pragma once

#include "platform/WinTypes.h"

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace platform {
struct UsbDevice;
} // namespace platform

using USB_HANDLE = std::shared_ptr<platform::UsbDevice>; // null when closed

// Return codes.
constexpr int SI_SUCCESS = 0;
constexpr int SI_DEVICE_NOT_FOUND = 0xFF;
constexpr int SI_INVALID_HANDLE = 0x01;
constexpr int SI_READ_ERROR = 0x02;
constexpr int SI_WRITE_ERROR = 0x04;
constexpr int SI_INVALID_PARAMETER = 0x06;
constexpr int SI_DEVICE_IO_FAILED = 0x08; // the device hung up (unplugged) or the tty failed
constexpr int SI_INVALID_BAUDRATE = 0x09;
constexpr int SI_READ_TIMED_OUT = 0x0D;
constexpr int SI_WRITE_TIMED_OUT = 0x0E;
constexpr int SI_WAIT_CANCELLED = 0x10; // SI_WaitForRX ended by SI_CancelWait

constexpr DWORD SI_INFINITE = 0xFFFFFFFF; // a time-out that never ends

// The number of receivers present. SI_SUCCESS with 0 when none is plugged in.
int SI_GetNumDevices(DWORD* count);
// The identity text of receiver `index` into text (size bytes, always NUL-terminated).
int SI_GetProductString(DWORD index, char* text, std::size_t size);
// Opens receiver `index`: raw 8N1 at 230400 baud, no flow control, exclusive (another open fails).
int SI_Open(DWORD index, USB_HANDLE* handle);
// Closes the tty (see above) and nulls handle. Closing a null handle does nothing.
int SI_Close(USB_HANDLE& handle);

// Read and write time-outs in ms for every handle (SI_INFINITE waits without end).
int SI_SetTimeouts(DWORD readMs, DWORD writeMs);
// Drops what waits to be sent (tx non-zero) and what was received but not read (rx non-zero).
int SI_FlushBuffers(const USB_HANDLE& handle, BYTE tx, BYTE rx);
int SI_SetBaudRate(const USB_HANDLE& handle, DWORD baud);

// Bytes received and not yet read; status 1 when there are some, else 0. SI_DEVICE_IO_FAILED after a
// hang-up.
int SI_CheckRXQueue(const USB_HANDLE& handle, DWORD* waiting, DWORD* status);
// Reads what is waiting, up to size bytes; waits up to the read time-out for the first byte
// (SI_READ_TIMED_OUT with 0 bytes when none came). SI_READ_ERROR after a hang-up.
int SI_Read(const USB_HANDLE& handle, void* buffer, DWORD size, DWORD* read);
// Writes all size bytes within the write time-out; *written counts what went out.
int SI_Write(const USB_HANDLE& handle, const void* buffer, DWORD size, DWORD* written);

// Waits up to ms until bytes are waiting (SI_SUCCESS), so a reader need not poll: SI_READ_TIMED_OUT,
// SI_WAIT_CANCELLED after SI_CancelWait, SI_DEVICE_IO_FAILED after a hang-up, SI_INVALID_HANDLE once
// closed.
int SI_WaitForRX(const USB_HANDLE& handle, DWORD ms);
// Ends the current SI_WaitForRX on the handle, or the next one if none waits.
void SI_CancelWait(const USB_HANDLE& handle);

namespace platform {

// Tests only, before any receiver call: the folders that stand for /sys/class/tty and /dev in the scan
// (empty strings restore them). BELVANTA_RECEIVER still takes precedence.
void setUsbScanRootsForTests(const std::string& sysClassTty, const std::string& devFolder);

// Any thread: the tty paths that belong to other devices and are never scanned as a receiver (replaces the
// list). The scan compares resolved paths, so a link to a port excludes the port.
void setUsbReceiverExcludedPorts(std::vector<std::string> paths);

} // namespace platform
