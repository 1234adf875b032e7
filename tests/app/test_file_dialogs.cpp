// The Open and Save dialogs as a person uses them: names typed key by key with the
// completion list up, names without an extension, the "All Files" filter, and the window
// taking keys and clicks again once the dialog has gone.
#include "app/Hlav.h"
#include "files/IgnFile.h"
#include "support/AppSupport.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeView>

namespace {

QByteArray IgnText(std::uint8_t baseAdv) {
  TIgnParams p{};
  p.PocetBodu = 2;
  p.BaseAdv = baseAdv;
  return IgnBytes(p);
}

// The names the list of an open dialog shows now.
QStringList Listed(QFileDialog* dialog) {
  QStringList names;
  auto* view = dialog->findChild<QListView*>("listView");
  if (view == nullptr) return names;
  for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
    names << view->model()->index(row, 0, view->rootIndex()).data().toString();
  return names;
}

bool AnyListUp() {
  for (QWidget* w : QApplication::topLevelWidgets())
    if (w->isVisible() && qobject_cast<QAbstractItemView*>(w) != nullptr) return true;
  return QApplication::activePopupWidget() != nullptr;
}

struct TWindow {
  TTestHome Home;
  TModalAnswerer Answerer{QMessageBox::Yes};
  TFormHlav Form{QStringList{}};
  TWindow() {
    Home.Write("tune", IgnText(21));
    Home.Write("bike.ign", IgnText(22));
    Form.show();
    if (!QTest::qWaitForWindowActive(&Form)) qFatal("the window did not become active");
    Form.EditBaseAdv->setFocus();
  }
};

} // namespace

class TestFileDialogs : public QObject {
  Q_OBJECT

private slots:
  void init() { CurrentLanguage = LangEnglish; }

  void TypedNamesAreTakenAsGivenAndTheWindowGetsItsKeysBack_data() {
    QTest::addColumn<bool>("save");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("file"); // the file opened or written
    QTest::addColumn<int>("baseAdv");  // on screen afterwards
    QTest::newRow("open a name without extension") << false << "tune"
                                                   << "tune" << 21;
    QTest::newRow("open with the extension added") << false << "bike"
                                                   << "bike.ign" << 22;
    QTest::newRow("save over a name without extension") << true << "tune"
                                                        << "tune" << 10;
    QTest::newRow("save a new name like an old one") << true << "bik"
                                                     << "bik.ign" << 10;
    QTest::newRow("save a name with the extension") << true << "bike.ign"
                                                    << "bike.ign" << 10;
  }
  void TypedNamesAreTakenAsGivenAndTheWindowGetsItsKeysBack() {
    QFETCH(bool, save);
    QFETCH(QString, typed);
    QFETCH(QString, file);
    QFETCH(int, baseAdv);
    TWindow w;
    {
      TFileDialogTyper typer({w.Home.File(typed)}, true);
      Press(&w.Form, QKeySequence(save ? Qt::Key_F2 : Qt::Key_F3));
      QCOMPARE(typer.Proposed.size(), 1);
    }
    QCOMPARE(w.Form.LabelFile2->text(), w.Home.File(file));
    QCOMPARE(w.Form.Image.Params.BaseAdv, baseAdv);
    if (save) QVERIFY(FileBytes(w.Home.File(file)).contains("\r\nBASE_ADV       10 "));
    QVERIFY(!QFile::exists(w.Home.File(typed + ".ign")) || file == typed + ".ign");

    // No completion list is left over the window: keys and the first click reach it.
    QTest::qWait(300);
    QVERIFY(!AnyListUp());
    QSignalSpy verify(w.Form.MenuVerify, &QAction::triggered);
    Press(&w.Form, QKeySequence(Qt::Key_F8));
    QCOMPARE(verify.size(), 1);
    QSignalSpy read(w.Form.ButtonRead, &QPushButton::clicked);
    QTest::mouseClick(w.Form.ButtonRead, Qt::LeftButton);
    QCOMPARE(read.size(), 1);
  }

  void AllFilesListsEveryNameAndStaysChosen() {
    TWindow w;
    w.Form.OpenDialog1.Folder = w.Home.Path(); // where the person had gone before
    QStringList listed;
    TFileDialogTyper typer({w.Home.File("tune"), ""});
    typer.Before = [&](QFileDialog* dialog) {
      if (!listed.isEmpty()) {
        listed = QStringList{dialog->selectedNameFilter()};
        return;
      }
      QTRY_VERIFY(Listed(dialog).contains("bike.ign"));
      QVERIFY(!Listed(dialog).contains("tune"));
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      types->setFocus();
      QTest::keyClick(types, Qt::Key_Down);
      QCOMPARE(dialog->selectedNameFilter(), QString("All Files (*.*)"));
      QTRY_VERIFY(Listed(dialog).contains("tune"));
      listed = Listed(dialog);
    };
    Press(&w.Form, QKeySequence(Qt::Key_F3));
    QVERIFY2(listed.contains("bike.ign") && listed.contains("tune"), qPrintable(listed.join(",")));
    QCOMPARE(w.Form.LabelFile2->text(), w.Home.File("tune"));
    // The next Open keeps the filter and proposes the file just opened.
    Press(&w.Form, QKeySequence(Qt::Key_F3));
    QCOMPARE(listed, QStringList{"All Files (*.*)"});
    QCOMPARE(typer.Proposed.value(1), w.Home.File("tune"));
  }

  // Open and Save come up wide enough to read every column of the list and every place in
  // the side bar, in English and in French (the longest names of the four).
  void TheDialogsOpenWideEnoughToReadTheirColumns() {
    for (const TLanguage language : {LangEnglish, LangFrench}) {
      TWindow w;
      (language == LangFrench ? w.Form.MenuFrench : w.Form.MenuEnglish)->trigger();
      w.Home.Write("bike-tune-2024-spring.ign", QByteArray(489, ' '));
      w.Form.OpenDialog1.Folder = w.Home.Path();
      w.Form.SaveDialog1.FileName = w.Home.File("bike.ign");
      QStringList faults;
      int shown = 0;
      TFileDialogTyper cancel({"", ""});
      cancel.Before = [&](QFileDialog* dialog) {
        ++shown;
        QAbstractItemView* list = dialog->findChild<QTreeView*>("treeView");
        auto* sidebar = dialog->findChild<QAbstractItemView*>("sidebar");
        QVERIFY(list != nullptr && sidebar != nullptr);
        QTRY_VERIFY(list->model()->rowCount(list->rootIndex()) >= 2);
        QTest::qWait(50); // the columns follow the listing
        QVERIFY(list->isVisible());
        int total = 0;
        for (int column = 0; column < 4; ++column) {
          const int width = static_cast<QTreeView*>(list)->columnWidth(column);
          total += width;
          if (width < list->sizeHintForColumn(column))
            faults << QString("column %1: %2 < %3")
                          .arg(column)
                          .arg(width)
                          .arg(list->sizeHintForColumn(column));
        }
        if (total > list->viewport()->width())
          faults << QString("columns %1 wider than the list %2")
                        .arg(total)
                        .arg(list->viewport()->width());
        if (sidebar->viewport()->width() < sidebar->sizeHintForColumn(0))
          faults << QString("side bar %1 < %2")
                        .arg(sidebar->viewport()->width())
                        .arg(sidebar->sizeHintForColumn(0));
      };
      Press(&w.Form, QKeySequence(Qt::Key_F3));
      Press(&w.Form, QKeySequence(Qt::Key_F2));
      QCOMPARE(shown, 2);
      QVERIFY2(faults.isEmpty(), qPrintable(faults.join("; ")));
    }
  }
};

QTEST_MAIN(TestFileDialogs)
#include "test_file_dialogs.moc"
