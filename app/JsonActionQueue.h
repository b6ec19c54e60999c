// The WT JSON match actions waiting to be sent. The match engine appends an entry for each event while the
// OVR supplier is the WT JSON API; the view's 100 ms queue timer takes one entry per tick and sends it, so
// the API sees the events one at a time and in order. UI thread only.
#pragma once

#include <map>
#include <optional>
#include <string>

struct JsonQueueEntry {
    int nKind = 0;  // action kind; 30 a round's intermediate result, 40 the final result, 7 holds the queue
    int nValue = 0; // kind 30: the round number
    std::u16string strText; // the hit level as decimal text; empty for none
};

class JsonActionQueue {
public:
    static constexpr int kHold = 7;                // an entry of this kind keeps itself and all later waiting
    static constexpr int kIntermediateResult = 30; // the result of the round in nValue
    static constexpr int kFinalResult = 40;

    // Adds the entry at m_nJsonCount, then raises m_nJsonCount.
    void Append(int kind, int value = 0, std::u16string text = {});
    // The entry at m_nJsonNext, removed and m_nJsonNext raised; nothing when the queue is empty or its head
    // is a hold entry. Looking never adds an entry.
    std::optional<JsonQueueEntry> TakeNext();

    int Next() const { return m_nJsonNext; }
    int Count() const { return m_nJsonCount; }
    std::size_t Size() const { return m_mapJsonQueue.size(); } // entries held

private:
    std::map<int, JsonQueueEntry> m_mapJsonQueue; // by sequence number
    int m_nJsonNext = 0;                          // sequence number of the next entry to send
    int m_nJsonCount = 0;                         // next free sequence number
};
