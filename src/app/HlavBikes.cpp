// The bike library: the window side. The current bike in the status bar and the curve
// window's title, its history entries, the question after a Read, the warning before a
// Program and the Bikes window.
#include "app/HlavBikes.h"

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <ctime>

#include "app/FormCurve.h"
#include "app/Hlav.h"
#include "files/Profile.h"
#include "files/RestorePoints.h"
#include "i18n/CurveTexts.h"
#include "model/SettingsDir.h"

namespace {

const std::string Section = "BIKES";
const std::string CurrentKey = "CurrentBike";

QString Text(TBikeText key, const std::vector<std::string>& arguments = {}) {
  return QString::fromStdString(BikeText(key, CurrentLanguage, arguments));
}

QString ErrorText(const TLibraryFailure& failure) {
  return Text(TBikeText::LibraryUnusable,
              {LibraryErrorText(failure.What, failure.Detail, CurrentLanguage)});
}

} // namespace

// ---- what the Bikes window sees ----

TBikeLibrary* TBikeSide::BikeLibrary() {
  if (Library == nullptr) {
    auto library = std::make_unique<TBikeLibrary>();
    TBikeLibrary::TOpenReport report;
    TLibraryFailure failure;
    if (!library->Open(BikeLibraryPath(), RestorePointsDirectory(), report, failure)) {
      // Said once a run; the next use tries again.
      if (!FailureShown) {
        FailureShown = true;
        Form.TellLater(ErrorText(failure));
      }
      return nullptr;
    }
    Library = std::move(library);
    if (!report.MovedAside.empty())
      Form.TellLater(Text(TBikeText::LibraryMovedAside, {report.MovedAside}));
    // Restore points made before the library, or by the command-line tool without a bike.
    int added = 0;
    if (!Library->AddRestorePointFiles(RestorePointsDirectory(), added, failure))
      Form.TellLater(ErrorText(failure));
  }
  return Library.get();
}

std::int64_t TBikeSide::CurrentBikeId() {
  if (CurrentLookedUp || CurrentName.empty()) return CurrentId;
  TBikeLibrary* library = BikeLibrary();
  if (library == nullptr) return 0;
  CurrentLookedUp = true;
  TLibraryFailure failure;
  if (const std::optional<TBike> bike = library->FindBike(CurrentName, failure)) {
    CurrentId = bike->Id;
  } else if (failure.What == TLibraryError::NotFound) {
    // Deleted by the command-line tool or lost with a damaged library.
    SetCurrentBike(std::nullopt);
  } else {
    CurrentLookedUp = false;
    Form.TellLater(ErrorText(failure));
  }
  return CurrentId;
}

void TBikeSide::SetCurrentBike(const std::optional<TBike>& bike) {
  CurrentName = bike ? bike->Name : std::string();
  CurrentId = bike ? bike->Id : 0;
  CurrentLookedUp = true;
  Form.ExtraSettings().WriteString(Section, CurrentKey, CurrentName);
  if (bike && FrameAskBike != nullptr) FrameAskBike->hide();
  Form.ShowCurrentBike();
}

void TBikeSide::OpenHistoryFile(const QString& path) {
  Form.OpenParameterFile(path);
}

void TBikeSide::CompareHistoryFile(const QString& path) {
  Form.CompareWithFile(path);
}

int TBikeSide::AskUser(const QString& text, int buttons) {
  return Form.ShowBikeMessage(text, buttons);
}

// ---- the main window ----

void TFormHlav::BuildBikeItems() {
  Bikes = std::make_unique<TBikeSide>(*this);
  MenuBikes = MenuTools->addAction(Text(TBikeText::MenuBikes));
  MenuBikes->setObjectName("MenuBikes");
  MenuBikes->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_B));
  connect(MenuBikes, &QAction::triggered, this, [this] { MenuBikesClick(); });

  // Without the file nothing asks for it, and nothing is written.
  if (QFile::exists(QString::fromStdString(ExtraSettingsPath())))
    Bikes->CurrentName = ExtraSettings().ReadString(Section, CurrentKey, "");
  ShowCurrentBike();
}

void TFormHlav::ShowCurrentBike() {
  if (LabelCurrentBike == nullptr) {
    if (StatusBar1 == nullptr) return; // the menus are built before the status bar
    LabelCurrentBike = new QLabel(StatusBar1);
    LabelCurrentBike->setObjectName("LabelCurrentBike");
    StatusBar1->addPermanentWidget(LabelCurrentBike);
  }
  const QString name = QString::fromStdString(Bikes->CurrentName);
  LabelCurrentBike->setText(name.isEmpty() ? Text(TBikeText::NoneCurrent)
                                           : Text(TBikeText::CurrentBike, {Bikes->CurrentName}));
  LabelCurrentBike->setToolTip(Text(TBikeText::MenuBikesHint));
  ShowBikeInCurveTitle();
}

void TFormHlav::ShowBikeInCurveTitle() {
  if (FormCurve == nullptr || Bikes == nullptr) return;
  const QString title = CurveText(TCurveText::WindowTitle, CurrentLanguage);
  FormCurve->setWindowTitle(Bikes->CurrentName.empty()
                                ? title
                                : title + " - " + QString::fromStdString(Bikes->CurrentName));
}

void TFormHlav::MenuBikesClick() {
  if (Bikes->Window == nullptr) {
    Bikes->Window = new TFormBikes(this, *Bikes);
    Bikes->Window->ApplyTexts(CurrentLanguage);
    PlaceToolWindow(Bikes->Window);
    // The window's menu keys (F7, F9, Ctrl+B ...) work here too.
    for (QAction* action : MainMenu1->findChildren<QAction*>())
      if (!action->shortcut().isEmpty()) Bikes->Window->addAction(action);
  } else {
    Bikes->Window->Reload();
  }
  Bikes->Window->show();
  Bikes->Window->raise();
  Bikes->Window->activateWindow();
  Bikes->Window->EditBikeSearch->setFocus();
}

void TFormHlav::ApplyBikeTexts() {
  if (Bikes == nullptr) return;
  MenuBikes->setText(Text(TBikeText::MenuBikes));
  MenuBikes->setStatusTip(Text(TBikeText::MenuBikesHint));
  ShowCurrentBike();
  if (Bikes->FrameAskBike != nullptr) {
    Bikes->LabelAskBike->setText(Text(TBikeText::AskWhichBike));
    Bikes->ButtonAskChoose->setText(Text(TBikeText::AskChoose));
    Bikes->ButtonAskNewBike->setText(Text(TBikeText::AskNewBike));
    Bikes->ButtonAskNotNow->setText(Text(TBikeText::AskNotNow));
  }
  if (Bikes->Window != nullptr) Bikes->Window->ApplyTexts(CurrentLanguage);
}

void TFormHlav::TellLater(const QString& text) {
  // Not from inside the tick or the library's own call: the box comes when they are done.
  QTimer::singleShot(0, this, [this, text] { ShowBikeMessage(text); });
}

int TFormHlav::ShowBikeMessage(const QString& text, int buttons) {
  // The box belongs to the main window, which the window manager raises when it closes;
  // an open Bikes window, which the message is about, comes back on top.
  const int answer = ShowMessageBox(text, buttons);
  if (Bikes->Window != nullptr && Bikes->Window->isVisible()) {
    Bikes->Window->raise();
    Bikes->Window->activateWindow();
  }
  return answer;
}

void TFormHlav::EnterBikeHistory(TEntryKind kind, const TUnitIdentity& unit,
                                 const std::string& path) {
  const std::int64_t bike = Bikes->CurrentBikeId();
  // A Save belongs to a bike only; restore points are entered under no bike otherwise, so
  // they can be given to one later.
  if (kind == TEntryKind::Saved && bike == 0) return;
  TBikeLibrary* library = Bikes->BikeLibrary();
  if (library == nullptr) return;
  const bool identified = !unit.UnitVersionText.empty();
  THistoryEntry entry{0,
                      bike,
                      static_cast<std::int64_t>(std::time(nullptr)),
                      kind,
                      identified ? UnitKey(unit) : std::string(),
                      identified ? UnitIdentityText(unit) : std::string(),
                      path,
                      {}};
  TLibraryFailure failure;
  const bool entered = kind == TEntryKind::Saved ? library->AddEntry(entry, failure)
                                                 : library->EnterRestorePoint(entry, failure);
  if (!entered) {
    TellLater(ErrorText(failure));
    return;
  }
  if (kind == TEntryKind::Read) {
    Bikes->LastRead = TBikeSide::TRead{entry.Unit, entry.UnitText, entry.Id};
    if (bike == 0 && !Bikes->Asked) AskWhichBike();
  }
  if (Bikes->Window != nullptr && Bikes->Window->isVisible()) Bikes->Window->Reload();
}

void TFormHlav::AskWhichBike() {
  TBikeSide& b = *Bikes;
  b.Asked = true;
  if (b.FrameAskBike == nullptr) {
    b.FrameAskBike = new QFrame(StatusBar1);
    b.FrameAskBike->setObjectName("FrameAskBike");
    b.FrameAskBike->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(b.FrameAskBike);
    row->setContentsMargins(4, 0, 4, 0);
    b.LabelAskBike = new QLabel;
    b.LabelAskBike->setObjectName("LabelAskBike");
    b.ComboBoxAskBike = new QComboBox;
    b.ComboBoxAskBike->setObjectName("ComboBoxAskBike");
    b.ComboBoxAskBike->setMinimumContentsLength(16);
    b.ComboBoxAskBike->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    b.ButtonAskChoose = new QPushButton;
    b.ButtonAskChoose->setObjectName("ButtonAskChoose");
    b.ButtonAskNewBike = new QPushButton;
    b.ButtonAskNewBike->setObjectName("ButtonAskNewBike");
    b.ButtonAskNotNow = new QPushButton;
    b.ButtonAskNotNow->setObjectName("ButtonAskNotNow");
    for (QWidget* w :
         std::initializer_list<QWidget*>{b.LabelAskBike, b.ComboBoxAskBike, b.ButtonAskChoose,
                                         b.ButtonAskNewBike, b.ButtonAskNotNow})
      row->addWidget(w);
    // Beside the current bike's field, which it is about; hints do not hide it.
    StatusBar1->insertPermanentWidget(0, b.FrameAskBike);
    connect(b.ButtonAskChoose, &QPushButton::clicked, this, [this] {
      const qlonglong id = Bikes->ComboBoxAskBike->currentData().toLongLong();
      TLibraryFailure failure;
      if (TBikeLibrary* library = Bikes->BikeLibrary())
        if (const std::optional<TBike> bike = library->BikeById(id, failure))
          AnswerWhichBike(*bike);
    });
    connect(b.ButtonAskNewBike, &QPushButton::clicked, this, [this] {
      TBikeLibrary* library = Bikes->BikeLibrary();
      if (library == nullptr) return;
      TFormBikeEdit edit(this, *library, TBike{}, CurrentLanguage);
      if (edit.exec() == QDialog::Accepted) AnswerWhichBike(edit.Bike());
    });
    connect(b.ButtonAskNotNow, &QPushButton::clicked, b.FrameAskBike, &QWidget::hide);
    ApplyBikeTexts();
  }
  b.ComboBoxAskBike->clear();
  std::vector<TBike> bikes;
  TLibraryFailure failure;
  if (TBikeLibrary* library = b.BikeLibrary())
    library->BikesForUnit(b.LastRead ? b.LastRead->Unit : std::string(), bikes, failure);
  for (const TBike& bike : bikes)
    b.ComboBoxAskBike->addItem(QString::fromStdString(bike.Name), qlonglong(bike.Id));
  b.ComboBoxAskBike->setVisible(!bikes.empty());
  b.ButtonAskChoose->setVisible(!bikes.empty());
  b.FrameAskBike->show();
}

void TFormHlav::AnswerWhichBike(const TBike& bike) {
  Bikes->SetCurrentBike(bike);
  // The Read that asked belongs to it.
  if (Bikes->LastRead && Bikes->LastRead->EntryId != 0) {
    TLibraryFailure failure;
    if (!Bikes->Library->AssignEntries({Bikes->LastRead->EntryId}, bike.Id, failure))
      TellLater(ErrorText(failure));
  }
  if (Bikes->Window != nullptr && Bikes->Window->isVisible()) Bikes->Window->Reload();
}

bool TFormHlav::ConfirmProgramForBike() {
  if (!Bikes->LastRead || Bikes->LastRead->Unit.empty()) return true;
  const std::int64_t bike = Bikes->CurrentBikeId();
  if (bike == 0) return true;
  TLibraryFailure failure;
  // What the bike was known by before this run's Read was entered.
  const std::optional<THistoryEntry> before =
      Bikes->Library->LastUnitEntry(bike, failure, Bikes->LastRead->EntryId);
  if (!before || before->Unit == Bikes->LastRead->Unit) return true;
  return ShowMessageBox(Text(TBikeText::WarnOtherUnit,
                             {Bikes->CurrentName, before->UnitText, Bikes->LastRead->UnitText}),
                        QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
