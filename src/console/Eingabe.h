// Eingabe: the input dialog TEingabeDialog with a label, a one-line edit
// field, "OK" and "Abbruch". It is created once and laid out anew for every
// prompt by InputString (declared in KernGraf.h, implemented in Eingabe.cpp
// with the layout and the placement of the dialog).
// The widgets carry object names ("Label1", "Reason", "Edit", "OKBtn",
// "EscBtn"), so tests can find them.
#pragma once

#include <QDialog>
#include <QRect>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

class TEingabeDialog : public QDialog {
  Q_OBJECT
public:
  explicit TEingabeDialog(QWidget* parent = nullptr);
  ~TEingabeDialog() override;
  // Lays the dialog out for a prompt, its default text and the reason why
  // the answer before was not taken ("" when there was none), and places it.
  void LayOut(const QString& prompt, const QString& defaultText, const QString& reason = {});
  QString Answer() const;

protected:
  void showEvent(QShowEvent* event) override; // Naechster: focus and select the edit text
  void reject() override;                     // Esc: EscBtnClick

private:
  void EscBtnClick(); // ends the program
  QLabel* Label1;
  QLabel* Reason;
  QLineEdit* Edit;
  QPushButton* OKBtn;
  QPushButton* EscBtn;
};

// The one dialog; the first TEingabeDialog made registers itself here (and
// InputString makes one if the program start has not).
extern TEingabeDialog* EingabeDialog;

// Where a dialog of the given frame size stands: centred on the main
// window's client area, or on the screen when there is no main window.
// Global coordinates.
QRect DialogPlacement(int frameWidth, int frameHeight);
