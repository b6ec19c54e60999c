#include "app/AppGlobals.h"

#include <mutex>
#include <utility>

std::u16string g_strAppDir;
std::u16string g_strReceiverVersion;
std::u16string g_strResultRow[40];
std::u16string g_strMatchTitle;
std::u16string g_strMatchWeight;

namespace {
std::mutex g_receiverVersionLock; // guards g_strReceiverVersion
} // namespace

std::u16string ReceiverVersionText() {
    std::lock_guard guard(g_receiverVersionLock);
    return g_strReceiverVersion;
}

void SetReceiverVersionText(std::u16string text) {
    std::lock_guard guard(g_receiverVersionLock);
    g_strReceiverVersion = std::move(text);
}

std::u16string AppPath(std::u16string_view relative) {
    std::u16string path = g_strAppDir;
    path += relative;
    return path;
}
