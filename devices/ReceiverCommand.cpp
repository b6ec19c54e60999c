#include "devices/ReceiverCommand.h"

void SendReceiverCommand(TTK_Receiver* receiver, int, const char*) {
    if (!receiver)
        return;
}
