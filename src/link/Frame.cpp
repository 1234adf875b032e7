#include "link/Frame.h"

#include <algorithm>

std::uint8_t FrameCheckByte(const std::uint8_t* frame) {
  std::uint8_t check = 0xFF;
  for (int i = 0; i < FrameSize - 1; ++i) check ^= frame[i];
  return check;
}

bool FrameCheckOk(const std::uint8_t* frame) {
  return FrameCheckByte(frame) == frame[FrameSize - 1];
}

void SealFrame(TLinkFrame& frame) {
  frame[FrameSize - 1] = FrameCheckByte(frame.data());
}

void BuildBlockFrame(TLinkFrame& frame, std::uint8_t command, bool zeroPayload,
                     const TDeviceImage& image) {
  frame[0] = command;
  const int block = command & 0x3F;
  if (zeroPayload || block >= BlockCount)
    std::fill(frame.begin() + 1, frame.begin() + 1 + PayloadSize, 0);
  else
    std::copy_n(image.Block(block), PayloadSize, frame.begin() + 1);
  SealFrame(frame);
}

void BuildMonitorRequest(TLinkFrame& frame) {
  frame.fill(0);
  frame[0] = MonitorRequestCommand;
  SealFrame(frame);
}
