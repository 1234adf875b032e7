// The serial port, the live monitor and the block transfer commands: the window side.
#include "app/Hlav.h"

#include <QAction>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>

#include "link/PortName.h"
#include "link/TestMarker.h"

void TFormHlav::OpenComPort() {
  if (ComPort >= 1 && ComPort <= 10) {
    const std::string device = PortDeviceName(ComPort);
    TFailureReport error;
    if (!ComHandle.Open(device, error)) {
      // The given text first; then which device and why, so the user can act on it.
      ShowMessageBox(QString::fromStdString(Msg.MsgComOpenError) + "\n\n" +
                     QString::fromStdString(DescribeFailure(error, CurrentLanguage)));
    }
  }
  Link.SetPort(&ComHandle);
}

void TFormHlav::CloseComPort() {
  ComReopen.Forget();
  if (ComHandle.IsOpen()) ComHandle.Close();
}

void TFormHlav::SetComMenuChecks() {
  for (int n = 1; n <= 10; ++n) MenuComItems[n - 1]->setChecked(ComPort == n);
}

void TFormHlav::MenuCom1Click(int number) {
  ComPort = static_cast<std::uint8_t>(number);
  SetComMenuChecks();
  CloseComPort();
  OpenComPort();
}

void TFormHlav::ReadTestMarker() {
  TestDisplayEnabled = ::ReadTestMarker(TestMarkerPath());
}

void TFormHlav::ShowMonitorFrame(const TMonitorView& view) {
  LabelRpm->setText(QString::fromStdString(view.LabelRpm));
  CGaugeRpm->setValue(view.GaugeRpm);
  const std::pair<QLabel*, const TLabelView*> labels[] = {
      {LabelMon_Advance, &view.MonAdvance},
      {LabelNapeti, &view.Napeti},
      {LabelMonStartLimiterOut, &view.MonStartLimiterOut},
      {LabelMonHardLimiter, &view.MonHardLimiter},
      {LabelMonLedRazeni, &view.MonLedRazeni},
      {LabelClutchMon, &view.ClutchMon},
      {LabelMonRetard, &view.MonRetard},
      {LabelBlocking, &view.Blocking},
      {LabelKillSwitch, &view.KillSwitch},
      {LabelMonInput1In, &view.MonInput1In},
      {LabelMonInput2In, &view.MonInput2In},
      {LabelSnimac, &view.Snimac},
      {LabelPolaritaMer, &view.PolaritaMer},
  };
  for (const auto& [label, value] : labels) {
    label->setText(QString::fromStdString(value->Text));
    SetColour(label, value->Colour);
  }
  if (view.VersionVisible) {
    LabelVersion->setText(QString::fromStdString(view.VersionText));
    LabelVersion->show();
  } else {
    LabelVersion->hide();
  }
  LabelEeDataErr->setVisible(view.EeDataErrVisible);
  LabelPocetProgramovani->setText(QString::fromStdString(view.PocetProgramovani));
  for (int i = 0; i < 8; ++i) LabelTests[i]->setText(QString::fromStdString(view.Test[i]));
  CurveMonitorFrame();
}

void TFormHlav::MenuReadClick() {
  LabelFile2->setText("");
  Link.StartRead();
}

void TFormHlav::MenuVerifyClick() {
  ScreenToParams();
  NormaliseParams();
  ParamsToScreen();
  Link.StartVerify();
}

void TFormHlav::MenuProgramClick() {
  if (!ConfirmProgramForBike()) return;
  ScreenToParams();
  NormaliseParams();
  ParamsToScreen();
  Link.StartProgram();
}

void TFormHlav::StartProgramming() {
  Link.StartProgramming();
}
