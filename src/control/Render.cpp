#include "Render.h"

#include <iostream>

#include "Animation.h"
#include "Erdmodul.h"
#include "FensterGraf.h"
#include "KernGraf.h"
#include "KeyCommands.h"
#include "Lunotrop.h"
#include "Parameter.h"
#include "ParameterFile.h"
#include "ViewCommands.h"

namespace {

std::string Extension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || name.find('/', dot) != std::string::npos) return "";
  std::string ext = name.substr(dot + 1);
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

// Writes the framebuffer atomically, so a failed write leaves no partial
// picture.
bool SaveScreen(const std::string& name, std::ostream& err) {
  const TFileResult saved = SavePicture(name, 0, 0, MaxX(), MaxY());
  if (!saved.Ok) err << "lunotrop: " << saved.Message << "\n";
  return saved.Ok;
}

// Set when the Earth model gave a message during the run: its data is
// missing or damaged, so the picture would lack the Earth.
bool EarthDataFailed = false;

// Without a screen to read it on, a message of the Earth model goes to
// standard error, once per run, and fails the run as bad input.
void EarthMessageToStandardError(const std::string& line) {
  if (!EarthDataFailed) ReportEarthMessage(line);
  EarthDataFailed = true;
}

} // namespace

bool ParseKeyNames(const std::string& text, std::string& codes, std::string& message) {
  struct TKeyName {
    const char* Name;
    int Code;
  };
  constexpr TKeyName Names[] = {{"{hoch}", 15},   {"{runter}", 16}, {"{links}", 13},
                                {"{rechts}", 14}, {"{F1}", 1},      {"{F2}", 2}};
  codes.clear();
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '{') {
      bool known = false;
      for (const TKeyName& key : Names) {
        if (text.compare(i, std::string(key.Name).size(), key.Name) == 0) {
          codes += static_cast<char>(key.Code);
          i += std::string(key.Name).size();
          known = true;
          break;
        }
      }
      if (!known) {
        message = "--keys kennt nur Zeichen und {hoch}, {runter}, {links}, {rechts}, {F1}, {F2}.";
        return false;
      }
      continue;
    }
    if (text[i] == 27) {
      message = "--keys: Esc fragt die Eingaben neu ab und geht ohne Bildschirm nicht.";
      return false;
    }
    codes += text[i++];
  }
  return true;
}

void HeadlessTick(int key) {
  if (key != 0) PutKey(key);
  KeyCommandHandler();
}

int RenderPicture(const TRenderOptions& options, std::ostream& err) {
  const std::string format = Extension(options.Output) == "png"   ? "PNG"
                             : Extension(options.Output) == "bmp" ? "BMP"
                                                                  : "";
  if (format.empty()) {
    err << "lunotrop: Das Bild muss auf .bmp oder .png enden: \"" << options.Output << "\"\n";
    return 2;
  }
  const int status = StartHeadlessRun(options, err);
  if (status != 0) return status;
  for (const char key : options.Keys) HeadlessTick(static_cast<unsigned char>(key));
  for (int i = 0; i < options.Steps; ++i) HeadlessTick(0);
  if (EarthDataFailed) return 2;
  return SaveScreen(options.Output, err) ? 0 : 2;
}

int StartHeadlessRun(const TRenderOptions& options, std::ostream& err) {
  // Up to 8K: the inside view keeps three pictures of the screen's size.
  if (options.Steps < 0 || options.Width < 16 || options.Height < 16 || options.Width > 7680 ||
      options.Height > 4320 || options.Perspective < -1 || options.Perspective > 2) {
    err << "lunotrop: Ungültige Angaben für --steps, --size oder --perspective.\n";
    return 2;
  }

  EarthDataFailed = false;
  SetEarthMessageHandler(EarthMessageToStandardError);
  StartErdmodul();
  SetScreenSize(options.Width, options.Height);
  AttachScreen(options.Width, options.Height);
  StartConsole(false, false, 0, 10, "Courier");
  Flags = TControlFlags();
  Flags.StartedWithFile = false; // draw as after an input: with the earlier Moons
  InitialiseParameters();

  bool outside = false, singleStep = true;
  const TParameterFileResult read =
      ReadParameterFile(options.ParameterFile, Param, outside, singleStep);
  if (!read.Ok) {
    err << "lunotrop: " << read.Message << "\n";
    return 2;
  }
  for (const std::string& note : read.Notes) err << "lunotrop: " << note << "\n";
  ChooseView(outside || options.Perspective >= 0);
  SkipDelay = true;

  // The end of the parameter input, then the steps of the running animation.
  SetFillStyle(255, Black, Black);
  FillBar(0, 0, MaxX(), MaxY());
  ResetPalette();
  Flags.InputDoneOnce = true;
  SetUpView(ViewSetupFromParameters());
  TakeAnimationStep();
  RunStarted = true;
  Flags.SingleStep = false;
  for (int i = 0; i < options.Perspective; ++i) HeadlessTick('h');
  return EarthDataFailed ? 2 : 0;
}
