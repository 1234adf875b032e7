// TFormHlav, the main window: owns every piece of state of the program for the whole
// run and names every handler; the logic lives in the toolkit-free core.
#pragma once

#include <QMainWindow>
#include <QSet>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "app/HlavFileDialog.h"
#include "i18n/Messages.h"
#include "link/Link.h"
#include "link/MonitorRecorder.h"
#include "link/MonitorRing.h"
#include "link/PortReopen.h"
#include "link/PosixSerialPort.h"
#include "link/SerialDevices.h"
#include "model/History.h"
#include "model/Identity.h"
#include "model/IgnParams.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QScrollArea;
class QStatusBar;
class QTimer;
class QToolButton;
class TRadioGroup;
class TUpDown;
class TProfileFile;
class TFormAbout;
class TFormCurve;
class TFormDiff;
class TFormRestorePoints;
class TFormPorts;
class QPrinter;
class QPrintPreviewDialog;
struct TSheetBike;
struct TSheetSource;

class TFormHlav : public QMainWindow, private TLinkHost {
  Q_OBJECT
public:
  // arguments: the command-line arguments after the program name.
  explicit TFormHlav(const QStringList& arguments, QWidget* parent = nullptr);
  ~TFormHlav() override;

  // ---- start-up and closing ----
  void FormCreate();
  void FormClose();

  // ---- tick ----
  void Timer1Timer();

  // ---- serial port ----
  void OpenComPort();
  void CloseComPort();
  void MenuCom1Click(int number);
  void SetComMenuChecks();
  void ReadTestMarker();
  // The Com menu opens: each item's hint names its device and the adapter there.
  void MenuComPopup();
  void MenuPortsClick();

  // ---- block transfer commands ----
  void MenuReadClick();
  void MenuVerifyClick();
  void MenuProgramClick();
  void StartProgramming();

  // ---- editing ----
  // Build the curve's edits and spinners into RpmEdits, AdvanceEdits, RpmUpDowns and
  // AdvanceUpDowns, as part of building the controls.
  void BuildEditArrays();
  void BuildUpDownArrays();
  void ScreenToParams();
  void ParamsToScreen() override;
  void ParamsChanged();
  void NormaliseParams() override;
  void UpDownClick();
  void EditExit();
  bool FormKeyPress(QObject* watched, int key); // true when the key was swallowed
  void CheckBoxProgHnedMouseUp();
  void RadioGroupPolaritaClick();
  void RadioGroupInput1Click();
  void RadioGroupInput2Click();
  void BitBtnAdvMinusClick();
  void BitBtnAdvPlusClick();
  // The advance commands: one degree down (sign -1) or up (+1), on every curve point with
  // "All", else on the marked point only.
  void StepAdvance(int sign);
  void ApplyControlRules();
  void HighlightActivePoint() override;

  // ---- undo and redo ----
  void InitHistory();
  void PushHistory();
  void RestoreSnapshot();
  void UpdateUndoButtons();
  void SpeedButtonZpetClick();
  void SpeedButtonZnovuClick();
  // Undo (back) and redo (forward).
  void MoveInHistory(THistoryStep step);

  // ---- files and settings ----
  void MenuNewClick();
  void MenuOpenClick();
  void MenuSaveClick();
  // The Open command from its file on: read, the change path, the file's name; an empty
  // path (a cancelled dialog) only hides the status label and the gauge, as every Open does.
  void OpenParameterFile(const QString& path);
  void LoadSettings();
  void SaveSettings();
  // Start-up placement: centred on the screen, no larger than its available area.
  void CentreWindow();
  // The window's size for the client area at its design size, without a frame.
  QSize DesignSize() const;

  // ---- languages ----
  void BuildMessageCatalogue();
  void ApplyControlTexts();
  void MenuEnglishClick();
  void MenuGermanClick();
  void MenuFrenchClick();
  void MenuCzechClick();

  // ---- printing, help, about, exit ----
  void SpeedButtonPrintClick();
  void MenuContensClick();
  void MenuAboutClick();
  void MenuExitClick();
  void LoadLogo();

  // ---- restore points and differences ----
  void BuildRestoreMenuItems(); // at the end of the Tools menu
  void MenuBackUpClick();
  void MenuRestorePointsClick();
  void MenuDifferencesClick();
  void LabelHlaseniClick();
  void CompareWithFileClick();
  void ApplyRestoreTexts();

  // ---- state ----
  QString IniFileName;
  QString StateFilePath;
  std::unique_ptr<TProfileFile> IniFile;
  // The options of the tools that vantel.ini does not keep; read when a tool first asks,
  // written at closing with the other settings.
  TProfileFile& ExtraSettings();
  std::unique_ptr<TProfileFile> ExtraIniFile;
  TMessageCatalogue Msg;
  TDeviceImage Image{};
  TUnitIdentity Identity;
  std::uint8_t ComPort = 0;
  TPosixSerialPort ComHandle;
  TPortReopen ComReopen{ComHandle};
  TDeviceRoots DeviceRoots;        // where the serial devices are looked up
  TFormPorts* FormPorts = nullptr; // built on first use
  TLinkEngine Link{Image, *this};
  THistory History;
  bool AutoProgramArmed = false;
  std::uint8_t ActivePoint = 0;
  bool NoActivePoint = true;
  bool TestDisplayEnabled = false;
  QString LastFilePath;
  QStringList Arguments;
  TFormAbout* FormAbout = nullptr; // lives beside the main window from start-up to exit
  void SetAboutForm(TFormAbout* form) { FormAbout = form; }

  // ---- controls ----
  QScrollArea* ClientScroll = nullptr; // holds the client area
  QWidget* ClientArea = nullptr;
  QMenuBar* MainMenu1 = nullptr;
  QMenu *MenuFile = nullptr, *MenuCom = nullptr, *MenuDevice = nullptr, *MenuTools = nullptr,
        *MenuLanguage = nullptr, *MenuHelp = nullptr;
  QAction *MenuNew = nullptr, *MenuOpen = nullptr, *MenuSave = nullptr, *MenuPrint = nullptr,
          *MenuExit = nullptr;
  std::array<QAction*, 10> MenuComItems{};
  QAction* MenuPorts = nullptr;
  QAction *MenuRead = nullptr, *MenuVerify = nullptr, *MenuProgram = nullptr;
  QAction *MenuAdvanceMinus = nullptr, *MenuAdvancePlus = nullptr, *MenuZpet = nullptr,
          *MenuZnovu = nullptr;
  QAction *MenuEnglish = nullptr, *MenuGerman = nullptr, *MenuFrench = nullptr,
          *MenuCzech = nullptr;
  QAction *MenuContens = nullptr, *MenuAbout = nullptr;
  QAction *MenuBackUp = nullptr, *MenuRestorePoints = nullptr, *MenuDifferences = nullptr,
          *MenuCompareFile = nullptr;

  QGroupBox* GroupBoxToolBar = nullptr;
  QToolButton *SpeedButton5 = nullptr, *SpeedButton6 = nullptr, *SpeedButton7 = nullptr,
              *SpeedButtonPrint = nullptr, *SpeedButtonZpet = nullptr, *SpeedButtonZnovu = nullptr;
  QPushButton *ButtonRead = nullptr, *ButtonVerify = nullptr, *ButtonProgram = nullptr;

  QLabel* LabelSpojeni = nullptr;

  QGroupBox* GroupBox6 = nullptr;
  QLabel *LabelRpm1 = nullptr, *LabelAdvance1 = nullptr, *LabelRpm2 = nullptr,
         *LabelAdvance2 = nullptr;
  std::array<QLineEdit*, CurvePoints> RpmEdits{};
  std::array<QLineEdit*, CurvePoints> AdvanceEdits{};
  std::array<TUpDown*, CurvePoints> RpmUpDowns{};
  std::array<TUpDown*, CurvePoints> AdvanceUpDowns{};
  QPushButton *BitBtnAdvMinus = nullptr, *BitBtnAdvPlus = nullptr;
  QCheckBox* CheckBoxIgnAll = nullptr;
  QLineEdit *EditPocetBodu = nullptr, *EditBaseAdv = nullptr;
  TUpDown *UpDownPocetBodu = nullptr, *UpDownBaseAdv = nullptr;
  QLabel *LabelPocetBodu = nullptr, *LabelBaseAdv = nullptr;

  TRadioGroup *RadioGroupPolarita = nullptr, *RadioGroupInput1 = nullptr,
              *RadioGroupInput2 = nullptr;

  QGroupBox* GroupBoxRpm = nullptr;
  QLineEdit *EditRpmPulsu = nullptr, *EditRpmKorekce = nullptr;
  TUpDown *UpDownRpmPulsu = nullptr, *UpDownRpmKorekce = nullptr;
  QLabel *LabelRpmPulsu = nullptr, *LabelRpmKorekce = nullptr;

  QGroupBox* GroupBoxMonInput = nullptr;
  QLabel *LabelMonInput1In = nullptr, *LabelMonInput2In = nullptr;

  QGroupBox* GroupBox2 = nullptr;
  QComboBox *ComboBoxBike = nullptr, *ComboBoxPocPalcu = nullptr;
  QLineEdit *EditOmez1 = nullptr, *EditOmez2 = nullptr, *EditRetard = nullptr,
            *EditClutch1 = nullptr, *EditClutch2 = nullptr;
  TUpDown *UpDownOmez1 = nullptr, *UpDownOmez2 = nullptr, *UpDownRetard = nullptr,
          *UpDownClutch1 = nullptr, *UpDownClutch2 = nullptr;
  QLabel *LabelOmez1 = nullptr, *LabelOmez2 = nullptr, *LabelRetard = nullptr,
         *LabelClutch1 = nullptr, *LabelClutch2 = nullptr;
  QCheckBox* CheckBoxProgHned = nullptr;

  QGroupBox* GroupBox1 = nullptr;
  QLineEdit* EditLedRazeni = nullptr;
  TUpDown* UpDownLedRazeni = nullptr;
  QLabel* LabelLedRazeni = nullptr;
  QCheckBox* CheckBoxRevOutLedRazeni = nullptr;

  QLabel* LabelRpm = nullptr;
  QProgressBar* CGaugeRpm = nullptr;
  QLabel *LabelMon_Advance = nullptr, *LabelSnimac = nullptr, *LabelNapeti = nullptr,
         *LabelKillSwitch = nullptr, *LabelBlocking = nullptr, *LabelMonRetard = nullptr,
         *LabelMonStartLimiterOut = nullptr, *LabelMonHardLimiter = nullptr,
         *LabelMonLedRazeni = nullptr, *LabelClutchMon = nullptr, *LabelPolaritaMer = nullptr;

  QLabel* LabelHlaseni = nullptr;
  QProgressBar* CGaugeProgram = nullptr;

  QLabel *LabelVerze1 = nullptr, *LabelVerze2 = nullptr, *LabelVerze3 = nullptr;
  QLabel* LabelPocetProgramovani = nullptr;
  QLabel* LabelFile1 = nullptr;
  QLabel* LabelFile2 = nullptr; // a TPathLabel: the full path, drawn shortened when long
  QLabel *LabelVersion = nullptr, *LabelEeDataErr = nullptr;
  QLabel* ImageLogo = nullptr;
  QStatusBar* StatusBar1 = nullptr;
  QLabel* LabelRestorePointFailure = nullptr;      // in StatusBar1 while a restore point failed
  TFormRestorePoints* FormRestorePoints = nullptr; // built on first use
  TFormDiff* FormDiff = nullptr;                   // built on first use
  std::array<QLabel*, 8> LabelTests{};

  QTimer* Timer1 = nullptr;
  // What the Open and Save dialogs keep between commands.
  TFileDialogState OpenDialog1, SaveDialog1;

  // Paints a label's or check box's background in one of the state colours.
  static void SetColour(QWidget* widget, TColour colour);

  // A modal message box that keeps the ticks running; returns the button pressed.
  int ShowMessageBox(const QString& text, int buttons = 0x00000400 /* Ok */);

  // ---- curve window and recording of live values ----
  void MenuCurveClick();
  void MenuRecordClick();
  QAction *MenuCurve = nullptr, *MenuRecord = nullptr;
  TFormCurve* FormCurve = nullptr; // built on first use
  TMonitorRing MonitorRing;        // the last minute of monitor frames, from program start
  TMonitorRecorder Recorder;
  QLabel* LabelRecording = nullptr; // in the status bar while recording; built on first use

  // ---- tune sheet ----
  void MenuTuneSheetClick();
  // The sheet on the preview's pages or the printer the user chose.
  void PaintTuneSheetOn(QPrinter& printer);
  // The sheet's source as the window stands: the record, the unit's identity, the file and
  // the current bike, printed now.
  TSheetSource TuneSheetSource() const;
  // The bike library's current bike; empty while no bike is current.
  TSheetBike CurrentSheetBike() const;
  QAction* MenuTuneSheet = nullptr;
  QPrintPreviewDialog* TuneSheetPreview = nullptr; // built on first use

protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void BuildControls();
  void BuildMenus();
  void WireHandlers();
  void ApplicationHint(const QString& hint);

  // TLinkHost
  void SetStatusText(const std::string& text) override;
  void SetStatusColour(TColour colour) override;
  void SetStatusVisible(bool visible) override;
  void SetGaugeProgress(int progress) override;
  void SetGaugeVisible(bool visible) override;
  void SetConnectionVisible(bool visible) override;
  void HideVersionLabel() override;
  void ShowMonitorFrame(const TMonitorView& view) override;
  void DecodeUnitIdentity() override;
  void ShowModalMessage(const std::string& text) override;
  const TMessageCatalogue& Messages() const override { return Msg; }
  void StoreRestorePoint(const TDeviceImage& unit, TRestoreKind kind) override;
  void OfferDifference(const TIgnParams& pc, const TIgnParams& unit) override;
  void WithdrawDifference() override;

  // Two records the difference window compares: the PC's and the unit's rejected reply, or
  // the screen's and a file's.
  struct TComparison {
    TIgnParams Left, Right;
    QString FilePath; // empty for the unit's reply
  };
  // raise: bring the window up; otherwise only its contents are renewed.
  void ShowComparison(const TComparison& comparison, bool raise = true);
  std::optional<TComparison> OfferedDifference; // while the failed pass offers it
  std::optional<TComparison> ShownComparison;   // what the difference window shows
  std::optional<TFailureReport> RestorePointFailure;
  TFileDialogState CompareDialog;

  // The clutch and pilot-light spinners and their edits: no click and no leave handler, so a
  // change there reaches the record only with the next change path.
  QSet<const QObject*> ChangeWaitsForNextPath;

  // The curve window's hooks: an accepted monitor frame, the end of a tick, a change of the
  // record or its rules, new control texts, and the closing sequence.
  void CurveMonitorFrame();
  void CurveTick();
  void CurveRecordChanged();
  void CurveTextsChanged();
  void CloseCurveWindow();
  void RecordingChanged();

  bool Closed = false;
  // Above 0 while the program itself refreshes the controls. A refresh that disables or
  // hides the focused edit moves the focus; that is not the user leaving the edit.
  int Refreshing = 0;
  friend class TRefreshScope;
};
