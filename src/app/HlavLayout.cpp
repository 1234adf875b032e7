// The window's controls at their design positions in the 826 x 712 client area, with
// their names and English design texts, and the wiring of every handler.
#include "app/Hlav.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "app/PathLabel.h"
#include "app/RadioGroup.h"
#include "app/UpDown.h"
#include "model/Conversions.h"
#include "model/Keying.h"
#include "app/Pictures.h"

namespace {

// The right-hand column is 320 wide, not 258: the longest item of ComboBoxPocPalcu
// ("1 Zündung pro 2 Umdrehungen (Nockenwelle)") must be readable when the list is closed.
constexpr int RightColumn = 562;
constexpr int RightWidth = 320;
constexpr int ClientWidth = RightColumn + RightWidth + 6;
constexpr int ClientHeight = 712;
constexpr int MinimumWidth = 320, MinimumHeight = 240;
constexpr int RowLabelWidth = 222; // captions left of the edits in the right column
constexpr int RowEditX = 8 + RowLabelWidth + 4;
constexpr int EditHeight = 22;
constexpr const char* AutoSizeProperty = "vantelAutoSize";

template <typename T> T* Named(T* widget, const char* name) {
  widget->setObjectName(name);
  return widget;
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& text, int x, int y, int w = 0) {
  auto* label = Named(new QLabel(text, parent), name);
  label->move(x, y);
  if (w > 0) {
    label->resize(w, 18);
  } else {
    // Sized to its text, again after every language change.
    label->setProperty(AutoSizeProperty, true);
    label->adjustSize();
  }
  return label;
}

QLineEdit* MakeEdit(QWidget* parent, const QString& name, int x, int y, int w) {
  auto* edit = new QLineEdit(parent);
  edit->setObjectName(name);
  edit->setGeometry(x, y, w, EditHeight);
  edit->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  return edit;
}

TUpDown* MakeUpDown(QWidget* parent, const QString& name, QLineEdit* edit, const TSpinRange& r) {
  auto* upDown = new TUpDown(parent, edit, r.Min, r.Max, r.Step);
  upDown->setObjectName(name);
  return upDown;
}

} // namespace

void TFormHlav::BuildControls() {
  setObjectName("TFormHlav");
  setWindowTitle("Programming of VANTEL-9 unit");
  // The program's icon for this window, the about window and the boxes. Decoding it loads the
  // toolkit's image plugins; that waits until the window is up.
  QTimer::singleShot(0, this, [] { QApplication::setWindowIcon(ProgramIcon()); });
  // The client area keeps its design size and scrolls when the window is smaller, as it is
  // on a 1366 x 768 laptop screen.
  ClientArea = Named(new QWidget, "ClientArea");
  ClientArea->setMinimumSize(ClientWidth, ClientHeight);
  ClientArea->setAutoFillBackground(true);
  ClientScroll = Named(new QScrollArea(this), "ClientScroll");
  ClientScroll->setFrameShape(QFrame::NoFrame);
  ClientScroll->setWidgetResizable(true);
  ClientScroll->setWidget(ClientArea);
  setCentralWidget(ClientScroll);
  setMinimumSize(MinimumWidth, MinimumHeight);
  QWidget* c = ClientArea;

  BuildMenus();

  // Tool bar.
  GroupBoxToolBar = Named(new QGroupBox(c), "GroupBoxToolBar");
  GroupBoxToolBar->setGeometry(4, 0, 437, 43);
  auto tool = [&](const char* name, const QIcon& icon, int x) {
    auto* b = Named(new QToolButton(GroupBoxToolBar), name);
    b->setIcon(icon);
    b->setGeometry(x, 10, 26, 28);
    b->setAutoRaise(true);
    return b;
  };
  SpeedButton5 = tool("SpeedButton5", ToolIcon(TToolIcon::Open), 4);
  SpeedButton6 = tool("SpeedButton6", ToolIcon(TToolIcon::New), 30);
  SpeedButton7 = tool("SpeedButton7", ToolIcon(TToolIcon::Save), 56);
  SpeedButtonPrint = tool("SpeedButtonPrint", ToolIcon(TToolIcon::Print), 82);
  SpeedButtonZpet = tool("SpeedButtonZpet", ToolIcon(TToolIcon::Undo), 112);
  SpeedButtonZnovu = tool("SpeedButtonZnovu", ToolIcon(TToolIcon::Redo), 138);
  auto button = [&](const char* name, const QString& text, int x) {
    auto* b = Named(new QPushButton(text, GroupBoxToolBar), name);
    b->setGeometry(x, 11, 88, 26);
    QFont font = b->font(); // the longest captions ("&Programmieren") must fit
    font.setPointSizeF(font.pointSizeF() * 0.9);
    b->setFont(font);
    return b;
  };
  ButtonRead = button("ButtonRead", "&Read", 168);
  ButtonVerify = button("ButtonVerify", "&Verify", 257);
  ButtonProgram = button("ButtonProgram", "&Programing", 346);

  LabelSpojeni = MakeLabel(c, "LabelSpojeni", "No connection with PC", 445, 9);
  {
    QFont f = LabelSpojeni->font();
    f.setBold(true);
    f.setPixelSize(20);
    LabelSpojeni->setFont(f);
    LabelSpojeni->adjustSize();
    SetColour(LabelSpojeni, TColour::Red);
  }

  // Curve group.
  GroupBox6 = Named(new QGroupBox(c), "GroupBox6");
  GroupBox6->setGeometry(4, 48, 333, 409);
  LabelRpm1 = MakeLabel(GroupBox6, "LabelRpm1", "RPM", 24, 30);
  LabelAdvance1 = MakeLabel(GroupBox6, "LabelAdvance1", "Advance [°]", 94, 30);
  LabelRpm2 = MakeLabel(GroupBox6, "LabelRpm2", "RPM", 183, 28);
  LabelAdvance2 = MakeLabel(GroupBox6, "LabelAdvance2", "Advance [°]", 249, 28);
  for (QLabel* head : {LabelRpm1, LabelAdvance1, LabelRpm2, LabelAdvance2}) {
    QFont font = head->font(); // column heads of the longest language stay apart
    font.setPointSizeF(font.pointSizeF() * 0.85);
    head->setFont(font);
    head->adjustSize();
  }
  BuildEditArrays();
  BuildUpDownArrays();
  BitBtnAdvMinus = Named(new QPushButton("-1°", GroupBox6), "BitBtnAdvMinus");
  BitBtnAdvMinus->setGeometry(179, 232, 60, 26);
  BitBtnAdvPlus = Named(new QPushButton("+1°", GroupBox6), "BitBtnAdvPlus");
  BitBtnAdvPlus->setGeometry(258, 232, 60, 26);
  CheckBoxIgnAll = Named(new QCheckBox("All", GroupBox6), "CheckBoxIgnAll");
  CheckBoxIgnAll->setGeometry(179, 264, 140, 20);
  LabelPocetBodu = MakeLabel(GroupBox6, "LabelPocetBodu", "Number of items", 179, 292, 150);
  EditPocetBodu = MakeEdit(GroupBox6, "EditPocetBodu", 179, 310, 40);
  UpDownPocetBodu = MakeUpDown(GroupBox6, "UpDownPocetBodu", EditPocetBodu, RangePocetBodu);
  LabelBaseAdv = MakeLabel(GroupBox6, "LabelBaseAdv", "Base advance [°]", 179, 342, 150);
  EditBaseAdv = MakeEdit(GroupBox6, "EditBaseAdv", 179, 360, 40);
  UpDownBaseAdv = MakeUpDown(GroupBox6, "UpDownBaseAdv", EditBaseAdv, RangeBaseAdv);

  // Polarity and the two input modes.
  RadioGroupPolarita =
      new TRadioGroup(c, "RadioGroupPolarita",
                      "Polarity of CPS:", {"Positive", "Negative", "Selfsearch"}, 340, 48, 218);
  RadioGroupInput1 = new TRadioGroup(
      c, "RadioGroupInput1", "Input 1",
      {"Off", "Kill switch", "Clutch master", "Retard", "Start Limiter"}, 340, 140, 218);
  RadioGroupInput2 = new TRadioGroup(
      c, "RadioGroupInput2", "Input 2",
      {"Off", "Blocking", "Clutch master", "Retard", "Start Limiter"}, 340, 283, 218);

  // Tachometer output.
  GroupBoxRpm = Named(new QGroupBox("Tachometer output", c), "GroupBoxRpm");
  GroupBoxRpm->setGeometry(340, 424, 218, 84);
  LabelRpmPulsu = MakeLabel(GroupBoxRpm, "LabelRpmPulsu", "Pulses per revolution", 8, 24, 140);
  EditRpmPulsu = MakeEdit(GroupBoxRpm, "EditRpmPulsu", 150, 20, 40);
  UpDownRpmPulsu = MakeUpDown(GroupBoxRpm, "UpDownRpmPulsu", EditRpmPulsu, RangeRpmPulsu);
  LabelRpmKorekce = MakeLabel(GroupBoxRpm, "LabelRpmKorekce", "Correction [%]", 8, 54, 140);
  EditRpmKorekce = MakeEdit(GroupBoxRpm, "EditRpmKorekce", 150, 50, 40);
  UpDownRpmKorekce = MakeUpDown(GroupBoxRpm, "UpDownRpmKorekce", EditRpmKorekce, RangeRpmKorekce);

  // Live inputs.
  GroupBoxMonInput = Named(new QGroupBox("Input to ground", c), "GroupBoxMonInput");
  GroupBoxMonInput->setGeometry(340, 512, 218, 62);
  LabelMonInput1In = MakeLabel(GroupBoxMonInput, "LabelMonInput1In", "Input 1: ---", 8, 18, 200);
  LabelMonInput2In = MakeLabel(GroupBoxMonInput, "LabelMonInput2In", "Input 2: ---", 8, 38, 200);

  // Settings group.
  GroupBox2 = Named(new QGroupBox(c), "GroupBox2");
  GroupBox2->setGeometry(RightColumn, 48, RightWidth, 273);
  ComboBoxBike = Named(new QComboBox(GroupBox2), "ComboBoxBike");
  ComboBoxBike->setGeometry(8, 16, RightWidth - 16, 24);
  for (const char* item : BikeItemTexts) ComboBoxBike->addItem(QString::fromUtf8(item));
  ComboBoxPocPalcu = Named(new QComboBox(GroupBox2), "ComboBoxPocPalcu");
  ComboBoxPocPalcu->setGeometry(8, 46, RightWidth - 16, 24);
  ComboBoxPocPalcu->addItems({"1 ignition per revolution", "2 ignitions per revolution",
                              "3 ignitions per revolution",
                              "1 ignition per 2 revolutions (camshaft)"});
  auto row = [&](const char* labelName, const char* text, const char* editName,
                 const char* upDownName, const TSpinRange& range, int y, QLabel*& label,
                 QLineEdit*& edit, TUpDown*& upDown) {
    label = MakeLabel(GroupBox2, labelName, text, 8, y + 3, RowLabelWidth);
    edit = MakeEdit(GroupBox2, editName, RowEditX, y, 60);
    upDown = MakeUpDown(GroupBox2, upDownName, edit, range);
  };
  row("LabelOmez1", "Start limiter [rpm]", "EditOmez1", "UpDownOmez1", RangeOmez1, 80, LabelOmez1,
      EditOmez1, UpDownOmez1);
  row("LabelOmez2", "Limiter [rpm]", "EditOmez2", "UpDownOmez2", RangeOmez2, 108, LabelOmez2,
      EditOmez2, UpDownOmez2);
  row("LabelRetard", "Retard [°]", "EditRetard", "UpDownRetard", RangeRetard, 136, LabelRetard,
      EditRetard, UpDownRetard);
  row("LabelClutch1", "Clutch master time [ms]", "EditClutch1", "UpDownClutch1", RangeClutch1, 164,
      LabelClutch1, EditClutch1, UpDownClutch1);
  row("LabelClutch2", "Clutch master pause [ms]", "EditClutch2", "UpDownClutch2", RangeClutch2, 192,
      LabelClutch2, EditClutch2, UpDownClutch2);
  CheckBoxProgHned =
      Named(new QCheckBox("Programming after change", GroupBox2), "CheckBoxProgHned");
  CheckBoxProgHned->setGeometry(8, 236, RightWidth - 16, 24);

  // Pilot light.
  GroupBox1 = Named(new QGroupBox(c), "GroupBox1");
  GroupBox1->setGeometry(RightColumn, 322, RightWidth, 68);
  // Two lines for the longest caption ("Témoin de changement de rapport [rpm]").
  LabelLedRazeni =
      MakeLabel(GroupBox1, "LabelLedRazeni", "Gear shift light [rpm]", 8, 6, RowLabelWidth);
  LabelLedRazeni->setWordWrap(true);
  LabelLedRazeni->setFixedHeight(35);
  EditLedRazeni = MakeEdit(GroupBox1, "EditLedRazeni", RowEditX, 14, 60);
  UpDownLedRazeni = MakeUpDown(GroupBox1, "UpDownLedRazeni", EditLedRazeni, RangeLedRazeni);
  CheckBoxRevOutLedRazeni =
      Named(new QCheckBox("Reverse otput polarity", GroupBox1), "CheckBoxRevOutLedRazeni");
  CheckBoxRevOutLedRazeni->setGeometry(8, 42, RightWidth - 16, 22);

  // Live monitor column.
  int y = 393;
  LabelRpm = MakeLabel(c, "LabelRpm", "RPM = 0 ", 570, y, RightWidth - 8);
  y += 20;
  CGaugeRpm = Named(new QProgressBar(c), "CGaugeRpm");
  CGaugeRpm->setGeometry(570, y, RightWidth - 12, 14);
  CGaugeRpm->setRange(0, 100);
  CGaugeRpm->setValue(0);
  CGaugeRpm->setTextVisible(false);
  y += 18;
  for (auto [label, name, text] :
       {std::tuple{&LabelMon_Advance, "LabelMon_Advance", "Advance= --- [°]"},
        std::tuple{&LabelSnimac, "LabelSnimac", "Pick-up (CPS): ---"},
        std::tuple{&LabelNapeti, "LabelNapeti", "U = --- [V]"},
        std::tuple{&LabelKillSwitch, "LabelKillSwitch", "Kill switch - ---"},
        std::tuple{&LabelBlocking, "LabelBlocking", "Motor off: ---"},
        std::tuple{&LabelMonRetard, "LabelMonRetard", "Retard: ---"},
        std::tuple{&LabelMonStartLimiterOut, "LabelMonStartLimiterOut", "Start limiter: ---"},
        std::tuple{&LabelMonHardLimiter, "LabelMonHardLimiter", "Limiter: ---"},
        std::tuple{&LabelMonLedRazeni, "LabelMonLedRazeni", "Gear shift light: ---"},
        std::tuple{&LabelClutchMon, "LabelClutchMon", "Clutch master: ---"},
        std::tuple{&LabelPolaritaMer, "LabelPolaritaMer", "Polarity of CKPS: ---"}}) {
    *label = MakeLabel(c, name, QString::fromUtf8(text), 570, y, RightWidth - 8);
    y += 21;
  }

  // Status area.
  LabelHlaseni = MakeLabel(c, "LabelHlaseni", "", 9, 462, 320);
  CGaugeProgram = Named(new QProgressBar(c), "CGaugeProgram");
  CGaugeProgram->setGeometry(8, 485, 321, 18);
  CGaugeProgram->setRange(0, GaugeMax);
  CGaugeProgram->setValue(0);
  CGaugeProgram->setFormat("%p%");

  // Unit and file area.
  LabelVerze1 = MakeLabel(c, "LabelVerze1", "", 13, 512, 110);
  LabelVerze2 = MakeLabel(c, "LabelVerze2", "", 128, 512, 90);
  LabelVerze3 = MakeLabel(c, "LabelVerze3", "", 222, 512, 60);
  LabelPocetProgramovani =
      MakeLabel(c, "LabelPocetProgramovani", "Number of Programing=  ---", 13, 534, 320);
  LabelFile1 = MakeLabel(c, "LabelFile1", "File:", 13, 556);
  LabelFile2 = Named(new TPathLabel("----------", c), "LabelFile2");
  LabelFile2->setGeometry(78, 556, 258, 18);
  // The whole row below the live inputs: the version numbers at its end must show.
  LabelVersion = MakeLabel(c, "LabelVersion", "", 13, 578, 545);
  SetColour(LabelVersion, TColour::Yellow);
  LabelEeDataErr = MakeLabel(c, "LabelEeDataErr", "Programmed data error", 13, 600, 230);
  SetColour(LabelEeDataErr, TColour::Red);
  ImageLogo = Named(new QLabel(c), "ImageLogo");
  ImageLogo->setGeometry(250, 600, 311, 50);

  // Test labels below the client area, shown only on a diagnostic workstation.
  for (int i = 0; i < 8; ++i) {
    LabelTests[i] = MakeLabel(c, "", QString("Test%1 = ---").arg(i + 1), 8 + (i % 4) * 204,
                              i < 4 ? 709 : 736, 200);
    LabelTests[i]->setObjectName(QString("LabelTest%1").arg(i + 1));
    LabelTests[i]->hide();
  }

  StatusBar1 = Named(new QStatusBar(this), "StatusBar1");
  setStatusBar(StatusBar1);

  ChangeWaitsForNextPath = {UpDownClutch1, UpDownClutch2, UpDownLedRazeni,
                            EditClutch1,   EditClutch2,   EditLedRazeni};

  resize(DesignSize());
  LoadLogo();
}

QSize TFormHlav::DesignSize() const {
  return {ClientArea->minimumWidth(), ClientArea->minimumHeight() + MainMenu1->sizeHint().height() +
                                          StatusBar1->sizeHint().height()};
}

// Curve group: points 1..10 in the left pair, 11..15 in the right pair.
void TFormHlav::BuildEditArrays() {
  for (int i = 0; i < CurvePoints; ++i) {
    const bool left = i < 10;
    const int row = left ? i : i - 10;
    const int y = (left ? 49 : 47) + (row * 71) / 2;
    RpmEdits[i] = MakeEdit(GroupBox6, QString("EditRpmAdv%1").arg(i + 1), left ? 20 : 179, y, 56);
    AdvanceEdits[i] =
        MakeEdit(GroupBox6, QString("EditAdvance%1").arg(i + 1), left ? 99 : 258, y, 40);
  }
}

void TFormHlav::BuildUpDownArrays() {
  for (int i = 0; i < CurvePoints; ++i) {
    RpmUpDowns[i] =
        MakeUpDown(GroupBox6, QString("UpDownRpmAdv%1").arg(i + 1), RpmEdits[i], RangeRpmAdv);
    AdvanceUpDowns[i] =
        MakeUpDown(GroupBox6, QString("UpDownAdvance%1").arg(i + 1), AdvanceEdits[i], RangeAdvance);
  }
}

void TFormHlav::BuildMenus() {
  // The menu bar is part of the window, as designed; a desktop's global menu would take it
  // out, and probing for one over D-Bus costs every start.
  QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
  MainMenu1 = Named(menuBar(), "MainMenu1");
  auto menu = [&](const char* name, const QString& title) {
    auto* m = Named(MainMenu1->addMenu(title), name);
    return m;
  };
  auto item = [&](QMenu* m, const char* name, const QString& text, const QKeySequence& key) {
    QAction* a = m->addAction(text);
    a->setObjectName(name);
    if (!key.isEmpty()) a->setShortcut(key);
    return a;
  };
  MenuFile = menu("MenuFile", "&File");
  MenuNew = item(MenuFile, "MenuNew", "&New", QKeySequence("Ctrl+N"));
  MenuFile->addSeparator();
  MenuOpen = item(MenuFile, "MenuOpen", "&Open", QKeySequence(Qt::Key_F3));
  MenuFile->addSeparator();
  MenuSave = item(MenuFile, "MenuSave", "&Save", QKeySequence(Qt::Key_F2));
  MenuFile->addSeparator();
  MenuPrint = item(MenuFile, "MenuPrint", "&Print", QKeySequence("Ctrl+P"));
  MenuFile->addSeparator();
  MenuExit = item(MenuFile, "MenuExit", "E&xit", QKeySequence());
  MenuFile->addSeparator();
  MenuTuneSheet = item(MenuFile, "MenuTuneSheet", "&Tune sheet...", QKeySequence("Ctrl+Shift+P"));

  MenuCom = menu("MenuCom", "&Com");
  for (int n = 1; n <= 10; ++n) {
    const QString caption = n < 10 ? QString("Com &%1").arg(n) : QString("Com 1&0");
    QAction* a = MenuCom->addAction(caption);
    a->setObjectName(QString("MenuCom%1").arg(n));
    a->setCheckable(true);
    MenuComItems[n - 1] = a;
  }
  MenuCom->addSeparator();
  MenuPorts = item(MenuCom, "MenuPorts", "&Ports...", QKeySequence());

  MenuDevice = menu("MenuDevice", "&Ignition");
  MenuRead = item(MenuDevice, "MenuRead", "&Read", QKeySequence(Qt::Key_F7));
  MenuVerify = item(MenuDevice, "MenuVerify", "&Verify", QKeySequence(Qt::Key_F8));
  MenuProgram = item(MenuDevice, "MenuProgram", "&Programing", QKeySequence(Qt::Key_F9));

  MenuTools = menu("MenuTools", "&Tools");
  MenuAdvanceMinus = item(MenuTools, "MenuAdvanceMinus", "Advance -", QKeySequence(Qt::Key_F4));
  MenuAdvancePlus = item(MenuTools, "MenuAdvancePlus", "Advance +", QKeySequence(Qt::Key_F5));
  MenuZpet = item(MenuTools, "MenuZpet", "Undo", QKeySequence("Ctrl+Z"));
  MenuZnovu = item(MenuTools, "MenuZnovu", "Redo", QKeySequence("Ctrl+Alt+Z"));
  MenuCurve = item(MenuTools, "MenuCurve", "Curve &graph", QKeySequence(Qt::Key_F6));
  MenuRecord = item(MenuTools, "MenuRecord", "&Record live values...", QKeySequence());
  MenuRecord->setCheckable(true);
  BuildRestoreMenuItems();

  MenuLanguage = menu("MenuLanguage", "&Language");
  MenuEnglish = item(MenuLanguage, "MenuEnglish", "&English", QKeySequence());
  MenuGerman = item(MenuLanguage, "MenuGerman", "&German", QKeySequence());
  MenuFrench = item(MenuLanguage, "MenuFrench", "&French", QKeySequence());
  MenuCzech = item(MenuLanguage, "MenuCzech", "&Czech", QKeySequence());
  for (QAction* a : {MenuEnglish, MenuGerman, MenuFrench, MenuCzech}) a->setCheckable(true);

  MenuHelp = menu("MenuHelp", "&Help");
  MenuContens = item(MenuHelp, "MenuContens", "&Contents...", QKeySequence(Qt::Key_F1));
  MenuAbout = item(MenuHelp, "MenuAbout", "&About...", QKeySequence());
}

void TFormHlav::WireHandlers() {
  auto both = [&](QAction* action, QAbstractButton* button, void (TFormHlav::*handler)()) {
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    if (button != nullptr)
      connect(button, &QAbstractButton::clicked, this, [this, handler] { (this->*handler)(); });
  };
  both(MenuNew, SpeedButton6, &TFormHlav::MenuNewClick);
  both(MenuOpen, SpeedButton5, &TFormHlav::MenuOpenClick);
  both(MenuSave, SpeedButton7, &TFormHlav::MenuSaveClick);
  both(MenuPrint, SpeedButtonPrint, &TFormHlav::SpeedButtonPrintClick);
  both(MenuExit, nullptr, &TFormHlav::MenuExitClick);
  both(MenuRead, ButtonRead, &TFormHlav::MenuReadClick);
  both(MenuVerify, ButtonVerify, &TFormHlav::MenuVerifyClick);
  both(MenuProgram, ButtonProgram, &TFormHlav::MenuProgramClick);
  both(MenuAdvanceMinus, BitBtnAdvMinus, &TFormHlav::BitBtnAdvMinusClick);
  both(MenuAdvancePlus, BitBtnAdvPlus, &TFormHlav::BitBtnAdvPlusClick);
  both(MenuZpet, SpeedButtonZpet, &TFormHlav::SpeedButtonZpetClick);
  both(MenuZnovu, SpeedButtonZnovu, &TFormHlav::SpeedButtonZnovuClick);
  both(MenuTuneSheet, nullptr, &TFormHlav::MenuTuneSheetClick);
  both(MenuCurve, nullptr, &TFormHlav::MenuCurveClick);
  both(MenuRecord, nullptr, &TFormHlav::MenuRecordClick);
  both(MenuEnglish, nullptr, &TFormHlav::MenuEnglishClick);
  both(MenuGerman, nullptr, &TFormHlav::MenuGermanClick);
  both(MenuFrench, nullptr, &TFormHlav::MenuFrenchClick);
  both(MenuCzech, nullptr, &TFormHlav::MenuCzechClick);
  both(MenuContens, nullptr, &TFormHlav::MenuContensClick);
  both(MenuAbout, nullptr, &TFormHlav::MenuAboutClick);
  both(MenuPorts, nullptr, &TFormHlav::MenuPortsClick);
  connect(MenuCom, &QMenu::aboutToShow, this, &TFormHlav::MenuComPopup);
  for (int n = 1; n <= 10; ++n)
    connect(MenuComItems[n - 1], &QAction::triggered, this, [this, n] { MenuCom1Click(n); });

  for (TUpDown* upDown : ClientArea->findChildren<TUpDown*>())
    if (!ChangeWaitsForNextPath.contains(upDown))
      connect(upDown, &TUpDown::Clicked, this, &TFormHlav::UpDownClick);
  connect(ComboBoxBike, &QComboBox::activated, this, [this] { EditExit(); });
  connect(ComboBoxPocPalcu, &QComboBox::activated, this, [this] { EditExit(); });
  connect(CheckBoxProgHned, &QCheckBox::clicked, this, &TFormHlav::CheckBoxProgHnedMouseUp);
  connect(CheckBoxRevOutLedRazeni, &QCheckBox::clicked, this, &TFormHlav::CheckBoxProgHnedMouseUp);
  connect(RadioGroupPolarita, &TRadioGroup::Clicked, this, &TFormHlav::RadioGroupPolaritaClick);
  connect(RadioGroupInput1, &TRadioGroup::Clicked, this, &TFormHlav::RadioGroupInput1Click);
  connect(RadioGroupInput2, &TRadioGroup::Clicked, this, &TFormHlav::RadioGroupInput2Click);

  // Enter and leaving an edit reach the change path through the event filter.
  for (QWidget* w : ClientArea->findChildren<QWidget*>())
    if (w->focusPolicy() != Qt::NoFocus) w->installEventFilter(this);
}

bool TFormHlav::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::ShortcutOverride) {
    // An edit claims Ctrl+Z for its own text undo; the window's menu keys come first.
    const QKeySequence pressed(static_cast<QKeyEvent*>(event)->keyCombination());
    for (QAction* action : MainMenu1->findChildren<QAction*>())
      if (action->isEnabled() && action->shortcut() == pressed) {
        event->ignore();
        return true;
      }
  } else if (event->type() == QEvent::FocusIn) {
    // Tab and Enter may move the focus to a control scrolled out of a small window.
    if (auto* widget = qobject_cast<QWidget*>(watched))
      ClientScroll->ensureWidgetVisible(widget, 8, 8);
  } else if (event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (FormKeyPress(watched, key)) return true;
  } else if (event->type() == QEvent::FocusOut) {
    const auto reason = static_cast<QFocusEvent*>(event)->reason();
    auto* edit = qobject_cast<QLineEdit*>(watched);
    // Leaving an edit for another control of the window, not for a menu or another window,
    // and not a move of the focus that a refresh made.
    if (edit != nullptr && Refreshing == 0 && reason != Qt::ActiveWindowFocusReason &&
        reason != Qt::PopupFocusReason && reason != Qt::MenuBarFocusReason &&
        !ChangeWaitsForNextPath.contains(edit))
      EditExit();
  }
  return QMainWindow::eventFilter(watched, event);
}
