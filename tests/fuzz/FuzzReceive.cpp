// The receive path fed a script: bytes that arrive on the line in chunks of any size (some
// shaped as frames that pass their check), ticks, receives, the transfer commands and a
// failing line. Around every receive: the engine reads only into its receive buffer, only
// when a whole frame waits, and a frame that fails its check changes nothing.
#include <algorithm>
#include <cstring>

#include "FuzzCheck.h"
#include "link/Link.h"
#include "support/ChunkPort.h"
#include "support/RecordingHost.h"

namespace {

class TScript {
public:
  TScript(const std::uint8_t* data, std::size_t size) : Data(data), Size(size) {}
  bool AtEnd() const { return At >= Size; }
  // The next byte; zeros once the script has ended.
  std::uint8_t Byte() { return At < Size ? Data[At++] : 0; }

private:
  const std::uint8_t* Data;
  std::size_t Size;
  std::size_t At = 0;
};

struct TSeen {
  TDeviceImage Image;
  int MonitorFrames, ParamsShown, Stored, Reads;
  std::size_t Events, Waiting;
  std::uint8_t NoLinkTicks, Command;
  TTransferMode Mode;
  std::array<std::uint8_t, MonitorFrameSize> MonitorFrame;
};

TSeen Seen(const TDeviceImage& image, const TRecordingHost& host, const TChunkPort& port,
           const TLinkEngine& engine) {
  TSeen seen;
  seen.Image = image;
  seen.MonitorFrames = host.MonitorFrames;
  seen.ParamsShown = host.ParamsShown;
  seen.Stored = static_cast<int>(host.Stored.size());
  seen.Reads = port.Reads;
  seen.Events = host.Events.size();
  seen.Waiting = port.Line.size();
  seen.NoLinkTicks = engine.NoLinkTicks;
  seen.Command = engine.CurrentCommand;
  seen.Mode = engine.TransferMode;
  seen.MonitorFrame = engine.MonitorFrame;
  return seen;
}

bool SameImage(const TDeviceImage& a, const TDeviceImage& b) {
  return std::memcmp(a.Bytes(), b.Bytes(), ImageSize) == 0;
}

bool DecodedSince(const TRecordingHost& host, std::size_t events) {
  for (std::size_t i = events; i < host.Events.size(); ++i)
    if (host.Events[i] == "Decode") return true;
  return false;
}

// What one receive (alone, or within a tick) may have done, judged by what it read.
void CheckReceive(const TSeen& was, const TDeviceImage& image, const TRecordingHost& host,
                  const TChunkPort& port, const TLinkEngine& engine, bool tick) {
  const bool read = port.Reads != was.Reads;
  if (read) {
    if (port.LastBuffer != engine.RxBuffer.data() || port.LastMax > RxBufferSize)
      FuzzFail("read past the receive buffer");
    if (was.Waiting < static_cast<std::size_t>(FrameSize)) FuzzFail("read less than a frame");
    if (port.LastRead.size() != std::min<std::size_t>(was.Waiting, RxBufferSize))
      FuzzFail("did not take what waited");
  } else if (port.Failure == TPortStatus::Ok && port.Line.size() != was.Waiting) {
    FuzzFail("bytes lost without a read");
  }
  const bool passes = read && FrameCheckOk(port.LastRead.data());
  const bool monitor = passes && port.LastRead[0] == MonitorReplyCommand;
  const bool reply = passes && port.LastRead[0] == (was.Command ^ ReplyFlag) && was.Mode != tmIdle;

  if (host.MonitorFrames != was.MonitorFrames + (monitor ? 1 : 0))
    FuzzFail("monitor frame shown without a monitor frame that passed");
  if (monitor && std::memcmp(engine.MonitorFrame.data(), port.LastRead.data(), MonitorFrameSize))
    FuzzFail("monitor frame kept otherwise than received");
  if (!monitor && engine.MonitorFrame != was.MonitorFrame) FuzzFail("monitor frame changed");
  if (!reply) {
    if (!SameImage(image, was.Image)) FuzzFail("image changed without a reply that passed");
    if (host.ParamsShown != was.ParamsShown || DecodedSince(host, was.Events) ||
        static_cast<int>(host.Stored.size()) != was.Stored)
      FuzzFail("a rejected frame reached the window");
  } else if (std::memcmp(image.Block0, was.Image.Block0, BlockSize) != 0 &&
             ((was.Command & 0x3F) != 0 ||
              std::memcmp(image.Block0, port.LastRead.data() + 1, BlockSize) != 0)) {
    FuzzFail("identity block changed otherwise than to the reply of block 0");
  }
  if (!tick && !passes && engine.NoLinkTicks != was.NoLinkTicks)
    FuzzFail("link seen without a frame that passed");
  if (engine.TransferMode != tmIdle) {
    const std::uint8_t c = engine.CurrentCommand;
    if (c != 0x00 && c != 0x01 && c != 0x40 && c != 0x41) FuzzFail("command out of the blocks");
  }
  if (engine.GaugeProgress < 0 || engine.GaugeProgress > GaugeMax) FuzzFail("gauge");
}

void Queue(TChunkPort& port, const std::uint8_t* bytes, std::size_t count) {
  port.Line.insert(port.Line.end(), bytes, bytes + count);
}

} // namespace

void CheckReceiveInput(const std::uint8_t* data, std::size_t size) {
  TScript script(data, size);
  TDeviceImage image;
  for (int i = 0; i < ImageSize; ++i) image.Bytes()[i] = static_cast<std::uint8_t>(i * 7);
  image.Block0[10] = ProgramVersion;
  TRecordingHost host(image);
  TChunkPort port;
  TLinkEngine engine(image, host);
  engine.SetPort(&port);

  while (!script.AtEnd()) {
    switch (script.Byte() % 10) {
    case 0:
      engine.StartRead();
      break;
    case 1:
      engine.StartVerify();
      break;
    case 2:
      engine.StartProgram();
      break;
    case 3:
      engine.StartProgramming();
      break;
    case 4:
      engine.BackUpBeforeProgramming = !engine.BackUpBeforeProgramming;
      break;
    case 5: { // raw bytes; a length byte of 255 brings a long run of one byte
      std::uint8_t bytes[255];
      const int length = script.Byte();
      if (length == 255) {
        const std::uint8_t fill = script.Byte();
        port.Line.insert(port.Line.end(), 1000u * (1 + script.Byte() % 20), fill);
        break;
      }
      for (int i = 0; i < length; ++i) bytes[i] = script.Byte();
      Queue(port, bytes, static_cast<std::size_t>(length));
      break;
    }
    case 6: { // a frame that passes its check: a monitor reply, the awaited reply or any
      TLinkFrame frame{};
      const std::uint8_t kind = script.Byte();
      frame[0] = kind % 3 == 0   ? MonitorReplyCommand
                 : kind % 3 == 1 ? static_cast<std::uint8_t>(engine.CurrentCommand ^ ReplyFlag)
                                 : script.Byte();
      for (int i = 1; i < FrameSize - 1; ++i) frame[i] = script.Byte();
      SealFrame(frame);
      Queue(port, frame.data(), frame.size());
      break;
    }
    case 7:
    case 8: {
      const bool tick = script.Byte() % 2 == 0;
      const TSeen was = Seen(image, host, port, engine);
      if (tick)
        engine.Timer1Timer();
      else
        engine.ReceiveFrame();
      CheckReceive(was, image, host, port, engine, tick);
      break;
    }
    default:
      port.Failure = static_cast<TPortStatus>(script.Byte() % 5);
      break;
    }
  }
}
