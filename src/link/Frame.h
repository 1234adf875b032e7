// The 52-byte frame that travels both ways: command byte, 50 payload bytes, check byte.
#pragma once

#include <array>
#include <cstdint>

#include "model/IgnParams.h"

inline constexpr int FrameSize = 52;
inline constexpr int PayloadSize = 50;
inline constexpr std::uint8_t ReplyFlag = 0x80;
inline constexpr std::uint8_t ReadFlag = 0x40;
inline constexpr std::uint8_t MonitorRequestCommand = 0x30;
inline constexpr std::uint8_t MonitorReplyCommand = 0xB0;

using TLinkFrame = std::array<std::uint8_t, FrameSize>;

// 0xFF XOR bytes 0..50.
std::uint8_t FrameCheckByte(const std::uint8_t* frame);
// The XOR of all 52 bytes is 0xFF.
bool FrameCheckOk(const std::uint8_t* frame);
// Sets byte 51 so that the frame passes its check.
void SealFrame(TLinkFrame& frame);

// Block frame for command: payload zero when reading, otherwise image block (command AND 0x3F).
void BuildBlockFrame(TLinkFrame& frame, std::uint8_t command, bool zeroPayload,
                     const TDeviceImage& image);
// 0x30, fifty zero bytes, 0xCF.
void BuildMonitorRequest(TLinkFrame& frame);
