// Undo and redo history: whole copies of the device image in a fixed ring, so a step
// costs a copy and never an allocation. The window calls these from its change path and
// undo/redo commands and does the refresh, the buttons and program-after-change itself.
#pragma once

#include <cstdint>

#include "model/IgnParams.h"

inline constexpr int HistorySlots = 200;
inline constexpr int HistorySlotSize = 150; // room per slot; the image takes the first 100

// The way through the history: back (undo) or forward (redo).
enum class THistoryStep : std::int8_t { Back = -1, Forward = 1 };

class THistory {
public:
  // The current image becomes the bottom of the history: no undo, no redo.
  void Init(const TDeviceImage& image);
  // Whether any of the 100 image bytes differs from slot HistoryCur.
  bool Changed(const TDeviceImage& image) const;
  // Takes a step when the image changed (dropping redo steps and, with a full ring, the
  // oldest step); returns whether it changed.
  bool Push(const TDeviceImage& image);
  void SaveSnapshot(const TDeviceImage& image);
  void RestoreSnapshot(TDeviceImage& image) const;
  // Whether a step that way is left: back to HistoryOldest, forward to HistoryNewest.
  bool CanMove(THistoryStep step) const {
    return HistoryCur != (step == THistoryStep::Back ? HistoryOldest : HistoryNewest);
  }
  // Moves one step that way and copies that slot into the image; false (image untouched)
  // at the end.
  bool Move(THistoryStep step, TDeviceImage& image);
  bool CanUndo() const { return CanMove(THistoryStep::Back); }
  bool CanRedo() const { return CanMove(THistoryStep::Forward); }
  bool Undo(TDeviceImage& image) { return Move(THistoryStep::Back, image); }
  bool Redo(TDeviceImage& image) { return Move(THistoryStep::Forward, image); }

  std::uint16_t HistoryCur = 0;
  std::uint16_t HistoryOldest = 0;
  std::uint16_t HistoryNewest = 0;

private:
  static std::uint16_t Next(std::uint16_t slot);
  static std::uint16_t Prev(std::uint16_t slot);
  const std::uint8_t* Slot(std::uint16_t slot) const;
  std::uint8_t* Slot(std::uint16_t slot);

  std::uint8_t Slots[HistorySlots][HistorySlotSize] = {};
};
