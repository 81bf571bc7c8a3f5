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

extern TEingabeDialog* EingabeDialog; // created at program start
