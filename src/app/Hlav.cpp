#include "app/Hlav.h"
#include "app/HlavBikes.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTimer>

#include "files/Profile.h"
#include "model/SettingsDir.h"
#include "i18n/Language.h"
#include "model/Defaults.h"
#include "model/Normalise.h"
#include "app/FormCurve.h"
#include "app/FormDiff.h"
#include "app/FormPorts.h"
#include "app/FormRestorePoints.h"

TFormHlav::TFormHlav(const QStringList& arguments, QWidget* parent)
    : QMainWindow(parent), Arguments(arguments) {
  BuildControls();
  // Armed from construction: a tick may run while FormCreate waits on a message box.
  // Queued, so that a modal box opened inside a tick does not stop the ticks.
  Timer1 = new QTimer(this);
  Timer1->setObjectName("Timer1");
  Timer1->setTimerType(Qt::PreciseTimer);
  Timer1->setInterval(TickMs);
  connect(Timer1, &QTimer::timeout, this, &TFormHlav::Timer1Timer, Qt::QueuedConnection);
  Timer1->start();

  IniFileName = "vantel.ini";
  const QString dir = QString::fromStdString(SettingsDirectory());
  StateFilePath = dir + "/_" + IniFileName;
  IniFile = std::make_unique<TProfileFile>((dir + "/" + IniFileName).toStdString());

  WireHandlers();
  FormCreate();
}

TFormHlav::~TFormHlav() {
  Timer1->stop();
  // The tool windows go first, while what they reach of this window still exists.
  Closed = true;
  for (QWidget* tool :
       std::initializer_list<QWidget*>{FormCurve, FormRestorePoints, FormDiff, FormPorts})
    delete tool;
  FormCurve = nullptr, FormRestorePoints = nullptr, FormDiff = nullptr, FormPorts = nullptr;
}

void TFormHlav::FormCreate() {
  // The control arrays are filled as the controls are built (BuildEditArrays).
  // ApplicationHint is reached through event(): every status tip of the window.
  ComPort = 1;
  Image.Params.Bike = 0;
  LoadDefaultParams(Image.Params);
  CentreWindow();
  LoadSettings();
  if (!Arguments.isEmpty()) LanguageFromArgument(Arguments.first().toStdString(), CurrentLanguage);
  NormaliseParams();
  BuildMessageCatalogue();
  ParamsToScreen();
  InitHistory();
  OpenComPort();
  SetComMenuChecks();
  ParamsToScreen();
  LabelHlaseni->hide();
  CGaugeProgram->hide();
  LabelEeDataErr->hide();
  LabelVersion->hide();
  ReadTestMarker();
  for (QLabel* label : LabelTests) label->setVisible(TestDisplayEnabled);
  if (TestDisplayEnabled) ClientArea->setMinimumHeight(ClientArea->minimumHeight() + 50);
  ApplyControlRules();
}

void TFormHlav::FormClose() {
  if (Closed) return;
  Closed = true;
  CloseComPort();
  ScreenToParams();
  NormaliseParams();
  CloseCurveWindow();
  KeepToolPlaces();
  SaveSettings();
}

void TFormHlav::closeEvent(QCloseEvent* event) {
  FormClose();
  event->accept();
}

void TFormHlav::NormaliseParams() {
  ::NormaliseParams(Image.Params, CurrentLanguage, ComPort);
}

void TFormHlav::Timer1Timer() {
  if (Closed) return;
  ComReopen.Tick();
  const TTransferMode mode = Link.TransferMode;
  Link.Timer1Timer();
  if (mode != tmIdle && Link.TransferMode == tmIdle) PassEnded(mode);
  CurveTick();
}

bool TFormHlav::event(QEvent* event) {
  if (event->type() == QEvent::StatusTip) {
    ApplicationHint(static_cast<QStatusTipEvent*>(event)->tip());
    return true;
  }
  return QMainWindow::event(event);
}

void TFormHlav::ApplicationHint(const QString& hint) {
  StatusBar1->showMessage(hint);
}

int TFormHlav::ShowMessageBox(const QString& text, int buttons) {
  QMessageBox box(QMessageBox::NoIcon, windowTitle(), text,
                  static_cast<QMessageBox::StandardButtons>(buttons), this);
  return box.exec();
}

TRgb RgbOf(const QColor& colour) {
  return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
          static_cast<std::uint8_t>(colour.blue())};
}

QColor ReadableTextColour(const QColor& background) {
  const TRgb text = ReadableTextOn(RgbOf(background));
  return {text.R, text.G, text.B};
}

void TFormHlav::SetColour(QWidget* widget, TColour colour) {
  QColor c;
  switch (colour) {
  case TColour::ButtonFace:
    c = QApplication::palette().color(QPalette::Window);
    break;
  case TColour::Red:
    c = QColor(255, 0, 0);
    break;
  case TColour::Yellow:
    c = QColor(255, 255, 0);
    break;
  case TColour::Fuchsia:
    c = QColor(255, 0, 255);
    break;
  case TColour::Aqua:
    c = QColor(0, 255, 255);
    break;
  case TColour::Lime:
    c = QColor(0, 255, 0);
    break;
  case TColour::White:
    c = QColor(255, 255, 255);
    break;
  }
  const QPalette::ColorRole role = widget->backgroundRole();
  const QPalette::ColorRole textRole = widget->foregroundRole();
  // On a state colour the text is black or white, whichever reads better, whatever the
  // desktop's theme; on the normal background it is the theme's own text colour.
  const QColor text = colour == TColour::ButtonFace
                          ? QApplication::palette().color(QPalette::Active, textRole)
                          : ReadableTextColour(c);
  QPalette palette = widget->palette();
  if (palette.color(QPalette::Active, role) == c &&
      palette.color(QPalette::Active, textRole) == text && widget->autoFillBackground())
    return;
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    palette.setColor(group, role, c);
    palette.setColor(group, textRole, text);
  }
  // A greyed control shows no state colour: grey text on a state colour is unreadable, and
  // the state it would show is not in use.
  palette.setColor(QPalette::Disabled, role,
                   QApplication::palette().color(QPalette::Disabled, role));
  palette.setColor(QPalette::Disabled, textRole,
                   QApplication::palette().color(QPalette::Disabled, textRole));
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

// ---- TLinkHost ----

void TFormHlav::SetStatusText(const std::string& text) {
  LabelHlaseni->setText(QString::fromStdString(text));
}
void TFormHlav::SetStatusColour(TColour colour) {
  SetColour(LabelHlaseni, colour);
}
void TFormHlav::SetStatusVisible(bool visible) {
  LabelHlaseni->setVisible(visible);
}
void TFormHlav::SetGaugeProgress(int progress) {
  CGaugeProgram->setValue(progress);
}
void TFormHlav::SetGaugeVisible(bool visible) {
  CGaugeProgram->setVisible(visible);
}
void TFormHlav::SetConnectionVisible(bool visible) {
  LabelSpojeni->setVisible(visible);
}
void TFormHlav::HideVersionLabel() {
  LabelVersion->hide();
}
void TFormHlav::DecodeUnitIdentity() {
  ::DecodeUnitIdentity(Image, Identity);
}
void TFormHlav::ShowModalMessage(const std::string& text) {
  ShowMessageBox(QString::fromStdString(text));
}
