// Eingabe: the input dialog TEingabeDialog with a label, a one-line edit
// field, "OK" and "Abbruch". It is created once and laid out anew for every
// prompt (see InputString in KernGraf).
#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class TEingabeDialog : public QDialog {
  Q_OBJECT
public:
  explicit TEingabeDialog(QWidget* parent = nullptr);
  ~TEingabeDialog() override;
  QLabel* Label1;
  QLineEdit* Edit;
  QPushButton* OKBtn;
  QPushButton* EscBtn;

protected:
  void showEvent(QShowEvent* event) override; // Naechster: focus and select the edit text
  void reject() override;                     // Esc: EscBtnClick

private:
  void EscBtnClick(); // ends the program
};

// The one dialog; the first TEingabeDialog made registers itself here (and
// InputString makes one if the program start has not).
extern TEingabeDialog* EingabeDialog;

// The rows of the main window's client area that the dialog covers while it
// is open, centred as InputString places it; text written during the input
// keeps out of this band.
void InputDialogBand(int& top, int& bottom);
