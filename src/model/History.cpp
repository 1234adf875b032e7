#include "model/History.h"

#include <cstring>

static_assert(ImageSize <= HistorySlotSize);

// The indices are public for the window to read; an out-of-range value set from outside
// is folded back into the ring rather than indexing past it.
std::uint16_t THistory::Next(std::uint16_t slot) {
  return static_cast<std::uint16_t>((slot % HistorySlots + 1) % HistorySlots);
}

std::uint16_t THistory::Prev(std::uint16_t slot) {
  return static_cast<std::uint16_t>((slot % HistorySlots + HistorySlots - 1) % HistorySlots);
}

const std::uint8_t* THistory::Slot(std::uint16_t slot) const {
  return Slots[slot % HistorySlots];
}

std::uint8_t* THistory::Slot(std::uint16_t slot) {
  return Slots[slot % HistorySlots];
}

void THistory::Init(const TDeviceImage& image) {
  HistoryOldest = HistoryCur = HistoryNewest = 0;
  SaveSnapshot(image);
}

bool THistory::Changed(const TDeviceImage& image) const {
  return std::memcmp(Slot(HistoryCur), image.Bytes(), ImageSize) != 0;
}

bool THistory::Push(const TDeviceImage& image) {
  if (!Changed(image)) return false;
  HistoryCur = Next(HistoryCur);
  HistoryNewest = HistoryCur;
  if (HistoryOldest == HistoryCur) HistoryOldest = Next(HistoryOldest);
  SaveSnapshot(image);
  return true;
}

void THistory::SaveSnapshot(const TDeviceImage& image) {
  std::memcpy(Slot(HistoryCur), image.Bytes(), ImageSize);
}

void THistory::RestoreSnapshot(TDeviceImage& image) const {
  std::memcpy(image.Bytes(), Slot(HistoryCur), ImageSize);
}

bool THistory::Move(THistoryStep step, TDeviceImage& image) {
  if (!CanMove(step)) return false;
  HistoryCur = step == THistoryStep::Back ? Prev(HistoryCur) : Next(HistoryCur);
  RestoreSnapshot(image);
  return true;
}
