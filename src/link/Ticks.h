// The numbers of the tick rules: time is counted in ticks of Timer1, and every time-out and
// display duration of the link is a number of ticks.
#pragma once

inline constexpr int TickMs = 55;
// A block frame without an accepted reply is sent again after this many ticks...
inline constexpr int ResendTicks = 4;
// ...at most this many times in all; then the transfer fails.
inline constexpr int MaxSends = 5;
// While idle, a monitor request every this many ticks.
inline constexpr int MonitorTicks = 6;
// "No connection" shows on this many ticks in a row without an accepted frame.
inline constexpr int NoLinkLimitTicks = 18;
// The status label stays up this many ticks after it was last set.
inline constexpr int StatusDisplayTicks = 200;
