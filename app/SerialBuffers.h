// What the serial OVR, IVR and TVG links have sent the operator view. No reply of those systems is read by
// the program: the bytes are only held until their link goes quiet, so that a chatty peer never fills the
// view's memory. UI thread only (the serial notifications and the flush timers run there).
#pragma once

// A serial link's receive buffer: the text collected since the last flush, zero-terminated.
struct TTK_SerialRecv {
    int nLen;          // bytes collected, at most 2047
    int nLenSeen;      // nLen at the last flush tick
    char szData[2048]; // zero-filled when empty
};

class SerialBuffers {
public:
    static constexpr int kLinks = 3; // 0 OVR, 1 IVR, 2 TVG, as TIMER_SERIAL_FLUSH
    static constexpr int kCapacity = sizeof(TTK_SerialRecv::szData) - 1;

    // Appends the received bytes up to the first zero byte; what does not fit the 2047 bytes is dropped.
    // Returns the bytes kept. A negative count keeps nothing; so does a link outside 0..2, which is a fault
    // of the caller (asserted in a debug build).
    int Append(int link, const char* data, int count);
    // One tick of the link's flush timer: a buffer that did not change since the last tick is emptied,
    // so a buffer is cleared 100 to 200 ms after its last byte and never while bytes keep coming.
    void FlushTick(int link);

    // An unknown link reads as an empty buffer.
    const TTK_SerialRecv& operator[](int link) const;

private:
    TTK_SerialRecv m_recv[kLinks] = {};
};
