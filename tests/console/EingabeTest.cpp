// The input dialog driven as a user would: a timer finds the open modal
// dialog, types the answer into its edit field and presses Enter (or Esc,
// or clicks a button). The dialog's layout is read while it is open.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <vector>

#include "ConsoleTestHelpers.h"
#include "DialogDriver.h"
#include "Eingabe.h"
#include "FensterGraf.h"
#include "Grundfenster.h"
#include "KernGraf.h"
#include "ModulGraf.h"

namespace {

class EingabeTest : public ::testing::Test {
protected:
  void SetUp() override {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ResetConsole();
    // A fresh dialog: its edit width carries over from one prompt to the next.
    delete EingabeDialog;
    new TEingabeDialog(nullptr);
  }
  void TearDown() override { delete EingabeDialog; }

  static int PromptWidth(const QString& prompt) {
    return QFontMetrics(DialogLabel(EingabeDialog)->font()).horizontalAdvance(prompt);
  }
};

} // namespace

// ---- the form ----------------------------------------------------------------------------------

TEST_F(EingabeTest, FormHasItsCaptionControlsAndColours) {
  TEingabeDialog& dialog = *EingabeDialog;
  EXPECT_EQ(dialog.windowTitle(), "Eingabe");
  EXPECT_EQ(DialogOk(&dialog)->text(), "OK");
  EXPECT_TRUE(DialogOk(&dialog)->isDefault());
  EXPECT_EQ(DialogOk(&dialog)->toolTip(), "");
  EXPECT_EQ(DialogEsc(&dialog)->text(), "Abbruch");
  EXPECT_EQ(DialogEsc(&dialog)->toolTip(), "Abbruch des Programmes");
  EXPECT_EQ(dialog.palette().color(QPalette::Window), QColor(Qt::white));
  EXPECT_EQ(DialogLabel(&dialog)->font().family(), "Liberation Sans");
  EXPECT_TRUE(DialogLabel(&dialog)->font().bold());
  EXPECT_EQ(DialogLabel(&dialog)->font().pixelSize(), 15);
  EXPECT_EQ(dialog.font().pixelSize(), 11);
  EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
  EXPECT_EQ(dialog.size(), QSize(336, 167));
}

// ---- layout --------------------------------------------------------------------------------

TEST_F(EingabeTest, ShortPromptKeepsTheFormWidth) {
  TDialogDriver driver({"3"});
  std::string text = "12";
  InputString("Monat", text);
  ASSERT_EQ(driver.Seen.size(), 1u);
  const TSeen& seen = driver.Seen[0];
  EXPECT_EQ(seen.Title, "Eingabe");
  EXPECT_EQ(seen.Prompt, "Monat");
  EXPECT_EQ(seen.Width, 344);
  EXPECT_EQ(seen.OkLeft, 58); // (344 - 81 - 89) div 3
  EXPECT_EQ(seen.EscLeft, 197);
  EXPECT_EQ(seen.Edit.width(), 150);
  EXPECT_EQ(seen.Edit.left(), 97);
  const int w = PromptWidth("Monat");
  EXPECT_EQ(seen.Label.width(), w);
  EXPECT_EQ(seen.Label.left(), (344 - w) / 2);
  // Centred on the screen, as there is no main window.
  EXPECT_EQ(seen.Position, QPoint((1920 - 344) / 2, (1080 - 167) / 2));
}

TEST_F(EingabeTest, WidePromptWidensTheDialog) {
  const QString prompt = QString::fromUtf8("Soll die Ekliptik gezeichnet werden (j/n) ?");
  const int w = PromptWidth(prompt);
  ASSERT_GT(w, 274);
  TDialogDriver driver({"j"});
  std::string letter = "n";
  InputChar(prompt.toStdString(), letter);
  ASSERT_EQ(driver.Seen.size(), 1u);
  EXPECT_EQ(driver.Seen[0].Width, w + 70);
  EXPECT_EQ(driver.Seen[0].Label.left(), 35);
  EXPECT_EQ(driver.Seen[0].OkLeft, (w + 70 - 170) / 3);
}

TEST_F(EingabeTest, EditFieldGrowsWithTheDefaultText) {
  TDialogDriver driver({"2027", "x"});
  std::string year = "2026";
  InputString("Jahr", year);
  std::string twenty = "12345678901234567890";
  InputString("Zwanzig Zeichen", twenty);
  ASSERT_EQ(driver.Seen.size(), 2u);
  EXPECT_EQ(driver.Seen[0].Edit.width(), 150);
  EXPECT_EQ(driver.Seen[0].Width, 344);
  // 20 characters: 300 pixels; the dialog makes room for 15 * 20 + 70 and more.
  EXPECT_EQ(driver.Seen[1].Edit.width(), 300);
  EXPECT_EQ(driver.Seen[1].Width, 440);
  EXPECT_EQ(driver.Seen[1].Edit.left(), 70);
  EXPECT_EQ(driver.Seen[1].OkLeft, 90);
  EXPECT_EQ(driver.Seen[1].EscLeft, 261);
}

TEST_F(EingabeTest, VeryLongDefaultStaysOnTheScreen) {
  TDialogDriver driver({"kurz"});
  std::string text(400, 'x');
  InputString("Text", text);
  ASSERT_EQ(driver.Seen.size(), 1u);
  EXPECT_LE(driver.Seen[0].Width, 1920);
  EXPECT_LE(driver.Seen[0].Edit.right(), driver.Seen[0].Width);
  EXPECT_EQ(text, "kurz");
}

TEST_F(EingabeTest, DialogIsCentredOnTheMainWindow) {
  StartFensterGraf("/opt/lunotrop/Lunotrop");
  TGrundfenster window(true);
  window.setGeometry(100, 50, 800, 600);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  TDialogDriver driver({"1"});
  std::string text = "0";
  InputString("Tag", text);
  ASSERT_EQ(driver.Seen.size(), 1u);
  const QPoint origin = window.mapToGlobal(QPoint(0, 0));
  EXPECT_EQ(driver.Seen[0].Position,
            QPoint(origin.x() + (800 - 344) / 2, origin.y() + (600 - 167) / 2));
  // The band the dialog covers, its frame included where the platform has one.
  int top = 0, bottom = 0;
  InputDialogBand(top, bottom);
  const int outerHeight = EingabeDialog->frameGeometry().height();
  EXPECT_GE(outerHeight, 167);
  EXPECT_EQ(top, (600 - outerHeight) / 2);
  EXPECT_EQ(bottom, top + outerHeight);
}

// ---- answers -----------------------------------------------------------------------------------

TEST_F(EingabeTest, TypingReplacesTheSelectedDefault) {
  TDialogDriver driver({"Hallo Welt"});
  std::string text = "Eingabestring";
  InputString("Text", text);
  EXPECT_EQ(text, "Hallo Welt");
  ASSERT_EQ(driver.Seen.size(), 1u);
  EXPECT_EQ(driver.Seen[0].DefaultText, "Eingabestring");
  EXPECT_EQ(driver.Seen[0].Selected, "Eingabestring");
}

TEST_F(EingabeTest, OkButtonTakesTheEditText) {
  TDialogDriver driver({"<OK>"});
  std::string text = QString::fromUtf8("Länge").toStdString();
  InputString("Text", text);
  EXPECT_EQ(text, QString::fromUtf8("Länge").toStdString());
}

TEST_F(EingabeTest, EscEndsTheProgram) {
  EXPECT_EXIT(
      {
        TDialogDriver driver({"<Esc>"});
        std::string text = "1";
        InputString("Tag", text);
      },
      ::testing::ExitedWithCode(0), "");
}

TEST_F(EingabeTest, AbbruchButtonEndsTheProgram) {
  EXPECT_EXIT(
      {
        AddExitRoutine([] { std::fputs("aufgeraeumt\n", stderr); });
        TDialogDriver driver({"<Abbruch>"});
        std::string text = "1";
        InputString("Tag", text);
      },
      ::testing::ExitedWithCode(0), "aufgeraeumt");
}

TEST_F(EingabeTest, InputCharTakesTheLastLetter) {
  TDialogDriver driver({"ja", "", "J", QString::fromUtf8("ö")});
  std::string letter = "n";
  InputChar("Soll der Äquator gezeichnet werden (j/n) ?", letter);
  EXPECT_EQ(letter, "a");
  letter = "n";
  InputChar("Äquator?", letter); // an empty answer keeps the default
  EXPECT_EQ(letter, "n");
  InputChar("Äquator?", letter);
  EXPECT_EQ(letter, "J");
  InputChar("Äquator?", letter);
  EXPECT_EQ(letter, QString::fromUtf8("ö").toStdString());
  EXPECT_FALSE(driver.RanOut);
}

TEST_F(EingabeTest, InputRealAcceptsACommaAndReasksBadNumbers) {
  TDialogDriver driver({"12a", "", "54,3"});
  std::string text = "10.1";
  long double value = 0;
  const int cursorX = TextCursorX;
  InputReal("Standort: geografische Breite in Grad", text, value);
  EXPECT_NEAR(static_cast<double>(value), 54.3, 1e-15);
  EXPECT_EQ(text, "54,3"); // the user's text keeps its comma
  ASSERT_EQ(driver.Seen.size(), 3u);
  EXPECT_EQ(driver.Seen[0].DefaultText, "10.1");
  EXPECT_EQ(driver.Seen[1].DefaultText, "12a"); // asked again with the rejected text
  EXPECT_EQ(driver.Seen[2].DefaultText, "");
  EXPECT_EQ(driver.Seen[1].Prompt, "Standort: geografische Breite in Grad");
  EXPECT_EQ(TextCursorX, cursorX); // the bell takes no room
  EXPECT_FALSE(driver.RanOut);
}

TEST_F(EingabeTest, InputIntegerAllowsOnlyLeadingBlanks) {
  TDialogDriver driver({"12a", "42 ", "54,3", " 42"});
  std::string text = "30";
  int32_t value = 0;
  InputInteger("Verzögerung in ms", text, value);
  EXPECT_EQ(value, 42);
  EXPECT_EQ(text, " 42");
  ASSERT_EQ(driver.Seen.size(), 4u);
  EXPECT_EQ(driver.Seen[1].DefaultText, "12a");
  EXPECT_EQ(driver.Seen[2].DefaultText, "42 ");
  EXPECT_EQ(driver.Seen[3].DefaultText, "54,3");
  EXPECT_FALSE(driver.RanOut);
}

// ---- the dialog inside a tick ----------------------------------------------------------------

TEST_F(EingabeTest, TicksPauseWhileADialogFromATickIsOpen) {
  StartFensterGraf("/opt/lunotrop/Lunotrop");
  TGrundfenster window(false);
  static int ticks = 0, ticksDuringInput = -1;
  ticks = 0;
  KeyHandlerSlot = [] {
    if (++ticks != 1) return;
    std::string text = "1";
    const int before = ticks;
    InputString("Tag", text);
    ticksDuringInput = ticks - before;
  };
  // The driver lets the dialog stand for ten of its ticks before answering.
  TDialogDriver driver({"2"}, 10);
  (void)QTest::qWaitFor([&driver] { return driver.Seen.size() == 1 && ticks > 1; }, 5000);
  KeyHandlerSlot = NoOperation;
  EXPECT_EQ(driver.Seen.size(), 1u);
  EXPECT_EQ(ticksDuringInput, 0);
  EXPECT_GT(ticks, 1); // ticks go on after the dialog
}
