// The main window's side of the bike library: what it keeps for the current bike, the
// question after a Read and the Bikes window, and the interface the Bikes window sees.
#pragma once

#include <QString>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/FormBikes.h"
#include "library/BikeLibrary.h"

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;
class TFormHlav;

class TBikeSide : public TBikesHost {
public:
  explicit TBikeSide(TFormHlav& form) : Form(form) {}

  TBikeLibrary* BikeLibrary() override;
  std::int64_t CurrentBikeId() override;
  void SetCurrentBike(const std::optional<TBike>& bike) override;
  void OpenHistoryFile(const QString& path) override;
  void CompareHistoryFile(const QString& path) override;
  int AskUser(const QString& text, int buttons) override;

  // The library: opened on first use, again after a failure.
  std::unique_ptr<TBikeLibrary> Library;
  bool FailureShown = false; // the box about a library that cannot be used, once a run
  // The current bike by its name, as the extra settings keep it; its id once looked up.
  std::string CurrentName;
  std::int64_t CurrentId = 0;
  bool CurrentLookedUp = false;
  // The last Read of this run: the unit it came from and its entry in the history.
  struct TRead {
    std::string Unit, UnitText;
    std::int64_t EntryId = 0;
  };
  std::optional<TRead> LastRead;
  bool Asked = false; // the question after a Read comes once a run

  TFormBikes* Window = nullptr; // built on first use
  QFrame* FrameAskBike = nullptr;
  QLabel* LabelAskBike = nullptr;
  QComboBox* ComboBoxAskBike = nullptr;
  QPushButton *ButtonAskChoose = nullptr, *ButtonAskNewBike = nullptr, *ButtonAskNotNow = nullptr;

private:
  TFormHlav& Form;
};
