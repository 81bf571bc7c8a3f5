// Erdmodul, the data side: the point conversions, the readers of
// "ERDE_0.BIN", "ERDE.BIN", "ECLGRAPH.DAT", "grenze_1.bin" and "CITY.DAT",
// the writers of "ERDE.BIN" and "ERDE_0.BIN", and the module state.
// No Qt: messages go through the handler the program sets, files through
// Dateien.
#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>

#include "Dateien.h"
#include "ErdmodulIntern.h"
#include "Zahlen.h"

TEarthModel EarthModel;

namespace {

const char* const CompactCoastFile = "ERDE_0.BIN";
const char* const BinaryCoastFile = "ERDE.BIN";
const char* const TextCoastFile = "ECLGRAPH.DAT";
const char* const CityFile = "CITY.DAT";

// The longitude the closing separator pair of a converted file gets.
constexpr long double SeparatorMark = 900 * DegToRad;

// Steps of the compact writer: small enough that a step plus the rounding
// left over from the step before still fits the two-byte delta's range
// (-5 .. +6.21 degrees in longitude, -2.4 .. +8.81 in latitude).
constexpr long double MaxWriterStepLon = 4.9L * DegToRad;
constexpr long double MaxWriterStepLat = 2.3L * DegToRad;
// Deltas per written segment: the coastline file keeps to 201 points per
// segment, so other programs that read it with fixed buffers still can.
constexpr int MaxWrittenDeltas = 200;

// ---- bytes -----------------------------------------------------------------------

float SingleAt(const std::vector<uint8_t>& bytes, size_t at) {
  const uint32_t bits = uint32_t(bytes[at]) | uint32_t(bytes[at + 1]) << 8 |
                        uint32_t(bytes[at + 2]) << 16 | uint32_t(bytes[at + 3]) << 24;
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

void AppendSingle(std::vector<uint8_t>& bytes, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<uint8_t>(bits >> (8 * i)));
}

void StoreSegment(std::vector<TSegment>& table, const std::vector<TEarthPoint>& points) {
  // A segment without points cannot be drawn; two separators in a row give one.
  if (points.empty()) return;
  TSegment segment;
  segment.Count = static_cast<int32_t>(points.size());
  segment.Points = points;
  BoundSegment(segment);
  table.push_back(std::move(segment));
}

// ---- "ECLGRAPH.DAT" --------------------------------------------------------------

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f';
}

// The number at the start of the next line that holds one, as a Pascal
// Readln of a real reads it: blanks and empty lines are passed over, the
// number ends at a blank, the rest of its line is skipped. False at the end
// of the text and for a word that is not a number; both end the data.
bool NextNumber(const std::string& text, size_t& pos, long double& value) {
  while (pos < text.size() && IsBlank(text[pos])) ++pos;
  if (pos >= text.size()) return false;
  const size_t start = pos;
  while (pos < text.size() && !IsBlank(text[pos])) ++pos;
  const std::string word = text.substr(start, pos - start);
  while (pos < text.size() && text[pos] != '\n') ++pos;
  return ParseReal(word, value) == 0;
}

// ---- "CITY.DAT" ------------------------------------------------------------------

// A number field of a city line; blanks around it are allowed.
bool ParseField(const std::string& field, long double& value) {
  const size_t first = field.find_first_not_of(" \t");
  if (first == std::string::npos) return false;
  const size_t last = field.find_last_not_of(" \t");
  return ParseReal(field.substr(first, last - first + 1), value) == 0;
}

// One city line: name, latitude, longitude. False for a line that lacks a
// field or whose coordinates are not numbers.
bool ParseCityLine(const std::string& line, std::string& name, float& lon, float& lat) {
  const size_t first = line.find(',');
  if (first == std::string::npos) return false;
  const size_t second = line.find(',', first + 1);
  if (second == std::string::npos) return false;
  long double latDegrees = 0, lonDegrees = 0;
  if (!ParseField(line.substr(first + 1, second - first - 1), latDegrees)) return false;
  if (!ParseField(line.substr(second + 1), lonDegrees)) return false;
  lat = RoundToSingle(latDegrees * DegToRad);
  lon = RoundToSingle(lonDegrees * DegToRad);
  if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
  name = Cp1252ToUtf8(line.substr(0, std::min(first, MaxCityNameLength)));
  return true;
}

// ---- the compact writer -------------------------------------------------------------

long double WrapLongitude(long double lon) {
  lon = std::fmod(lon, 2 * Pi);
  return lon < 0 ? lon + 2 * Pi : lon;
}

// The longitude difference to - from in [-pi, pi]. Both are wrapped first,
// so that a longitude many turns away keeps its fraction of a turn.
long double ShortWayRound(long double to, long double from) {
  long double d = WrapLongitude(to) - WrapLongitude(from);
  if (d > Pi) d -= 2 * Pi;
  if (d < -Pi) d += 2 * Pi;
  return d;
}

long double ClampLatitude(long double lat) {
  return std::clamp(lat, -Pi / 2, Pi / 2);
}

int NearestCode(long double value, int highest) {
  return static_cast<int>(
      std::clamp(std::nearbyint(value), 0.0L, static_cast<long double>(highest)));
}

// Builds the segments of one polyline: a header, then deltas that are
// rounded against the position the reader will have decoded, so the
// rounding never adds up along the line.
class CompactSegmentWriter {
public:
  explicit CompactSegmentWriter(std::vector<uint8_t>& out) : Out(out) {}

  void Start(long double lon, long double lat) {
    Flush();
    LonCode = NearestCode(WrapLongitude(lon) / DeltaUnit, 8191);
    LatCode = NearestCode((ClampLatitude(lat) + Pi / 2) / Pi * 8191, 8191);
    // Exactly what ReadSegmentHeader gives for these codes.
    RunLon = RoundToSingle(LonCode * DeltaUnit);
    RunLat = RoundToSingle(LatCode / 8191.0L * Pi - Pi / 2);
  }

  // Adds the deltas that lead to (lon, lat), with intermediate points where
  // one delta cannot span the distance.
  void LineTo(long double lon, long double lat) {
    lat = ClampLatitude(lat);
    const long double dLon = ShortWayRound(lon, RunLon);
    const long double dLat = lat - RunLat;
    const long double steps = std::max({1.0L, std::ceil(std::fabs(dLon) / MaxWriterStepLon),
                                        std::ceil(std::fabs(dLat) / MaxWriterStepLat)});
    const long double fromLon = RunLon, fromLat = RunLat;
    for (int k = 1; k <= static_cast<int>(steps); ++k)
      AddDelta(fromLon + dLon * k / steps, fromLat + dLat * k / steps);
  }

  // Writes the segment built so far.
  void Flush() {
    if (LonCode < 0) return;
    const int c = static_cast<int>(Deltas.size()) / 2;
    Out.push_back(static_cast<uint8_t>(0x80 | (LonCode >> 8)));
    Out.push_back(static_cast<uint8_t>(LonCode & 0xFF));
    Out.push_back(static_cast<uint8_t>((LatCode >> 8) | ((c >> 8) << 6)));
    Out.push_back(static_cast<uint8_t>(LatCode & 0xFF));
    Out.push_back(static_cast<uint8_t>(c & 0xFF));
    Out.insert(Out.end(), Deltas.begin(), Deltas.end());
    Deltas.clear();
    LonCode = -1;
  }

private:
  void AddDelta(long double lon, long double lat) {
    if (static_cast<int>(Deltas.size()) / 2 == MaxWrittenDeltas) {
      // Full: go on in a new segment that starts where this one ends.
      const float lastLon = RunLon, lastLat = RunLat;
      Start(lastLon, lastLat);
    }
    // The running longitude may lie a turn away from the goal (after a new
    // header, which wraps it), so the difference is taken the short way round.
    const long double dLon = ShortWayRound(lon, RunLon);
    const int g = NearestCode((dLon + WordDeltaLonOffset) / DeltaUnit, 255);
    const int l = NearestCode((lat - RunLat + WordDeltaLatOffset) / DeltaUnit, 255);
    long double stepLon, stepLat;
    DecodeWordDelta(static_cast<uint16_t>(g << 8 | l), stepLon, stepLat);
    RunLon = RoundToSingle(RunLon + stepLon);
    RunLat = RoundToSingle(RunLat + stepLat);
    Deltas.push_back(static_cast<uint8_t>(l));
    Deltas.push_back(static_cast<uint8_t>(g));
  }

  std::vector<uint8_t>& Out;
  std::vector<uint8_t> Deltas; // L, G pairs
  int LonCode = -1;            // -1: no segment begun
  int LatCode = 0;
  float RunLon = 0, RunLat = 0; // the position the reader reaches
};

bool IsFinitePoint(const TEarthPoint& p) {
  return std::isfinite(p.Polar.Lon) && std::isfinite(p.Polar.Lat);
}

} // namespace

// ---- conversions -----------------------------------------------------------------

float RoundToSingle(long double value) {
  if (value > FLT_MAX) return std::numeric_limits<float>::infinity();
  if (value < -FLT_MAX) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

void EarthPolarToVector(const TEarthPolar& P, TEarthVector& V) {
  const long double r = P.R, lon = P.Lon, lat = P.Lat;
  const long double horizontal = r * std::cos(lat);
  V.Length = P.R;
  V.X = RoundToSingle(horizontal * std::cos(lon));
  V.Y = RoundToSingle(horizontal * std::sin(lon));
  V.Z = RoundToSingle(r * std::sin(lat));
}

void EarthVectorToPolar(const TEarthVector& V, TEarthPolar& P) {
  const long double x = V.X, y = V.Y, z = V.Z;
  P.R = V.Length;
  P.Lat = RoundToSingle(ArcTan2(z, std::sqrt(x * x + y * y)));
  float lon = RoundToSingle(ArcTan2(y, x));
  if (lon < 0) lon = RoundToSingle(lon + 2 * Pi);
  // A tiny negative angle plus 2 pi rounds to 2 pi itself, which is 0.
  if (lon >= 2 * Pi) lon = 0;
  P.Lon = lon;
}

void RotateEarthVector(const TMatrix& M, TEarthVector& V) {
  const long double old[3] = {V.X, V.Y, V.Z};
  float result[3];
  for (int row = 0; row < 3; ++row) {
    float sum = 0;
    for (int column = 0; column < 3; ++column)
      sum = RoundToSingle(sum + M.M[row][column] * old[column]);
    result[row] = sum;
  }
  V.X = result[0];
  V.Y = result[1];
  V.Z = result[2];
}

TEarthPoint EarthPointAt(float lon, float lat) {
  TEarthPoint point;
  point.Polar = {lon, lat, 1.0f};
  EarthPolarToVector(point.Polar, point.Vector);
  return point;
}

// ---- the folder ---------------------------------------------------------------------

std::string EarthDataFolder() {
  const char* const names[] = {CompactCoastFile, BinaryCoastFile, TextCoastFile, "grenze_1.bin",
                               CityFile};
  auto holdsEarthData = [&names](const std::string& folder) {
    for (const char* name : names)
      if (!FindFileIn(folder, name).empty()) return true;
    return false;
  };
  if (holdsEarthData("")) return "";
  for (const std::string& folder : DataFolders())
    if (holdsEarthData(folder)) return folder;
  return "";
}

std::string EarthFile(const std::string& name) {
  // With a folder in front, the name is looked for in that folder only.
  const std::string folder = EarthDataFolder();
  return (folder.empty() ? std::string(".") : folder) + "/" + name;
}

// ---- messages ----------------------------------------------------------------------

void SetEarthMessageHandler(EarthMessageHandler handler) {
  EarthModel.MessageHandler = handler;
}

void ReportEarthMessage(const std::string& line) {
  std::string text;
  for (const char c : line)
    if (c != '\a') text += c;
  const size_t first = text.find_first_not_of(' ');
  const size_t last = text.find_last_not_of(' ');
  ReportProblem(first == std::string::npos ? "" : text.substr(first, last - first + 1));
}

void EarthMessage(const std::string& line) {
  if (EarthModel.MessageHandler)
    EarthModel.MessageHandler(line);
  else
    ReportEarthMessage(line);
}

// ---- compact files -------------------------------------------------------------------

bool NameHasWordDeltas(const std::string& name) {
  return name.find("_0") != std::string::npos;
}

bool AtEndOfFile(const TOutlineFile& file) {
  return file.Position >= file.Bytes.size();
}

bool ReadSegmentHeader(TOutlineFile& file, int& count, float& lon, float& lat) {
  if (file.Bytes.size() - file.Position < 5) {
    file.Position = file.Bytes.size();
    return false;
  }
  const uint8_t* header = file.Bytes.data() + file.Position;
  file.Position += 5;
  file.PenUp = (header[0] & 0x80) != 0;
  const int lonCode = (header[0] & 0x1F) * 256 + header[1];
  const int latCode = (header[2] & 0x1F) * 256 + header[3];
  count = (header[2] & 0xC0) * 4 + header[4];
  // Files with one-byte deltas count the longitude from -pi.
  lon = RoundToSingle(file.WordDeltas ? lonCode * DeltaUnit : lonCode * DeltaUnit - Pi);
  lat = RoundToSingle(latCode / 8191.0L * Pi - Pi / 2);
  return true;
}

int ReadSegmentDeltas(TOutlineFile& file, int count) {
  file.Deltas = nullptr;
  file.DeltaCount = 0;
  if (count > MaxSegmentDeltas) {
    EarthMessage("\a n zu groß : " + std::to_string(count));
    return 0;
  }
  if (count <= 0) return 0;
  const size_t width = file.WordDeltas ? 2 : 1;
  const size_t left = file.Bytes.size() - file.Position;
  const size_t found = std::min(static_cast<size_t>(count), left / width);
  file.Deltas = file.Bytes.data() + file.Position;
  file.DeltaCount = static_cast<int>(found);
  // A file cut inside the deltas has nothing more to give.
  file.Position =
      found < static_cast<size_t>(count) ? file.Bytes.size() : file.Position + found * width;
  return file.DeltaCount;
}

void DecodeWordDelta(uint16_t word, long double& dLon, long double& dLat) {
  const int g = word >> 8, l = word & 0xFF;
  dLon = g * DeltaUnit - WordDeltaLonOffset;
  dLat = l * DeltaUnit - WordDeltaLatOffset;
}

void DecodeNibbleDelta(uint8_t byte, long double& dLon, long double& dLat) {
  // The offset is 7.4, not 7.5: a nibble of 7 still moves the point.
  const int g = byte >> 4, l = byte & 0x0F;
  dLon = (g - 7.4L) * 2 * DeltaUnit;
  dLat = (l - 7.4L) * DeltaUnit;
}

void DecodeDelta(const TOutlineFile& file, int k, long double& dLon, long double& dLat) {
  if (file.WordDeltas)
    DecodeWordDelta(static_cast<uint16_t>(file.Deltas[2 * k] | file.Deltas[2 * k + 1] << 8), dLon,
                    dLat);
  else
    DecodeNibbleDelta(file.Deltas[k], dLon, dLat);
}

void DecodeCompactCoastlines(const std::vector<uint8_t>& bytes, bool wordDeltas,
                             std::vector<TSegment>& table) {
  table.clear();
  TOutlineFile file;
  file.Bytes = bytes;
  file.WordDeltas = wordDeltas;
  int count = 0;
  float lon = 0, lat = 0;
  std::vector<TEarthPoint> points;
  while (ReadSegmentHeader(file, count, lon, lat)) {
    points.clear();
    points.push_back(EarthPointAt(lon, lat));
    const int found = ReadSegmentDeltas(file, count);
    // The running longitude is not wrapped; only the stored one is.
    float runLon = lon, runLat = lat;
    for (int k = 0; k < found; ++k) {
      long double dLon, dLat;
      DecodeDelta(file, k, dLon, dLat);
      runLon = RoundToSingle(runLon + dLon);
      runLat = RoundToSingle(runLat + dLat);
      float shownLon = runLon;
      if (shownLon > 2 * Pi)
        shownLon = RoundToSingle(shownLon - 2 * Pi);
      else if (shownLon < 0)
        shownLon = RoundToSingle(shownLon + 2 * Pi);
      points.push_back(EarthPointAt(shownLon, runLat));
    }
    StoreSegment(table, points);
    if (found < count) break; // the file ends inside this segment
  }
}

std::vector<uint8_t> EncodeCompactCoastlines(const std::vector<TSegment>& table) {
  std::vector<uint8_t> out;
  CompactSegmentWriter writer(out);
  for (const TSegment& segment : table) {
    bool started = false;
    for (const TEarthPoint& point : segment.Points) {
      if (!IsFinitePoint(point)) continue;
      if (!started)
        writer.Start(point.Polar.Lon, point.Polar.Lat);
      else
        writer.LineTo(point.Polar.Lon, point.Polar.Lat);
      started = true;
    }
    writer.Flush();
  }
  return out;
}

// ---- "ERDE.BIN" and "ECLGRAPH.DAT" ----------------------------------------------------

void DecodeErdeBin(const std::vector<uint8_t>& bytes, std::vector<TSegment>& table) {
  table.clear();
  std::vector<TEarthPoint> points;
  for (size_t at = 0; at + 8 <= bytes.size(); at += 8) {
    const float lon = SingleAt(bytes, at), lat = SingleAt(bytes, at + 4);
    // A pair that is not a number is neither a point nor a mark.
    if (std::isnan(lon)) continue;
    if (lon < SeparatorLongitude) {
      if (std::isfinite(lon) && std::isfinite(lat)) points.push_back(EarthPointAt(lon, lat));
      continue;
    }
    // A separator stores the segment; the end mark drops it.
    if (lon < EndLongitude) StoreSegment(table, points);
    points.clear();
  }
}

std::vector<uint8_t> ConvertEclgraphText(const std::string& text) {
  std::vector<uint8_t> out;
  size_t pos = 0;
  bool segmentOpen = false;
  bool endPair = false;
  long double lon = 0, lat = 0;
  while (NextNumber(text, pos, lon) && NextNumber(text, pos, lat)) {
    endPair = lon == 999 || lat == 999;
    if (endPair) break;
    // The file counts longitudes westward; separators (900 and more) pass as they are.
    if (lon < 900) lon = 360 - lon;
    const float lonRadians = RoundToSingle(lon * DegToRad);
    AppendSingle(out, lonRadians);
    AppendSingle(out, RoundToSingle(lat * DegToRad));
    segmentOpen = lonRadians < SeparatorLongitude;
  }
  // A file that ends without its 999 pair still keeps its last segment.
  if (!endPair && segmentOpen) {
    AppendSingle(out, RoundToSingle(SeparatorMark));
    AppendSingle(out, 0.0f);
  }
  AppendSingle(out, EndMark);
  AppendSingle(out, EndMark);
  return out;
}

// ---- "CITY.DAT" -------------------------------------------------------------------------

void DecodeCityText(const std::string& text, TSegment& points, std::vector<std::string>& names) {
  points.Points.clear();
  names.clear();
  const std::vector<std::string> lines = SplitTextLines(text);
  size_t i = 0;
  while (i < lines.size() && !lines[i].empty() && lines[i][0] == '%') ++i;
  ++i; // the heading after the comments
  for (; i < lines.size() && names.size() < static_cast<size_t>(MaxCities); ++i) {
    std::string name;
    float lon = 0, lat = 0;
    if (!ParseCityLine(lines[i], name, lon, lat)) continue;
    names.push_back(name);
    points.Points.push_back(EarthPointAt(lon, lat));
  }
  points.Count = static_cast<int32_t>(points.Points.size());
}

// ---- files --------------------------------------------------------------------------------

void LoadCompactCoastlines() {
  std::string bytes;
  if (!ReadWholeFile(EarthFile(CompactCoastFile), bytes).Ok) return;
  DecodeCompactCoastlines(std::vector<uint8_t>(bytes.begin(), bytes.end()), true,
                          EarthModel.Coastlines);
  EarthModel.CoastlinesLoaded = true;
}

bool ConvertEclgraphFile(std::vector<uint8_t>& erdeBin) {
  std::string text;
  if (!ReadWholeFile(EarthFile(TextCoastFile), text).Ok) return false;
  erdeBin = ConvertEclgraphText(text);
  // In a folder that cannot be written the caller reads erdeBin directly.
  WriteFileAtomically(EarthFile(BinaryCoastFile), std::string(erdeBin.begin(), erdeBin.end()));
  return true;
}

void LoadCoastlines() {
  if (EarthModel.CoastlinesLoaded) return;
  if (FileIsReadable(EarthFile(CompactCoastFile))) {
    LoadCompactCoastlines();
    return;
  }
  std::vector<uint8_t> erdeBin;
  bool converted = false;
  if (!FileIsReadable(EarthFile(BinaryCoastFile))) converted = ConvertEclgraphFile(erdeBin);
  if (FileIsReadable(EarthFile(BinaryCoastFile))) {
    std::string bytes;
    if (!ReadWholeFile(EarthFile(BinaryCoastFile), bytes).Ok) return;
    erdeBin.assign(bytes.begin(), bytes.end());
  } else if (!converted) {
    EarthMessage(" Weder \"ECLGRAPH.DAT\" noch \"ERDE.BIN\" noch \"ERDE_0.BIN\" gefunden ! \a");
    return;
  }
  DecodeErdeBin(erdeBin, EarthModel.Coastlines);
  EarthModel.CoastlinesLoaded = true;
}

namespace {

// Points in a run: enough that the run's own turn costs little beside its
// points, few enough that a coast crossing the limb keeps most of its far
// part in runs wholly out of sight.
constexpr size_t PointsPerRun = 32;

TPointRun BoundRun(const std::vector<TEarthPoint>& points, size_t first, size_t count) {
  double centre[3] = {0, 0, 0};
  for (size_t i = first; i < first + count; ++i) {
    centre[0] += points[i].Vector.X;
    centre[1] += points[i].Vector.Y;
    centre[2] += points[i].Vector.Z;
  }
  for (double& c : centre) c /= static_cast<double>(count);
  double reach = 0;
  for (size_t i = first; i < first + count; ++i) {
    const double dx = points[i].Vector.X - centre[0], dy = points[i].Vector.Y - centre[1],
                 dz = points[i].Vector.Z - centre[2];
    reach = std::max(reach, std::sqrt(dx * dx + dy * dy + dz * dz));
  }
  TPointRun run;
  run.First = first;
  run.Count = count;
  run.Centre.Vector = {1, static_cast<float>(centre[0]), static_cast<float>(centre[1]),
                       static_cast<float>(centre[2])};
  // Rounded up, with room for the rounding of the centre to single precision.
  run.Reach = static_cast<float>(reach * (1 + 1e-6) + 1e-6);
  return run;
}

} // namespace

void BoundSegment(TSegment& segment) {
  segment.Runs.clear();
  const size_t n = segment.Points.size();
  for (size_t first = 0; first < n; first += PointsPerRun)
    segment.Runs.push_back(BoundRun(segment.Points, first, std::min(PointsPerRun, n - first)));
}

bool WriteCompactCoastlines(const std::vector<TSegment>& table) {
  const std::vector<uint8_t> bytes = EncodeCompactCoastlines(table);
  return WriteFileAtomically(EarthFile(CompactCoastFile), std::string(bytes.begin(), bytes.end()))
      .Ok;
}

void LoadCities() {
  if (EarthModel.CitiesLoaded || !FileIsReadable(EarthFile(CityFile))) return;
  std::string text;
  if (!ReadWholeFile(EarthFile(CityFile), text).Ok) return;
  DecodeCityText(text, EarthModel.CityPoints, EarthModel.CityNames);
  EarthModel.CitiesLoaded = true;
}

void ReleaseEarthModel() {
  EarthModel.Coastlines.clear();
  EarthModel.Coastlines.shrink_to_fit();
  EarthModel.CoastlinesLoaded = false;
  EarthModel.GridLines.clear();
  EarthModel.GridLines.shrink_to_fit();
  EarthModel.GridBuilt = false;
  EarthModel.CityPoints = TSegment();
  EarthModel.CityNames.clear();
  EarthModel.CityNames.shrink_to_fit();
  EarthModel.CitiesLoaded = false;
}
