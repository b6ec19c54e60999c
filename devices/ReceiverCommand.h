// The writer of commands to the USB receiver.
#pragma once

struct TTK_Receiver;

// Builds and writes one command frame (or starts a pairing) for command code 36..57; text is the command's
// narrow argument (a device name, a name followed by hexadecimal addresses, or a value). A null or closed
// receiver writes nothing. UI thread, receiver start thread and receive thread.
void SendReceiverCommand(TTK_Receiver* receiver, int code, const char* text);
