// Helpers of the Earth model tests: a scratch folder that the test works in,
// small data files written byte by byte, and a message handler that records.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <unistd.h>

#include "Dateien.h"
#include "ErdmodulIntern.h"

namespace earthtest {

inline std::vector<std::string>& Messages() {
  static std::vector<std::string> messages;
  return messages;
}
inline void RecordMessage(const std::string& line) {
  Messages().push_back(line);
}

// Runs each test in a fresh empty folder with an empty Earth model.
class EarthFolderTest : public ::testing::Test {
protected:
  void SetUp() override {
    OldFolder = std::filesystem::current_path();
    Folder = std::filesystem::temp_directory_path() /
             ("lunotrop-earth-" + std::to_string(::getpid()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Folder);
    std::filesystem::create_directories(Folder);
    std::filesystem::current_path(Folder);
    SetDataFolders("");
    ReleaseEarthModel();
    Messages().clear();
    SetEarthMessageHandler(RecordMessage);
  }
  void TearDown() override {
    ReleaseEarthModel();
    SetEarthMessageHandler(RecordMessage);
    std::filesystem::current_path(OldFolder);
    std::filesystem::remove_all(Folder);
  }
  std::filesystem::path OldFolder, Folder;
};

inline void WriteBytes(const std::string& name, const std::vector<uint8_t>& bytes) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}
inline void WriteText(const std::string& name, const std::string& text) {
  std::ofstream out(name, std::ios::binary | std::ios::trunc);
  out << text;
}
inline std::vector<uint8_t> ReadBytes(const std::string& name) {
  std::ifstream in(name, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

// True if a write left its temporary file (".tmp" in the name) behind.
inline bool TemporaryFileLeft() {
  for (const auto& entry : std::filesystem::directory_iterator("."))
    if (entry.path().filename().string().find(".tmp") != std::string::npos) return true;
  return false;
}

inline void AppendSingle(std::vector<uint8_t>& bytes, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}
inline float SingleAt(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= uint32_t(bytes.at(at + i)) << (8 * i);
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}
inline uint32_t BitsAt(const std::vector<uint8_t>& bytes, size_t at) {
  uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) bits |= uint32_t(bytes.at(at + i)) << (8 * i);
  return bits;
}

// "ERDE.BIN" pairs in degrees (longitude eastward).
inline void AppendPair(std::vector<uint8_t>& bytes, long double lonDegrees,
                       long double latDegrees) {
  AppendSingle(bytes, static_cast<float>(lonDegrees * DegToRad));
  AppendSingle(bytes, static_cast<float>(latDegrees * DegToRad));
}

// A compact segment header from its codes.
inline std::vector<uint8_t> Header(int lonCode, int latCode, int count, bool penUp = true) {
  return {static_cast<uint8_t>((penUp ? 0x80 : 0) | (lonCode >> 8)),
          static_cast<uint8_t>(lonCode & 0xFF),
          static_cast<uint8_t>(((count >> 8) << 6) | (latCode >> 8)),
          static_cast<uint8_t>(latCode & 0xFF), static_cast<uint8_t>(count & 0xFF)};
}
inline void Append(std::vector<uint8_t>& bytes, const std::vector<uint8_t>& more) {
  bytes.insert(bytes.end(), more.begin(), more.end());
}

// Header codes of a position, for files with two-byte deltas.
inline int LonCode(long double lonDegrees) {
  return static_cast<int>(std::lround(lonDegrees * DegToRad / DeltaUnit));
}
inline int LatCode(long double latDegrees) {
  return static_cast<int>(std::lround((latDegrees * DegToRad + Pi / 2) / Pi * 8191));
}

// Difference of two longitudes in degrees, the short way round.
inline long double LonDifferenceDegrees(long double a, long double b) {
  long double d = std::fmod((a - b) / DegToRad, 360.0L);
  if (d > 180) d -= 360;
  if (d < -180) d += 360;
  return std::fabs(d);
}

} // namespace earthtest

// A segment through the given (longitude, latitude) points in degrees.
inline TSegment Line(const std::vector<std::pair<double, double>>& degrees) {
  TSegment s;
  for (const auto& [lon, lat] : degrees)
    s.Points.push_back(
        EarthPointAt(static_cast<float>(lon * DegToRad), static_cast<float>(lat * DegToRad)));
  s.Count = static_cast<int32_t>(s.Points.size());
  return s;
}
