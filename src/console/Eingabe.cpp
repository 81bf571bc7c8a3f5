#include "Eingabe.h"

#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QStyle>

#include <algorithm>

#include "FensterGraf.h"
#include "KernGraf.h"

TEingabeDialog* EingabeDialog = nullptr;

namespace {

// The form: client area 336 x 167, controls at fixed places; InputString
// moves and widens them for every prompt.
constexpr int FormWidth = 336, FormHeight = 167;

} // namespace

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
  Label1->setFont(MakeFont("MS Sans Serif", 15, true));
  QPalette black = Label1->palette();
  black.setColor(QPalette::WindowText, Qt::black);
  Label1->setPalette(black);
  Label1->setAlignment(Qt::AlignCenter);
  Label1->setTextFormat(Qt::PlainText); // a prompt is never markup
  // The label is as high as its font needs, at least the form's 16 pixels.
  Label1->setGeometry(0, 24, 104, std::max(16, Label1->fontMetrics().height()));

  Edit = new QLineEdit(QStringLiteral("Eingabestring"), this);
  Edit->setGeometry(108, 65, 121, 21);

  OKBtn =
      new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
  OKBtn->setGeometry(56, 108, 81, 29);
  OKBtn->setDefault(true); // Enter
  connect(OKBtn, &QPushButton::clicked, this, &QDialog::accept);

  EscBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton),
                           QStringLiteral("Abbruch"), this);
  EscBtn->setGeometry(208, 108, 89, 29);
  EscBtn->setToolTip(QStringLiteral("Abbruch des Programmes"));
  connect(EscBtn, &QPushButton::clicked, this, &TEingabeDialog::EscBtnClick);

  setTabOrder(Edit, OKBtn);
  setTabOrder(OKBtn, EscBtn);
}

TEingabeDialog::~TEingabeDialog() {
  if (EingabeDialog == this) EingabeDialog = nullptr;
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

void InputDialogBand(int& top, int& bottom) {
  const int clientHeight = Grundfenster != nullptr ? Grundfenster->height() : MaxY() + 1;
  const int dialogHeight =
      EingabeDialog != nullptr ? EingabeDialog->frameGeometry().height() : FormHeight;
  top = (clientHeight - dialogHeight) / 2;
  bottom = top + dialogHeight;
}
