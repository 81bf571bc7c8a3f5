// "Lunotrop.txt", the help text of the start screen: the lines hold no line
// ends, come out as UTF-8, stop at a Ctrl+Z and give the text back when they
// are joined again; a line of Windows-1252 characters survives the way to
// UTF-8 and back.
#include <string>
#include <vector>

#include "Dateien.h"
#include "TextChecks.h"

namespace {

// The text up to the first Ctrl+Z with every line end (CR LF, LF or a CR
// alone) as LF, and an LF after a last line that has none: what the lines
// joined with LF must give.
std::string LinesAsWritten(const std::string& bytes) {
  const std::string text = bytes.substr(0, bytes.find('\x1A'));
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    out += text[i] == '\r' ? '\n' : text[i];
  }
  if (!out.empty() && out.back() != '\n') out += '\n';
  return out;
}

// Bytes that Windows-1252 leaves undefined: they are shown as '?'.
bool AllDefinedInCp1252(const std::string& line) {
  for (const char ch : line) {
    const unsigned char b = static_cast<unsigned char>(ch);
    if (b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) return false;
  }
  return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> lines = SplitTextLines(bytes);

  std::string joined;
  for (const std::string& line : lines) {
    Require(!HasLineEnd(line), "no line holds CR or LF");
    Require(line.find('\x1A') == std::string::npos, "a Ctrl+Z ends the text");
    const std::string shown = Cp1252ToUtf8(line);
    RequireOneLineOfUtf8(shown, "the shown line is one line of UTF-8");
    Require(CharacterCount(shown) == line.size(), "one character for every byte");
    if (AllDefinedInCp1252(line))
      Require(Utf8ToCp1252(shown) == line, "Windows-1252 to UTF-8 and back keeps the line");
    joined += line + "\n";
  }
  Require(joined == LinesAsWritten(bytes), "the lines joined again give the text");
  Require(SplitTextLines(bytes.substr(0, bytes.find('\x1A'))) == lines,
          "what follows a Ctrl+Z does not count");

  // Any bytes taken as UTF-8 come out as at most as many bytes of Windows-1252.
  Require(Utf8ToCp1252(bytes).size() <= bytes.size(), "UTF-8 to Windows-1252 never grows");
  return 0;
}
