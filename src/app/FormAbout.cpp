#include "app/FormAbout.h"

#include "app/Pictures.h"
#include "i18n/ControlTexts.h"
#include "model/Types.h"
#include "ui/BuildStamp.h"

#include <QEvent>
#include <QFont>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPalette>
#include <QPixmap>
#include <QScreen>

namespace {

constexpr int ClientWidth = 415;
constexpr int ClientHeight = 422;

// The distributor's contact lines, Label2 .. Label10.
const char* const ContactLines[9] = {
    "VANTEL Service Workshop",   "Ignition Lane 9",
    "000 00 Sample Town",        "Czech Republic",
    "Tel:  +420 000 000 000",    "Fax:  +420 000 000 001",
    "Mobile:  +420 000 000 002", "E-mail:  service@vantel.example",
    "www.vantel.example",
};

} // namespace

TFormAbout::TFormAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
  setObjectName("FormAbout");
  setWindowTitle(QString::fromUtf8(AboutCaption(LangEnglish)));
  setFixedSize(ClientWidth, ClientHeight);

  QPalette palette = this->palette();
  palette.setColor(QPalette::Window, Qt::black);
  palette.setColor(QPalette::WindowText, Qt::white);
  setPalette(palette);
  setAutoFillBackground(true);

  LabelAbout = AddLabel("LabelAbout", 32, 16, 16, "Programm for setting of ignition");

  Image1 = new QLabel(this);
  Image1->setObjectName("Image1");
  Image1->setGeometry(32, 40, 313, 49);
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  QLabel** contacts[9] = {&Label2, &Label3, &Label4, &Label5, &Label6,
                          &Label7, &Label8, &Label9, &Label10};
  for (int i = 0; i < 9; ++i) {
    const QByteArray name = "Label" + QByteArray::number(i + 2);
    *contacts[i] = AddLabel(name.constData(), 32, 100 + 25 * i, 16, ContactLines[i]);
  }

  LabelDate = AddLabel("LabelDate", 32, 353, 13, QString());
  LabelTime = AddLabel("LabelTime", 32, 375, 13, QString());
  LabelRsKey = AddLabel("LabelRsKey", 32, 397, 13, QString());
  LabelExit = AddLabel("LabelExit", 216, 353, 13, "OK");
  LabelExit->setCursor(Qt::PointingHandCursor);
  LabelExit->installEventFilter(this);

  LoadLogo();
  FormCreate();
}

QLabel* TFormAbout::AddLabel(const char* name, int left, int top, int pixelHeight,
                             const QString& text) {
  auto* label = new QLabel(text, this);
  label->setObjectName(name);
  QFont font("MS Sans Serif");
  font.setPixelSize(pixelHeight);
  label->setFont(font);
  label->move(left, top);
  label->adjustSize();
  return label;
}

void TFormAbout::LoadLogo() {
  // A missing or damaged picture leaves the area black.
  Image1->setPixmap(LoadLogoPixmap("logo_about.jpg", devicePixelRatioF()));
}

void TFormAbout::FormCreate() {
  LabelDate->setText(QString::fromStdString(BuildDateText(__DATE__)));
  LabelDate->adjustSize();
  LabelTime->setText(QStringLiteral(__TIME__));
  LabelTime->adjustSize();
  LabelRsKey->setText(QStringLiteral("Version - %1").arg(ProgramVersion));
  LabelRsKey->adjustSize();

  // Centred once; afterwards the window opens where the user left it.
  if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->geometry();
    move(area.x() + area.width() / 2 - width() / 2, area.y() + area.height() / 2 - height() / 2);
  }
}

void TFormAbout::FormActivate() {
  if (const char* caption = AboutCaption(CurrentLanguage))
    setWindowTitle(QString::fromUtf8(caption));
}

void TFormAbout::Button1Click() {
  close();
}

void TFormAbout::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FormActivate();
}

void TFormAbout::changeEvent(QEvent* event) {
  QDialog::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow()) FormActivate();
}

bool TFormAbout::eventFilter(QObject* watched, QEvent* event) {
  if (watched == LabelExit && event->type() == QEvent::MouseButtonRelease) {
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() == Qt::LeftButton &&
        LabelExit->rect().contains(mouse->position().toPoint())) {
      Button1Click();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}
