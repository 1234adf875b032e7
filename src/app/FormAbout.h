// The about window: purpose, logo, distributor's contact lines, build stamp and version.
#pragma once

#include <QDialog>
#include <QImage>

class QLabel;

class TFormAbout : public QDialog {
  Q_OBJECT

public:
  explicit TFormAbout(QWidget* parent = nullptr);

  QLabel* LabelAbout = nullptr;
  QLabel* Image1 = nullptr;
  QLabel* Label2 = nullptr;
  QLabel* Label3 = nullptr;
  QLabel* Label4 = nullptr;
  QLabel* Label5 = nullptr;
  QLabel* Label6 = nullptr;
  QLabel* Label7 = nullptr;
  QLabel* Label8 = nullptr;
  QLabel* Label9 = nullptr;
  QLabel* Label10 = nullptr;
  QLabel* LabelDate = nullptr;
  QLabel* LabelTime = nullptr;
  QLabel* LabelRsKey = nullptr;
  QLabel* LabelExit = nullptr;

  void FormCreate();
  void FormActivate();
  void Button1Click();

protected:
  void showEvent(QShowEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  QLabel* AddLabel(const char* name, int left, int top, int pixelHeight, const QString& text);
  void LoadLogo();
};
