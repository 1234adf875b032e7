// Random bytes on the line: the receive path never crashes, and only frames that pass
// their check reach the monitor or the transfer.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "i18n/Messages.h"
#include "link/Link.h"
#include "support/ChunkPort.h"
#include "support/RecordingHost.h"

TEST(ReceivePath, RandomChunksChangeNothingUnlessAFramePassesItsCheck) {
  std::mt19937 random(2026);
  int accepted = 0;
  for (int round = 0; round < 3000; ++round) {
    TDeviceImage image{};
    for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(i * 7);
    const TDeviceImage before = image;
    TRecordingHost host(image);
    TChunkPort port;
    TLinkEngine engine(image, host);
    engine.SetPort(&port);
    engine.TransferMode = static_cast<TTransferMode>(random() % 4);
    engine.CurrentCommand =
        static_cast<std::uint8_t>(std::array{0x00, 0x01, 0x40, 0x41}[random() % 4]);

    // A chunk of up to 20000 bytes, sometimes shaped like a frame with a valid check byte.
    const int size = static_cast<int>(random() % (round % 10 == 0 ? 20000 : 120));
    std::vector<std::uint8_t> chunk(size);
    for (auto& b : chunk) b = static_cast<std::uint8_t>(random());
    const bool sealed = size >= FrameSize && random() % 2 == 0;
    if (sealed) {
      if (random() % 2)
        chunk[0] = random() % 2 ? MonitorReplyCommand : (engine.CurrentCommand ^ ReplyFlag);
      chunk[FrameSize - 1] = FrameCheckByte(chunk.data());
    }
    const bool passes = size >= FrameSize && FrameCheckOk(chunk.data());
    port.Line.assign(chunk.begin(), chunk.end());

    engine.ReceiveFrame();

    if (!passes) {
      EXPECT_EQ(std::memcmp(image.Bytes(), before.Bytes(), ImageSize), 0);
      EXPECT_EQ(host.MonitorFrames, 0);
      EXPECT_EQ(host.ParamsShown, 0);
      EXPECT_EQ(engine.MonitorFrame, (std::array<std::uint8_t, MonitorFrameSize>{}));
    } else {
      accepted += host.MonitorFrames + (host.ParamsShown > 0);
    }
    // Fewer than a frame waits for the next tick; more is taken in whole, at most 15000.
    if (size < FrameSize)
      EXPECT_EQ(port.Line.size(), static_cast<std::size_t>(size));
    else
      EXPECT_EQ(port.Line.size(), static_cast<std::size_t>(std::max(0, size - RxBufferSize)));
  }
  EXPECT_GT(accepted, 100); // the sealed inputs reach the decoding behind the check
}
