#include "app/JsonActionQueue.h"

#include "platform/DebugOutput.h"

#include <cassert>
#include <utility>

void JsonActionQueue::Append(int kind, int value, std::u16string text) {
    m_mapJsonQueue[m_nJsonCount] = JsonQueueEntry{kind, value, std::move(text)};
    ++m_nJsonCount;
}

std::optional<JsonQueueEntry> JsonActionQueue::TakeNext() {
    if (m_nJsonNext >= m_nJsonCount)
        return std::nullopt;
    const auto head = m_mapJsonQueue.find(m_nJsonNext);
    if (head == m_mapJsonQueue.end()) {
        // Entries are added without gaps and leave only from the head, so this cannot be; it reads as an
        // entry of kind 0 without text.
        assert(!"WT JSON queue lost its head entry");
        DebugPrintf("WT JSON queue entry %d is missing; sent as kind 0", m_nJsonNext);
        ++m_nJsonNext;
        return JsonQueueEntry{};
    }
    if (head->second.nKind == kHold)
        return std::nullopt;
    // A sent entry is dropped, so the queue holds only what still waits.
    JsonQueueEntry entry = std::move(head->second);
    m_mapJsonQueue.erase(head);
    ++m_nJsonNext;
    return entry;
}
