// The input dialog in the browser: the page's <dialog> with the prompt, the
// edit field with its default text selected, the reason why the answer
// before was not taken, "OK" and "Abbruch". The layout rules are the
// desktop dialog's, in CSS pixels; the dialog stands in the middle of the
// window. The program waits for the answer while the browser runs.
#include <emscripten.h>

#include <algorithm>

#include "FensterGraf.h"
#include "WebIntern.h"

namespace {

// The form: client area 336 x 167 under a title bar of 24 pixels, buttons
// of 81 and 89 pixels, an edit field of 121 pixels to start with.
constexpr int FormHeight = 167, TitleHeight = 24, FrameHeight = FormHeight + TitleHeight;
constexpr int OkWidth = 81, EscWidth = 89, FormEditWidth = 121;

// The dialog's state on the page.
constexpr int DialogOpen = 0, DialogAccepted = 1;

bool Open = false;

struct TDialogLayout {
  int Width = 344;
  int FieldLeft = 0, FieldWidth = 150;
  int OkLeft = 0, EscLeft = 0;
  int LabelLeft = 0, LabelWidth = 0;
};

long long CharacterCount(const std::string& text) {
  long long n = 0;
  for (const char c : text)
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
  return n;
}

} // namespace

EM_JS(int, JsPromptWidth, (const char* text),
      { return LunotropPage.promptWidth(UTF8ToString(text)); });
EM_JS(int, JsReasonWidth, (const char* text),
      { return LunotropPage.reasonWidth(UTF8ToString(text)); });
EM_JS(int, JsWindowWidth, (), { return window.innerWidth; });
EM_JS(int, JsWindowHeight, (), { return window.innerHeight; });
EM_JS(void, JsOpenDialog,
      (const char* prompt, const char* text, const char* reason, int width, int height, int left,
       int top, int fieldLeft, int fieldWidth, int okLeft, int escLeft, int labelLeft,
       int labelWidth),
      {
        LunotropPage.openDialog(UTF8ToString(prompt), UTF8ToString(text), UTF8ToString(reason),
                                width, height, left, top, fieldLeft, fieldWidth, okLeft, escLeft,
                                labelLeft, labelWidth);
      });
EM_JS(int, JsDialogState, (), { return LunotropPage.dialogState(); });
EM_JS(char*, JsDialogAnswer, (), {
  const answer = LunotropPage.dialogAnswer();
  const size = lengthBytesUTF8(answer) + 1;
  const buffer = _malloc(size);
  stringToUTF8(answer, buffer, size);
  return buffer;
});

bool WebDialogOpen() {
  return Open;
}

namespace {

// The desktop's rules for a prompt and its default text, in CSS pixels.
TDialogLayout LayOut(const std::string& prompt, const std::string& text,
                     const std::string& reason) {
  TDialogLayout layout;
  const long long n = CharacterCount(text);
  const int widest = std::max(JsWindowWidth(), 344);
  long long dialogWidth = 344;
  const int promptWidth = JsPromptWidth(prompt.c_str());
  if (dialogWidth - 70 < promptWidth) dialogWidth = promptWidth + 70;
  const int reasonWidth = JsReasonWidth(reason.c_str());
  if (dialogWidth - 70 < reasonWidth) dialogWidth = reasonWidth + 70;
  long long editWidth = FormEditWidth;
  if (editWidth < 15 * n + 70)
    editWidth = 15 * n + 70;
  else if (45 * n < editWidth)
    editWidth = 45 * n;
  if (dialogWidth < editWidth + 70) dialogWidth = editWidth + 70;
  layout.Width = static_cast<int>(std::min<long long>(dialogWidth, widest));
  layout.OkLeft = (layout.Width - OkWidth - EscWidth) / 3;
  layout.EscLeft = 2 * layout.OkLeft + OkWidth;
  layout.FieldWidth =
      static_cast<int>(std::min<long long>(std::max<long long>(15 * n, 150), layout.Width - 20));
  layout.FieldLeft = (layout.Width - layout.FieldWidth) / 2;
  layout.LabelWidth = std::min(promptWidth, layout.Width);
  layout.LabelLeft = (layout.Width - layout.LabelWidth) / 2;
  return layout;
}

} // namespace

void InputDialogBand(int& top, int& bottom) {
  // The dialog is centred on the window; a screen pixel is a CSS pixel.
  top = (JsWindowHeight() - FrameHeight) / 2;
  bottom = top + FrameHeight;
}

void InputString(const std::string& prompt, std::string& text, const std::string& reason) {
  const TDialogLayout layout = LayOut(prompt, text, reason);
  const int left = (JsWindowWidth() - layout.Width) / 2;
  const int top = (JsWindowHeight() - FrameHeight) / 2;
  PresentScreen();
  JsOpenDialog(prompt.c_str(), text.c_str(), reason.c_str(), layout.Width, FrameHeight, left, top,
               layout.FieldLeft, layout.FieldWidth, layout.OkLeft, layout.EscLeft, layout.LabelLeft,
               layout.LabelWidth);
  Open = true;
  int state = DialogOpen;
  while ((state = JsDialogState()) == DialogOpen) {
    PumpPageEvents();
    YieldToBrowser(5);
  }
  Open = false;
  // "Abbruch" and Esc end the program.
  if (state != DialogAccepted) EndProgram(0);
  char* answer = JsDialogAnswer();
  text = answer;
  std::free(answer);
}
