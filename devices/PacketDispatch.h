// Where the receive thread hands what the receiver sends: every complete, checksum-valid frame, device
// reports (hits, judge presses, status, loss) and the replies that move the start-up and pairing
// handshakes on.
#pragma once

struct ReceiverFrame;
struct TTK_Receiver;

// Receive thread, once per frame, in the order the frames arrived; the frame is valid during the call only.
void DispatchDeviceReport(TTK_Receiver& receiver, const ReceiverFrame& frame);
