// The Bikes window: the workshop's bikes with a search that finds as you type, each bike's
// history (restore points and saves) below it, and the restore points of no bike, which can
// be given to a bike. Non-modal, built on first use. It sees the main window only through
// TBikesHost.
#pragma once

#include <QDialog>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <optional>

#include "library/BikeLibrary.h"

class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;

// What the Bikes window reads from the main window and asks of it.
class TBikesHost {
public:
  virtual ~TBikesHost() = default;
  // The library, opened on first use; nullptr when it cannot be used (the host said why).
  virtual TBikeLibrary* BikeLibrary() = 0;
  virtual std::int64_t CurrentBikeId() = 0;
  // The current bike, or none; also after its details changed or it was deleted.
  virtual void SetCurrentBike(const std::optional<TBike>& bike) = 0;
  // An entry's file, as the Open command opens a file.
  virtual void OpenHistoryFile(const QString& path) = 0;
  // An entry's file beside the screen, in the difference window.
  virtual void CompareHistoryFile(const QString& path) = 0;
  // A message box that keeps the ticks running; returns the button pressed.
  virtual int AskUser(const QString& text, int buttons) = 0;
};

// A bike's details, new or edited; the library checks them when OK is pressed and the
// dialog stays open with the reason when they are refused.
class TFormBikeEdit : public QDialog {
  Q_OBJECT

public:
  TFormBikeEdit(QWidget* parent, TBikeLibrary& library, const TBike& bike, TLanguage language);
  const TBike& Bike() const { return Edited; }

  QLineEdit *EditBikeName = nullptr, *EditBikeCustomer = nullptr, *EditBikeMake = nullptr,
            *EditBikeModel = nullptr, *EditBikeYear = nullptr, *EditBikeRegistration = nullptr;
  QPlainTextEdit* EditBikeNotes = nullptr;
  QLabel* LabelBikeError = nullptr;
  QDialogButtonBox* Buttons = nullptr;

  void accept() override;

private:
  TBikeLibrary& Library;
  TBike Edited;
  TLanguage Language;
};

class TFormBikes : public QWidget {
  Q_OBJECT

public:
  TFormBikes(QWidget* parent, TBikesHost& host);

  // The list again from the library, keeping the search, the chosen bike and its history.
  void Reload();
  void ApplyTexts(TLanguage language);
  // The bike chosen in the list: 0 for "No bike", nullopt when none is chosen.
  std::optional<std::int64_t> ChosenBike() const;

  QLabel* LabelBikeSearch = nullptr;
  QLineEdit* EditBikeSearch = nullptr;
  QTreeWidget* ListBikes = nullptr;
  QPushButton *ButtonNewBike = nullptr, *ButtonEditBike = nullptr, *ButtonDeleteBike = nullptr,
              *ButtonMakeCurrent = nullptr, *ButtonNoCurrent = nullptr, *ButtonExport = nullptr,
              *ButtonImport = nullptr;
  QLabel* LabelHistory = nullptr;
  QTreeWidget* ListHistory = nullptr;
  QPushButton *ButtonOpenEntry = nullptr, *ButtonCompareEntry = nullptr, *ButtonNoteEntry = nullptr,
              *ButtonAssignEntries = nullptr;
  QLabel* LabelLibraryError = nullptr;
  QPushButton* ButtonClose = nullptr;

private:
  void ShowBikes();
  void ShowHistory();
  void UpdateButtons();
  void Report(const TLibraryFailure& failure);
  QString Text(TBikeText key, const std::vector<std::string>& arguments = {}) const;
  std::vector<std::int64_t> ChosenEntries() const;
  QString ChosenEntryPath() const;

  void NewBikeClick();
  void EditBikeClick();
  void DeleteBikeClick();
  void MakeCurrentClick();
  void NoCurrentClick();
  void ExportClick();
  void ImportClick();
  void NoteEntryClick();
  void AssignEntriesClick();

  TBikesHost& Host;
  TLanguage Language = LangEnglish;
};
