#include <gtest/gtest.h>

#include <memory>

#include "model/History.h"

namespace {

TDeviceImage ImageWith(int value) {
  TDeviceImage image{};
  image.Params.BaseAdv = static_cast<std::uint8_t>(value);
  image.Block0[3] = static_cast<std::uint8_t>(value ^ 0x5A); // block 0 travels too
  return image;
}

// Init on value 0, then one effective change per value 1..changes.
std::unique_ptr<THistory> AfterChanges(int changes, TDeviceImage& image) {
  auto h = std::make_unique<THistory>();
  image = ImageWith(0);
  h->Init(image);
  for (int i = 1; i <= changes; ++i) EXPECT_TRUE(h->Push(image = ImageWith(i)));
  return h;
}

} // namespace

TEST(History, UndoRedoAndUnchangedSteps) {
  TDeviceImage image;
  auto h = AfterChanges(0, image);
  EXPECT_FALSE(h->CanUndo() || h->CanRedo());
  EXPECT_FALSE(h->Push(image)); // Enter without an edit
  EXPECT_FALSE(h->CanUndo());

  EXPECT_TRUE(h->Push(image = ImageWith(1)));
  EXPECT_TRUE(h->CanUndo() && !h->CanRedo());
  ASSERT_TRUE(h->Undo(image));
  EXPECT_EQ(image.Params.BaseAdv, 0);
  EXPECT_EQ(image.Block0[3], 0x5A);
  EXPECT_TRUE(!h->CanUndo() && h->CanRedo());
  EXPECT_FALSE(h->Push(image)); // the nested step of a refresh after undo
  EXPECT_TRUE(h->CanRedo());
  ASSERT_TRUE(h->Redo(image));
  EXPECT_EQ(image.Params.BaseAdv, 1);
  EXPECT_FALSE(h->Redo(image));
}

TEST(History, FullRingUndoesAtMost199Steps) {
  TDeviceImage image;
  auto h = AfterChanges(250, image);
  int undone = 0;
  while (h->Undo(image)) ++undone;
  EXPECT_EQ(undone, 199);
  EXPECT_EQ(image.Params.BaseAdv, 51); // the oldest step kept
  int redone = 0;
  while (h->Redo(image)) ++redone;
  EXPECT_EQ(redone, 199);
  EXPECT_EQ(image.Params.BaseAdv, 250);
}

TEST(History, ChangeAfterUndoDiscardsRedo) {
  TDeviceImage image;
  auto h = AfterChanges(3, image);
  h->Undo(image);
  h->Undo(image);
  h->Push(image = ImageWith(9));
  EXPECT_FALSE(h->CanRedo());
  h->Undo(image);
  EXPECT_EQ(image.Params.BaseAdv, 1);
}

TEST(History, IndicesWrapPast199) {
  struct {
    int changes;
    std::uint16_t cur, oldest;
  } const table[] = {{199, 199, 0}, {200, 0, 1}, {201, 1, 2}, {450, 50, 51}};
  for (const auto& row : table) {
    TDeviceImage image;
    auto h = AfterChanges(row.changes, image);
    EXPECT_EQ(h->HistoryCur, row.cur) << row.changes;
    EXPECT_EQ(h->HistoryNewest, row.cur) << row.changes;
    EXPECT_EQ(h->HistoryOldest, row.oldest) << row.changes;
    if (row.cur == 0) { // undo from slot 0 steps back to 199
      ASSERT_TRUE(h->Undo(image));
      EXPECT_EQ(h->HistoryCur, 199);
      EXPECT_EQ(image.Params.BaseAdv, 199);
    }
  }
}
