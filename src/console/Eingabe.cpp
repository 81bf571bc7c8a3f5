// Eingabe: the input dialog, its layout for every prompt, where it stands,
// and the prompted input of the console (InputString).
#include "Eingabe.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QStyle>

#include <algorithm>

#include "FensterGraf.h"
#include "Grundfenster.h"
#include "KernGrafQt.h"

TEingabeDialog* EingabeDialog = nullptr;

namespace {

// The form: client area 336 x 167, controls at fixed places; LayOut moves
// and widens them for every prompt.
constexpr int FormWidth = 336, FormHeight = 167;

// The area the dialog is centred on: the main window's client area, or the
// screen when there is no main window. Global coordinates.
QRect CentringArea() {
  if (Grundfenster != nullptr)
    return QRect(Grundfenster->mapToGlobal(QPoint(0, 0)), Grundfenster->size());
  const QScreen* screen = QGuiApplication::primaryScreen();
  return screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 640, 480);
}

// The widest dialog that still fits on the screen, so that a very long
// default text cannot push the buttons out of reach.
int WidestDialog() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const int available = screen != nullptr ? screen->availableGeometry().width() : 1920;
  return std::max(available, 344);
}

} // namespace

QRect DialogPlacement(int width, int height) {
  // The division truncates toward zero like the original's div.
  const QRect area = CentringArea();
  return QRect(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2,
               width, height);
}

TEingabeDialog::TEingabeDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  if (EingabeDialog == nullptr) EingabeDialog = this;
  setWindowTitle(QStringLiteral("Eingabe"));
  setFixedSize(FormWidth, FormHeight);
  setFont(MakeFont("MS Sans Serif", 11, true));
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);

  Label1 = new QLabel(QStringLiteral("String-Eingabe"), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  Label1->setFont(MakeFont("MS Sans Serif", 15, true));
  QPalette black = Label1->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  Label1->setPalette(black);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setTextFormat(Qt::PlainText); // a prompt is never markup
  // The label is as high as its font needs, at least the form's 16 pixels.
  Label1->setGeometry(0, 24, 104, std::max(16, Label1->fontMetrics().height()));

  // Why the answer before was not taken, in red between field and buttons.
  Reason = new QLabel(this);
  Reason->setObjectName(QStringLiteral("Reason"));
  QPalette red = Reason->palette();
  red.setColor(QPalette::WindowText, QColor(160, 28, 28));
  Reason->setPalette(red);
  Reason->setAlignment(Qt::AlignCenter);
  Reason->setTextFormat(Qt::PlainText);
  Reason->setGeometry(0, 87, FormWidth, std::max(16, Reason->fontMetrics().height()));
  Reason->hide();

  Edit = new QLineEdit(QStringLiteral("Eingabestring"), this);
  Edit->setObjectName(QStringLiteral("Edit"));
  Edit->setGeometry(108, 65, 121, 21);

  OKBtn =
      new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  OKBtn->setObjectName(QStringLiteral("OKBtn"));
  OKBtn->setGeometry(56, 108, 81, 29);
  OKBtn->setDefault(true); // Enter
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  EscBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                           QStringLiteral("Abbruch"), this);
  EscBtn->setObjectName(QStringLiteral("EscBtn"));
  EscBtn->setGeometry(208, 108, 89, 29);
  EscBtn->setToolTip(QStringLiteral("Abbruch des Programmes"));
  connect(EscBtn, &QPushButton::clicked, this, &TEingabeDialog::EscBtnClick);

  setTabOrder(Edit, OKBtn);
  setTabOrder(OKBtn, EscBtn);
}

TEingabeDialog::~TEingabeDialog() {
  if (EingabeDialog == this) EingabeDialog = nullptr;
}

void TEingabeDialog::LayOut(const QString& prompt, const QString& defaultText,
                            const QString& reason) {
  const long long n = defaultText.toUcs4().size();
  const int widest = WidestDialog();
  // 1. The dialog starts at its form width.
  long long dialogWidth = 344;
  // 2. The prompt, measured in the label's font, with 35 pixels either side.
  const int promptWidth = QFontMetrics(Label1->font()).horizontalAdvance(prompt);
  if (dialogWidth - 70 < promptWidth) dialogWidth = promptWidth + 70;
  const int reasonWidth = QFontMetrics(Reason->font()).horizontalAdvance(reason);
  if (dialogWidth - 70 < reasonWidth) dialogWidth = reasonWidth + 70;
  // 3. Room for the default text: 15 to 45 pixels a character.
  long long editWidth = Edit->width();
  if (editWidth < 15 * n + 70)
    editWidth = 15 * n + 70;
  else if (45 * n < editWidth)
    editWidth = 45 * n;
  // 4.
  if (dialogWidth < editWidth + 70) dialogWidth = editWidth + 70;
  dialogWidth = std::min<long long>(dialogWidth, widest);
  const int width = static_cast<int>(dialogWidth);
  // 5. The buttons share the width in thirds.
  const int okLeft = (width - OKBtn->width() - EscBtn->width()) / 3;
  OKBtn->move(okLeft, OKBtn->y());
  EscBtn->move(2 * okLeft + OKBtn->width(), EscBtn->y());
  // 6. The edit field: 15 pixels a character, at least 150.
  const int fieldWidth =
      static_cast<int>(std::min<long long>(std::max<long long>(15 * n, 150), width - 20));
  Edit->setGeometry((width - fieldWidth) / 2, Edit->y(), fieldWidth, Edit->height());
  // 7.
  Edit->setText(defaultText);
  Label1->setText(prompt);
  const int labelWidth = std::min(promptWidth, width);
  Label1->setGeometry((width - labelWidth) / 2, Label1->y(), labelWidth, Label1->height());
  Reason->setText(reason);
  Reason->setGeometry(0, Reason->y(), width, Reason->height());
  Reason->setVisible(!reason.isEmpty());
  setFixedSize(width, height());
  // 8. Centred.
  move(DialogPlacement(width, frameGeometry().height()).topLeft());
  setWindowTitle(QStringLiteral("Eingabe"));
}

QString TEingabeDialog::Answer() const {
  return Edit->text();
}

// Naechster: typing replaces the whole default text.
void TEingabeDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Edit->setFocus(Qt::OtherFocusReason);
  Edit->selectAll();
}

// Esc, and closing the dialog by other means, cancel it: that ends the program.
void TEingabeDialog::reject() {
  EscBtnClick();
}

void TEingabeDialog::EscBtnClick() {
  EndProgram(0);
}

// ---- prompted input ------------------------------------------------------------------

void InputDialogBand(int& top, int& bottom) {
  const int frameHeight =
      EingabeDialog != nullptr ? EingabeDialog->frameGeometry().height() : FormHeight;
  top = DialogPlacement(FormWidth, frameHeight).top() - CentringArea().top();
  bottom = top + frameHeight;
}

void InputString(const std::string& prompt, std::string& text, const std::string& reason) {
  if (EingabeDialog == nullptr) new TEingabeDialog(Grundfenster); // registers itself
  TEingabeDialog& dialog = *EingabeDialog;
  dialog.LayOut(QString::fromStdString(prompt), QString::fromStdString(text),
                QString::fromStdString(reason));
  // "Abbruch" and Esc end the program inside exec(); everything else is OK.
  if (dialog.exec() == QDialog::Accepted) text = dialog.Answer().toStdString();
  // Without a window manager nobody gives the focus back to the main window.
  if (Grundfenster != nullptr && Grundfenster->isVisible()) {
    Grundfenster->activateWindow();
    Grundfenster->raise();
  }
}
