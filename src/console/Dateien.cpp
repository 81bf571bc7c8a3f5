#include "Dateien.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

std::vector<std::string> DataFolderList;

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

// The entry of folder whose name equals base without regard to case, or "".
std::string FindInFolder(const fs::path& folder, const std::string& base) {
  std::error_code ec;
  const fs::path exact = folder / base;
  if (fs::exists(exact, ec)) return exact.string();
  const std::string wanted = LowerAscii(base);
  for (fs::directory_iterator it(folder.empty() ? fs::path(".") : folder, ec), end;
       !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (LowerAscii(name) == wanted) return (folder / name).string();
  }
  return "";
}

// Splits a name into its folder ("" for the current folder) and base name.
void SplitName(const std::string& name, fs::path& folder, std::string& base) {
  const fs::path p(name);
  folder = p.parent_path();
  base = p.filename().string();
}

// The Windows-1252 characters 0x80..0x9F as Unicode code points (0 = unused).
const char32_t Cp1252High[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                 0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

// The reason of a failed system call in German words.
std::string ReasonOf(int error) {
  switch (error) {
  case ENOENT:
  case ENOTDIR:
    return "den Ordner gibt es nicht";
  case EACCES:
  case EPERM:
    return "keine Schreibrechte in diesem Ordner";
  case EROFS:
    return "der Datenträger ist schreibgeschützt";
  case ENOSPC:
  case EDQUOT:
    return "der Datenträger ist voll";
  case EFBIG:
    return "die Datei wird zu groß";
  case EISDIR:
    return "dort steht ein Ordner gleichen Namens";
  case ENAMETOOLONG:
    return "der Name ist zu lang";
  case EIO:
    return "Schreibfehler auf dem Datenträger";
  default:
    return "Systemfehler " + std::to_string(error);
  }
}

TFileResult WriteFailure(const std::string& name, int error) {
  TFileResult result;
  result.Ok = false;
  result.Reason = ReasonOf(error);
  result.Message =
      "Die Datei \"" + name + "\" kann nicht geschrieben werden: " + result.Reason + ".";
  return result;
}

// The permissions a new file gets: what every program's new files get.
mode_t NewFileMode() {
  const mode_t mask = ::umask(0);
  ::umask(mask);
  return 0666 & ~mask;
}

// Writes all bytes to the descriptor, however many calls it takes.
bool WriteAll(int descriptor, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(descriptor, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      if (n == 0) errno = EIO;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

} // namespace

std::string ResolveFileName(const std::string& name) {
  if (name.empty()) return name;
  fs::path folder;
  std::string base;
  SplitName(name, folder, base);
  std::string found = FindInFolder(folder, base);
  if (!found.empty()) return found;
  if (folder.empty()) {
    for (const std::string& dataFolder : DataFolderList) {
      found = FindInFolder(dataFolder, base);
      if (!found.empty()) return found;
    }
  }
  return name;
}

std::string ResolveFileNameForWriting(const std::string& name) {
  if (name.empty()) return name;
  fs::path folder;
  std::string base;
  SplitName(name, folder, base);
  const std::string found = FindInFolder(folder, base);
  return found.empty() ? name : found;
}

bool FileIsReadable(const std::string& name) {
  if (name.empty()) return false;
  const std::string path = ResolveFileName(name);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return false;
  std::ifstream file(path, std::ios::binary);
  return file.is_open();
}

void SetDataFolders(const std::string& folders) {
  DataFolderList.clear();
  std::stringstream list(folders);
  std::string folder;
  while (std::getline(list, folder, ':'))
    if (!folder.empty()) DataFolderList.push_back(folder);
}

const std::vector<std::string>& DataFolders() {
  return DataFolderList;
}

std::string FindFileIn(const std::string& folder, const std::string& name) {
  const std::string found = FindInFolder(folder, name);
  std::error_code ec;
  return found.empty() || fs::is_directory(found, ec) ? "" : found;
}

std::string Cp1252ToUtf8(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (const char ch : text) {
    const unsigned char b = static_cast<unsigned char>(ch);
    char32_t c = b;
    if (b >= 0x80 && b <= 0x9F) c = Cp1252High[b - 0x80] ? Cp1252High[b - 0x80] : U'?';
    AppendUtf8(out, c);
  }
  return out;
}

std::string Utf8ToCp1252(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size();) {
    const unsigned char b = static_cast<unsigned char>(text[i]);
    char32_t c = 0;
    size_t length = 1;
    if (b < 0x80) {
      c = b;
    } else if ((b & 0xE0) == 0xC0 && i + 1 < text.size()) {
      c = ((b & 0x1F) << 6) | (text[i + 1] & 0x3F);
      length = 2;
    } else if ((b & 0xF0) == 0xE0 && i + 2 < text.size()) {
      c = ((b & 0x0F) << 12) | ((text[i + 1] & 0x3F) << 6) | (text[i + 2] & 0x3F);
      length = 3;
    } else if ((b & 0xF8) == 0xF0) {
      c = U'?';
      length = 4;
    } else {
      c = U'?';
    }
    i += length;
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
      out += static_cast<char>(c);
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k)
      if (Cp1252High[k] == c) mapped = static_cast<char>(0x80 + k);
    out += mapped;
  }
  return out;
}

// ---- reading ------------------------------------------------------------------

TFileResult ReadWholeFile(const std::string& name, std::string& bytes) {
  bytes.clear();
  const std::string path = ResolveFileName(name);
  std::error_code ec;
  std::ifstream file(path, std::ios::binary);
  if (name.empty() || fs::is_directory(path, ec) || !file.is_open()) {
    TFileResult result;
    result.Ok = false;
    result.Reason = "die Datei gibt es nicht oder sie ist nicht lesbar";
    result.Message = "Die Datei \"" + name + "\" kann nicht gelesen werden.";
    return result;
  }
  bytes.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  if (file.bad()) {
    TFileResult result;
    result.Ok = false;
    result.Reason = "Lesefehler";
    result.Message = "Die Datei \"" + name + "\" kann nicht gelesen werden: Lesefehler.";
    bytes.clear();
    return result;
  }
  return {};
}

std::vector<std::string> SplitTextLines(const std::string& text) {
  const size_t end = std::min(text.find('\x1A'), text.size());
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < end) {
    size_t stop = text.find_first_of("\r\n", start);
    if (stop == std::string::npos || stop > end) stop = end;
    lines.push_back(text.substr(start, stop - start));
    // CR LF is one line end; a CR alone (old Mac files) is one as well, so
    // no line keeps a CR that would show as a box or cut a value.
    if (stop + 1 < end && text[stop] == '\r' && text[stop + 1] == '\n') ++stop;
    start = stop + 1;
  }
  return lines;
}

TFileResult ReadTextLines(const std::string& name, std::vector<std::string>& lines) {
  std::string bytes;
  const TFileResult result = ReadWholeFile(name, bytes);
  lines = SplitTextLines(bytes);
  return result;
}

// ---- writing --------------------------------------------------------------------

TFileResult WriteFileAtomically(const std::string& name, const std::string& bytes) {
  const std::string path = ResolveFileNameForWriting(name);
  if (path.empty()) return WriteFailure(name, ENOENT);
  std::error_code ec;
  if (fs::is_directory(path, ec)) return WriteFailure(name, EISDIR);

  // The temporary file lies beside the target, so the rename stays on one
  // file system and is atomic.
  std::string temporary = path + ".tmp-XXXXXX";
  const int descriptor = ::mkstemp(temporary.data());
  if (descriptor < 0) return WriteFailure(name, errno);

  struct stat existing {};
  const mode_t mode =
      ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : NewFileMode();
  bool written =
      ::fchmod(descriptor, mode) == 0 && WriteAll(descriptor, bytes) && ::fsync(descriptor) == 0;
  int error = written ? 0 : errno;
  if (::close(descriptor) != 0 && written) {
    written = false;
    error = errno;
  }
  if (written && std::rename(temporary.c_str(), path.c_str()) != 0) {
    written = false;
    error = errno;
  }
  if (!written) {
    ::unlink(temporary.c_str());
    return WriteFailure(name, error);
  }
  return {};
}

// ---- problems -------------------------------------------------------------------

void ReportProblem(const std::string& message) {
  std::fprintf(stderr, "lunotrop: %s\n", message.c_str());
  std::fflush(stderr);
}
