#include "ScreenLayout.h"

#include <algorithm>

#include "KernGraf.h"

namespace {

// The text split at its blanks; a run of blanks stays with the word before.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(' ', start);
    if (end == std::string::npos) end = text.size();
    end = text.find_first_not_of(' ', end);
    if (end == std::string::npos) end = text.size();
    words.push_back(text.substr(start, end - start));
    start = end;
  }
  return words;
}

// The words first..last - 1 as one line, without the blanks where it breaks.
std::string Join(const std::vector<std::string>& words, size_t first, size_t last, bool end) {
  std::string line;
  for (size_t i = first; i < last; ++i) line += words[i];
  if (!end) line.erase(line.find_last_not_of(' ') + 1);
  return line;
}

int LongestLine(const std::vector<std::string>& lines) {
  int widest = 0;
  for (const std::string& line : lines) widest = std::max(widest, TextWidth(line));
  return widest;
}

// The words in lines no wider than the limit, each line taking as many
// words as fit.
std::vector<std::string> Greedy(const std::vector<std::string>& words, int limit) {
  std::vector<std::string> lines;
  size_t first = 0;
  while (first < words.size()) {
    size_t last = first + 1;
    while (last < words.size() && TextWidth(Join(words, first, last + 1, false)) <= limit) ++last;
    lines.push_back(Join(words, first, last, last == words.size()));
    first = last;
  }
  return lines;
}

} // namespace

bool CompactScreen() {
  return MaxX() + 1 <= WidestCompactScreen;
}

std::vector<std::string> FitLines(const std::string& text, int width) {
  if (TextWidth(text) <= width) return {text};
  const std::vector<std::string> words = Words(text);
  // As few lines as the width allows; then the narrowest limit that still
  // gives that many lines, so that the lines come out even.
  const std::vector<std::string> fewest = Greedy(words, width);
  std::vector<std::string> best = fewest;
  for (int limit = LongestLine(fewest) - 1; limit > 0; --limit) {
    const std::vector<std::string> lines = Greedy(words, limit);
    if (lines.size() > fewest.size()) break;
    best = lines;
    limit = std::min(limit, LongestLine(lines));
  }
  return best;
}

int WriteLines(int x, int y, const std::vector<std::string>& lines, int colour) {
  for (const std::string& line : lines) {
    OutTextXY(x, y, line, colour);
    y += CharHeight;
  }
  return y;
}
