// A user at the input dialog: a timer finds the open modal dialog, types the
// next answer into its edit field and presses Enter (or Esc, or clicks a
// button). What the dialog showed is recorded while it is open, so tests can
// check prompts, defaults and the layout. The console tests and the tests of
// the whole program share it.
#pragma once

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <functional>
#include <ostream>
#include <vector>

#include "Eingabe.h"

// The dialog's widgets, found by their object names.
inline QLabel* DialogLabel(const TEingabeDialog* d) {
  return d->findChild<QLabel*>(QStringLiteral("Label1"));
}
inline QLabel* DialogReason(const TEingabeDialog* d) {
  return d->findChild<QLabel*>(QStringLiteral("Reason"));
}
inline QLineEdit* DialogEdit(const TEingabeDialog* d) {
  return d->findChild<QLineEdit*>(QStringLiteral("Edit"));
}
inline QPushButton* DialogOk(const TEingabeDialog* d) {
  return d->findChild<QPushButton*>(QStringLiteral("OKBtn"));
}
inline QPushButton* DialogEsc(const TEingabeDialog* d) {
  return d->findChild<QPushButton*>(QStringLiteral("EscBtn"));
}

// Prompts and answers in test failures as text.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

// What the user saw of one dialog.
struct TSeen {
  QString Title, Prompt, DefaultText, Selected;
  QString Reason; // why the answer before was not taken, "" when none is shown
  int Width = 0, Height = 0;
  QRect Label, Edit;
  int OkLeft = 0, EscLeft = 0;
  QPoint Position;
};

// Answers every dialog that opens with the next of its answers. "<Esc>",
// "<OK>" and "<Abbruch>" press Esc or click a button, "<Enter>" takes the
// default as it stands; anything else is typed over the selected default text
// and confirmed with Enter (an empty answer deletes the default). When the
// answers run out it answers "0" so that no test can hang.
class TDialogDriver : public QObject {
public:
  explicit TDialogDriver(std::vector<QString> answers, int waitTicks = 0)
      : Answers(std::move(answers)), WaitTicks(waitTicks) {
    connect(&Timer, &QTimer::timeout, this, &TDialogDriver::Tick);
    Timer.start(5);
  }
  std::vector<TSeen> Seen;
  bool RanOut = false;
  // Called with each dialog before it is answered (to look at the screen
  // behind it, say).
  std::function<void(TEingabeDialog&)> OnDialog;

  // The prompts seen so far, in order.
  std::vector<QString> Prompts() const {
    std::vector<QString> prompts;
    for (const TSeen& seen : Seen) prompts.push_back(seen.Prompt);
    return prompts;
  }
  // Answers still to be given; more can be added while the test runs.
  void Add(const std::vector<QString>& answers) {
    Answers.insert(Answers.end(), answers.begin(), answers.end());
  }
  size_t Unused() const { return Answers.size() - Next; }

private:
  void Tick() {
    auto* dialog = qobject_cast<TEingabeDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || !dialog->isVisible()) return;
    if (Waited++ < WaitTicks) return;
    Waited = 0;
    TSeen seen;
    seen.Title = dialog->windowTitle();
    seen.Prompt = DialogLabel(dialog)->text();
    seen.DefaultText = DialogEdit(dialog)->text();
    if (DialogReason(dialog)->isVisible()) seen.Reason = DialogReason(dialog)->text();
    seen.Selected = DialogEdit(dialog)->selectedText();
    seen.Width = dialog->width();
    seen.Height = dialog->height();
    seen.Label = DialogLabel(dialog)->geometry();
    seen.Edit = DialogEdit(dialog)->geometry();
    seen.OkLeft = DialogOk(dialog)->x();
    seen.EscLeft = DialogEsc(dialog)->x();
    seen.Position = dialog->pos();
    Seen.push_back(seen);
    if (OnDialog) OnDialog(*dialog);

    QString answer = QStringLiteral("0");
    if (Next < Answers.size())
      answer = Answers[Next++];
    else
      RanOut = true;
    if (answer == "<Esc>") {
      QTest::keyClick(DialogEdit(dialog), Qt::Key_Escape);
    } else if (answer == "<Abbruch>") {
      QTest::mouseClick(DialogEsc(dialog), Qt::LeftButton);
    } else if (answer == "<OK>") {
      QTest::mouseClick(DialogOk(dialog), Qt::LeftButton);
    } else if (answer == "<Enter>") {
      QTest::keyClick(DialogEdit(dialog), Qt::Key_Return);
    } else {
      // Typing replaces the selection; an empty answer deletes it.
      if (answer.isEmpty())
        QTest::keyClick(DialogEdit(dialog), Qt::Key_Backspace);
      else
        DialogEdit(dialog)->insert(answer);
      QTest::keyClick(DialogEdit(dialog), Qt::Key_Return);
    }
  }

  QTimer Timer;
  std::vector<QString> Answers;
  size_t Next = 0;
  int WaitTicks = 0, Waited = 0;
};
