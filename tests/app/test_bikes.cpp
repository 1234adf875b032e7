// The bike library in the window, with real keys and clicks: the Bikes window (new, search,
// current), the current bike kept between runs, the question after a Read and the warning
// before a Program, against the simulated unit in-process.
#include "app/FormBikes.h"
#include "app/FormCurve.h"
#include "app/Hlav.h"
#include "app/HlavBikes.h"
#include "library/BikeLibrary.h"
#include "link/Frame.h"
#include "support/AppSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include <functional>

namespace {

// The block frames that reach the unit.
class TRecordingPort : public TSimPort {
public:
  bool Write(const std::uint8_t* data, int count) override {
    if (count > 0 && data[0] != MonitorRequestCommand) Commands.push_back(data[0]);
    return TSimPort::Write(data, count);
  }
  std::vector<std::uint8_t> Commands;
};

struct TWindow {
  TWindow() {
    CurrentLanguage = LangEnglish;
    Form = std::make_unique<TFormHlav>(QStringList{});
    Form->show();
    if (!QTest::qWaitForWindowActive(Form.get())) qFatal("the window did not become active");
    Answerer.Texts.clear();
    Form->Link.SetPort(&Port);
  }
  ~TWindow() {
    if (Form) Form->Link.SetPort(nullptr);
  }
  void Press(const QKeySequence& key) { ::Press(Form.get(), key); }
  void Await(const QString& status) {
    QTRY_COMPARE_WITH_TIMEOUT(Form->LabelHlaseni->text(), status, 8000);
    QTRY_COMPARE_WITH_TIMEOUT(Form->Link.TransferMode, tmIdle, 2000);
  }
  QString BikeField() const { return Form->LabelCurrentBike->text(); }
  TModalAnswerer Answerer{QMessageBox::No};
  TRecordingPort Port;
  std::unique_ptr<TFormHlav> Form;
};

// Runs act on the bike dialog once it is up, from inside its own event loop.
void OnBikeDialog(std::function<void(TFormBikeEdit*)> act) {
  auto* poll = new QTimer;
  poll->setInterval(10);
  QObject::connect(poll, &QTimer::timeout, [poll, act] {
    auto* dialog = qobject_cast<TFormBikeEdit*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isActiveWindow()) return;
    poll->stop();
    poll->deleteLater();
    act(dialog);
  });
  poll->start();
}

// Types into the focused field as a person does, then Tab to the next.
void Type(const QString& text) {
  QTest::keyClicks(KeyTarget(), text);
  QTest::keyClick(KeyTarget(), Qt::Key_Tab);
}

void ClickOk(TFormBikeEdit* dialog) {
  QTest::mouseClick(dialog->Buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

QStringList Rows(const QTreeWidget* list) {
  QStringList rows;
  for (int i = 0; i < list->topLevelItemCount(); ++i) rows << list->topLevelItem(i)->text(0);
  return rows;
}

std::string DbPath(const TTestHome& home) {
  return home.File("data/vantel/bikes.sqlite").toStdString();
}

// A bike made beforehand, with an entry from a unit.
std::int64_t MakeBike(const TTestHome& home, const std::string& name, const std::string& unit) {
  TBikeLibrary library;
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  if (!library.Open(DbPath(home), home.File("none").toStdString(), report, failure)) return 0;
  TBike bike;
  bike.Name = name;
  library.AddBike(bike, failure);
  if (!unit.empty()) {
    THistoryEntry e{0,        bike.Id, 1000, TEntryKind::Read, unit, unit + " 1. 1.2020 10:00",
                    "/x.ign", {}};
    library.AddEntry(e, failure);
  }
  return bike.Id;
}

std::vector<THistoryEntry> History(const TTestHome& home, const std::string& name) {
  TBikeLibrary library;
  TBikeLibrary::TOpenReport report;
  TLibraryFailure failure;
  std::vector<THistoryEntry> entries;
  if (!library.Open(DbPath(home), home.File("none").toStdString(), report, failure)) return entries;
  if (const auto bike = library.FindBike(name, failure))
    library.Entries(bike->Id, entries, failure);
  return entries;
}

} // namespace

class TestBikes : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  // Ctrl+B opens the window; New asks for the details and refuses a bike without a name;
  // the search finds as you type, notes included; the current bike stands in the status bar
  // and stays between runs.
  void BikesWindowMakesFindsAndChoosesBikes() {
    TTestHome home;
    {
      TWindow w;
      QCOMPARE(w.BikeField(), QString("Bike: none"));
      w.Press(QKeySequence(Qt::CTRL | Qt::Key_B));
      TFormBikes* bikes = w.Form->Bikes->Window;
      QVERIFY(bikes != nullptr);
      QVERIFY(QTest::qWaitForWindowActive(bikes));
      QTRY_COMPARE(QApplication::focusWidget(), bikes->EditBikeSearch);
      QCOMPARE(Rows(bikes->ListBikes), QStringList{"No bike"});

      const struct {
        QString Name, Customer, Notes;
      } made[] = {{"Blue Duke", "Jiri Novak", "winter set-up, new pick-up"},
                  {"Red Single", "Anna", "carburettor"}};
      for (const auto& m : made) {
        bool refusedEmpty = false;
        OnBikeDialog([&](TFormBikeEdit* dialog) {
          QCOMPARE(QApplication::focusWidget(), dialog->EditBikeName);
          ClickOk(dialog); // no name yet
          refusedEmpty = dialog->isVisible() && dialog->LabelBikeError->isVisible();
          dialog->EditBikeName->setFocus();
          Type(m.Name);
          Type(m.Customer);
          dialog->EditBikeNotes->setFocus();
          QTest::keyClicks(KeyTarget(), m.Notes);
          ClickOk(dialog);
        });
        QTest::mouseClick(bikes->ButtonNewBike, Qt::LeftButton);
        QVERIFY(refusedEmpty);
      }
      QCOMPARE(Rows(bikes->ListBikes), (QStringList{"No bike", "Blue Duke", "Red Single"}));

      // A bike of the same name in other letters is refused, and the dialog keeps it.
      QString refusal;
      OnBikeDialog([&](TFormBikeEdit* dialog) {
        Type("blue duke");
        ClickOk(dialog);
        refusal = dialog->LabelBikeError->text();
        QTest::mouseClick(dialog->Buttons->button(QDialogButtonBox::Cancel), Qt::LeftButton);
      });
      QTest::mouseClick(bikes->ButtonNewBike, Qt::LeftButton);
      QCOMPARE(refusal, QString("a bike of this name is in the library already"));

      // Offscreen has no window manager to hand the activation back after the dialog.
      bikes->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(bikes));
      bikes->EditBikeSearch->setFocus();
      QTRY_COMPARE(QApplication::focusWidget(), bikes->EditBikeSearch);
      QTest::keyClicks(KeyTarget(), "pick");
      QCOMPARE(Rows(bikes->ListBikes), (QStringList{"No bike", "Blue Duke"}));
      QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
      QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
      QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
      QTest::keyClick(KeyTarget(), Qt::Key_Backspace);
      QTest::keyClicks(KeyTarget(), "novak");
      QCOMPARE(Rows(bikes->ListBikes), (QStringList{"No bike", "Blue Duke"}));
      QCOMPARE(bikes->ListBikes->currentItem()->text(0), QString("Blue Duke"));
      QTest::mouseClick(bikes->ButtonMakeCurrent, Qt::LeftButton);
      QVERIFY(bikes->ListBikes->currentItem()->font(0).bold());
      QCOMPARE(w.BikeField(), QString("Bike: Blue Duke"));
      QVERIFY(w.Form->LabelCurrentBike->isVisible());

      // The curve window, opened by its key from here, names it in its title.
      Press(bikes, QKeySequence(Qt::Key_F6));
      QTRY_VERIFY(w.Form->FormCurve != nullptr && w.Form->FormCurve->isVisible());
      QCOMPARE(w.Form->FormCurve->windowTitle(), QString("Advance curve - Blue Duke"));
      w.Form->close();
    }
    TWindow again;
    QCOMPARE(again.BikeField(), QString("Bike: Blue Duke"));
    QVERIFY(!FileBytes(home.File("vantel.ini")).contains("Bike"));
  }

  // After a Read without a bike, once a run, the question offers the bikes last seen with
  // this unit first; the answer makes the bike current and the Read its history's.
  void ReadWithoutABikeAsksWhichBikeOnce() {
    TTestHome home;
    MakeBike(home, "Anna", "");
    MakeBike(home, "Zed", "");
    TWindow w;
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    TBikeSide& side = *w.Form->Bikes;
    QVERIFY(side.FrameAskBike != nullptr);
    QTRY_VERIFY(side.FrameAskBike->isVisible());
    QCOMPARE(side.LabelAskBike->text(), QString("Which bike is this?"));
    QCOMPARE(side.ComboBoxAskBike->count(), 2);
    QTest::mouseClick(side.ButtonAskNotNow, Qt::LeftButton);
    QVERIFY(!side.FrameAskBike->isVisible());
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    QVERIFY2(!side.FrameAskBike->isVisible(), "once a run");

    // The next run: Zed was seen with this unit, so it comes first; chosen, it is current.
    const std::string unit = side.LastRead->Unit;
    w.Form->close();
    w.Form.reset();
    {
      TBikeLibrary library;
      TBikeLibrary::TOpenReport report;
      TLibraryFailure failure;
      QVERIFY(library.Open(DbPath(home), "", report, failure));
      std::vector<THistoryEntry> none;
      QVERIFY(library.Entries(0, none, failure));
      QCOMPARE(none.size(), std::size_t(2)); // both Reads, under no bike
      QVERIFY(library.AssignEntries({none[0].Id}, library.FindBike("Zed", failure)->Id, failure));
    }
    TWindow next;
    next.Press(QKeySequence(Qt::Key_F7));
    next.Await("Verify: OK");
    TBikeSide& asked = *next.Form->Bikes;
    QTRY_VERIFY(asked.FrameAskBike != nullptr && asked.FrameAskBike->isVisible());
    QCOMPARE(asked.ComboBoxAskBike->itemText(0), QString("Zed"));
    QTest::mouseClick(asked.ButtonAskChoose, Qt::LeftButton);
    QCOMPARE(next.BikeField(), QString("Bike: Zed"));
    QVERIFY(!asked.FrameAskBike->isVisible());
    const std::vector<THistoryEntry> zed = History(home, "Zed");
    QCOMPARE(zed.size(), std::size_t(2));
    QCOMPARE(zed[0].Unit, unit);
    QCOMPARE(zed[0].Kind, TEntryKind::Read);
  }

  // A bike current whose history names another unit than the one just read: Program warns
  // and No programs nothing; Yes programs. A Save is entered in the history.
  void ProgramWarnsWhenTheReadUnitIsNotTheBikes() {
    TTestHome home;
    MakeBike(home, "Duke", "OTHER_UNIT");
    home.Write("vantel-extra.ini", "[BIKES]\r\nCurrentBike=Duke\r\n");
    TWindow w;
    QCOMPARE(w.BikeField(), QString("Bike: Duke"));
    w.Press(QKeySequence(Qt::Key_F7));
    w.Await("Verify: OK");
    QVERIFY(w.Form->Bikes->FrameAskBike == nullptr || !w.Form->Bikes->FrameAskBike->isVisible());
    w.Port.Commands.clear();

    w.Press(QKeySequence(Qt::Key_F9));
    QTRY_COMPARE(w.Answerer.Texts.size(), 1);
    const QString warning = w.Answerer.Texts[0];
    QVERIFY2(warning.startsWith("The bike Duke was last read from the unit OTHER_UNIT"),
             qPrintable(warning));
    QVERIFY2(warning.contains(QString::fromStdString(w.Form->Bikes->LastRead->UnitText)),
             qPrintable(warning));
    QTest::qWait(500);
    QVERIFY(w.Port.Commands.empty());

    w.Answerer.Answer = QMessageBox::Yes;
    w.Press(QKeySequence(Qt::Key_F9));
    w.Await("Verify: OK");
    // Programmed only once the unit has stored it.
    w.Port.Unit.Advance(TSimUnit::StoreSeconds + 0.1);
    w.Await("Programing: OK");
    QCOMPARE(w.Port.Commands, (std::vector<std::uint8_t>{0x00, 0x01, 0x41}));

    TFileDialogAnswerer save(home.File("duke.ign"));
    w.Press(QKeySequence(Qt::Key_F2));
    QTRY_VERIFY(QFile::exists(home.File("duke.ign")));
    const std::vector<THistoryEntry> entries = History(home, "Duke");
    QCOMPARE(entries.size(), std::size_t(4));
    QCOMPARE(entries[0].Kind, TEntryKind::Saved);
    QCOMPARE(QString::fromStdString(entries[0].Path), home.File("duke.ign"));
    QCOMPARE(entries[1].Kind, TEntryKind::Programmed);
    QCOMPARE(entries[2].Kind, TEntryKind::Read);
  }

  // A damaged library is moved aside with a message; the window goes on with a new one.
  void DamagedLibraryIsMovedAsideWithAMessage() {
    TTestHome home;
    QDir().mkpath(home.File("data/vantel"));
    QFile file(home.File("data/vantel/bikes.sqlite"));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a database at all, a damaged file");
    file.close();
    TWindow w;
    w.Answerer.Answer = QMessageBox::Ok;
    w.Press(QKeySequence(Qt::CTRL | Qt::Key_B));
    QTRY_COMPARE(w.Answerer.Texts.size(), 1);
    QVERIFY2(w.Answerer.Texts[0].startsWith("The bike library was damaged; it was moved aside to " +
                                            home.File("data/vantel/bikes.sqlite.damaged-")),
             qPrintable(w.Answerer.Texts[0]));
    QVERIFY(w.Form->Bikes->Window->ButtonNewBike->isEnabled());
  }
};

QTEST_MAIN(TestBikes)
#include "test_bikes.moc"
