// The window timers of the operator view, with the period each is armed with. Per-side timers come in
// pairs indexed by side (0 Chung, 1 Hong); the serial flush timers are indexed by link (0 OVR, 1 IVR,
// 2 TVG).
#pragma once

#include "platform/WinTypes.h"

constexpr UINT_PTR TIMER_DEVICE_STATUS = 101;           // 1000 ms: device check, display refresh, snapshot
constexpr UINT_PTR TIMER_ROUND_CLOCK = 105;             // 10 ms: the round clock
constexpr UINT_PTR TIMER_REST_CLOCK = 106;              // 1000 ms: rest between rounds
constexpr UINT_PTR TIMER_KYESHI_CLOCK = 107;            // 1000 ms: injury time-out (Kye-Shi)
constexpr UINT_PTR TIMER_JUDGE_WINDOW[2] = {108, 109};  // 100 ms: judge window
constexpr UINT_PTR TIMER_TECH_WINDOW_A[2] = {110, 111}; // 100 ms: technique window A
constexpr UINT_PTR TIMER_TECH_WINDOW_B[2] = {112, 113}; // 100 ms: technique window B
constexpr UINT_PTR TIMER_TECH_WINDOW_C[2] = {114, 115}; // 100 ms: technique window C
constexpr UINT_PTR TIMER_TECH_WINDOW_D[2] = {116, 117}; // 100 ms: technique window D
constexpr UINT_PTR TIMER_REFEREE_CALL_MUTE = 118; // 2000 ms, one-shot: the referee-call sound may play again
constexpr UINT_PTR TIMER_ROUND_END_DELAY = 119;   // 2000 ms, one-shot: clears the round-end delay flag
constexpr UINT_PTR TIMER_TIMEOUT_CLOCK = 120;     // 1000 ms: coach time-out
constexpr UINT_PTR TIMER_OPEN_ROUND_RESULT = 121; // 2 ms, one-shot: opens the round result dialog
constexpr UINT_PTR TIMER_JUDGE_WINDOW_B[2] = {122, 123}; // 100 ms: second judge window
// 100 ms: empties a serial receive buffer that stayed unchanged for a tick
constexpr UINT_PTR TIMER_SERIAL_FLUSH[3] = {200, 201, 202};
constexpr UINT_PTR TIMER_TVG_CLOCK = 203;    // 1000 ms: clock and score notice to the TVG link
constexpr UINT_PTR TIMER_SWISS_TIMING = 204; // 3000 ms: Swiss Timing periodic output
constexpr UINT_PTR TIMER_JSON_QUEUE = 300;   // 100 ms: sends the next queued WT JSON match action
