// The failure dump of the path finder: the shape image, the request log and
// the report, written when a search fails. The game goes on afterwards.
#include "pathfinding/FailureDump.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/IniFile.h"
#include "base/LittleEndian.h"
#include "base/Path.h"
#include "base/Strings.h"
#include "base/datafile/FileRoutines.h"

namespace shpf {

namespace {

const char16_t kCaption[] = u"Ошибка поиска пути!";

// What a dump may ask of memory and time, far beyond any level (a handful of
// walker footprints, some thousands of obstacles on a map of 64-pixel cells):
// the grids and their cells, the shapes, the shapes entered into grids, the
// cells these are filed in (one list slot each) and the merging work (the sum
// over the cells of the square of the shapes filed there: each shape of a
// group looks at every shape of its cells). Within these a dump loads in
// about a second at worst.
constexpr u32 kMaxDumpGrids = 64;
constexpr u64 kMaxDumpCells = u64{1} << 21;
constexpr u32 kMaxDumpShapes = 1u << 16;
constexpr u64 kMaxDumpGridShapes = u64{1} << 19;
constexpr u64 kMaxDumpEntries = u64{1} << 22;
constexpr u64 kMaxDumpWork = u64{1} << 26;

bool Put16(kis::Stream* s, u16 v) {
  u8 b[2];
  kis::PutU16LE(b, v);
  return s->WriteBlock(b, 2);
}

bool Put32(kis::Stream* s, u32 v) {
  u8 b[4];
  kis::PutU32LE(b, v);
  return s->WriteBlock(b, 4);
}

// The whole of `s` is `word`, ignoring the case of A-Z.
bool IsWord(std::string_view s, const char* word) {
  return s.size() == kis::StrLenA(word) && kis::StrICompareNA(s.data(), word, static_cast<u32>(s.size())) == 0;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

// Splits ini text into lines without their line ends.
std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
    at = end + 1;
  }
  return lines;
}

bool IsSection(std::string_view line, std::string_view* name) {
  line = Trim(line);
  if (line.size() < 2 || line.front() != '[') return false;
  const size_t close = line.find(']');
  if (close == std::string_view::npos) return false;
  *name = line.substr(1, close - 1);
  return true;
}

std::u16string Wide(const std::string& ascii) { return std::u16string(ascii.begin(), ascii.end()); }

std::u16string PointText(float x, float y) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.6f, %.6f", static_cast<double>(x), static_cast<double>(y));
  return Wide(buf);
}

class StderrSink : public PathFailureSink {
 public:
  void Report(const std::u16string& caption, const std::u16string& message) override {
    std::fprintf(stderr, "ERROR! %s\n%s\n", kis::WideToUtf8(caption).c_str(), kis::WideToUtf8(message).c_str());
  }
};

bool ParseU32(std::string_view s, u32* out) {
  s = Trim(s);
  if (s.empty() || s.size() > 10) return false;
  u64 v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<u64>(c - '0');
  }
  if (v > 0xFFFFFFFFu) return false;
  *out = static_cast<u32>(v);
  return true;
}

bool ParseFloat(std::string_view s, float* out) {
  const std::string t(Trim(s));
  if (t.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const float v = std::strtof(t.c_str(), &end);
  if (end != t.c_str() + t.size() || errno != 0) return false;
  *out = v;
  return true;
}

bool ParsePoint(std::string_view s, float* x, float* y) {
  const size_t comma = s.find(',');
  return comma != std::string_view::npos && ParseFloat(s.substr(0, comma), x) && ParseFloat(s.substr(comma + 1), y);
}

// Weighs the shape records against the finder's grids before any is added.
bool ShapesFit(const PathFinder& pf, const u8* records, u32 count) {
  std::vector<u32> filed(static_cast<size_t>(pf.GetColumns()) * static_cast<size_t>(pf.GetRows()));
  u64 gridShapes = 0, entries = 0, work = 0;
  for (i32 g = 0; g < pf.GetGrids().GetCount(); ++g) {
    std::fill(filed.begin(), filed.end(), 0u);
    for (u32 i = 0; i < count; ++i) {
      const u8* s = records + static_cast<size_t>(i) * 12;
      i32 c[4];
      if (!pf.ShapeCells(pf.GetGrids()[g], kis::GetU32LE(s), kis::GetU32LE(s + 4), kis::GetU32LE(s + 8), c)) continue;
      entries += static_cast<u64>(c[2] - c[0]) * static_cast<u64>(c[3] - c[1]);
      if (++gridShapes > kMaxDumpGridShapes || entries > kMaxDumpEntries) return false;
      for (i32 r = c[1]; r < c[3]; ++r)
        for (i32 k = c[0]; k < c[2]; ++k) ++filed[static_cast<size_t>(r) * pf.GetColumns() + static_cast<size_t>(k)];
    }
    for (u32 n : filed) {
      work += u64{n} * n;
      if (work > kMaxDumpWork) return false;
    }
  }
  return true;
}

}  // namespace

bool PathFinder::DumpShapes(kis::Stream* stream) const {
  if (!stream || !stream->IsOpen() || updateNesting_ > 0) return false;
  if (!Put16(stream, width_) || !Put16(stream, height_) || !Put16(stream, static_cast<u16>(cellWidth_)) ||
      !Put16(stream, static_cast<u16>(cellHeight_)) || !Put32(stream, static_cast<u32>(grids_.GetCount())))
    return false;
  for (i32 i = 0; i < grids_.GetCount(); ++i) {
    const _SHAPEGRID* g = grids_[i];
    if (!Put32(stream, g->id) || !Put16(stream, static_cast<u16>(g->footLeft)) ||
        !Put16(stream, static_cast<u16>(g->footTop)) || !Put16(stream, static_cast<u16>(g->footRight)) ||
        !Put16(stream, static_cast<u16>(g->footBottom)) || !Put32(stream, g->mask) ||
        !Put16(stream, static_cast<u16>(g->boundLeft)) || !Put16(stream, static_cast<u16>(g->boundTop)) ||
        !Put16(stream, static_cast<u16>(g->boundRight)) || !Put16(stream, static_cast<u16>(g->boundBottom)))
      return false;
  }
  if (!Put32(stream, static_cast<u32>(shapes_.GetCount()))) return false;
  for (i32 i = 0; i < shapes_.GetCount(); ++i) {
    const _SHAPE* s = shapes_[i];
    if (!Put16(stream, static_cast<u16>(s->left)) || !Put16(stream, static_cast<u16>(s->top)) ||
        !Put16(stream, static_cast<u16>(s->right)) || !Put16(stream, static_cast<u16>(s->bottom)) ||
        !Put32(stream, s->mask))
      return false;
  }
  return true;
}

// Writes both files and reports the failure. A file that cannot be written
// does not stop the rest; nothing here ends the program.
void PathFinder::WriteFailureDump(const char16_t* message, const _PATHREQUEST* request) {
  if (!request) request = currentRequest_;
  const _PATHREQUEST none{};
  if (!request) request = &none;
  std::u16string folder = dumpFolder_;
  if (folder.empty()) {
    wchar appDir[kis::CustomIniFileW::kMaxPath];
    folder = kis::GetAppDirW(appDir, kis::CustomIniFileW::kMaxPath);
  }
  if (!folder.empty() && folder.back() != u'/' && folder.back() != u'\\') folder += u'/';

  {
    kis::FileStreamW file((folder + u"$crash.shpf").c_str(), kis::kStreamCreate);
    DumpShapes(&file);
  }
  // A new failure replaces the old log whole; the ini file writes each key
  // through to the disk, with CR LF line ends.
  const std::u16string log = folder + u"$crash.log";
  kis::RemoveFileW(log.c_str());
  kis::IniFileW ini(log.c_str());
  ini.WriteString(u"CRASH", u"GridID", Wide(std::to_string(request->gridId)).c_str());
  ini.WriteString(u"CRASH", u"Interval", Wide(std::to_string(request->interval)).c_str());
  ini.WriteString(u"CRASH", u"Start", PointText(request->startX, request->startY).c_str());
  ini.WriteString(u"CRASH", u"Finish", PointText(request->finishX, request->finishY).c_str());

  static StderrSink stderrSink;
  PathFailureSink* sink = failureSink_ ? failureSink_ : &stderrSink;
  sink->Report(kCaption, message ? std::u16string(message) : std::u16string());
}

std::unique_ptr<PathFinder> ReadShapeDump(const u8* data, size_t size) {
  if (!data || size < 16) return nullptr;
  const u16 width = kis::GetU16LE(data), height = kis::GetU16LE(data + 2);
  const u16 cw = kis::GetU16LE(data + 4), ch = kis::GetU16LE(data + 6);
  const u32 grids = kis::GetU32LE(data + 8);
  if (grids > kMaxDumpGrids || grids > (size - 16) / 24) return nullptr;
  size_t at = 12 + static_cast<size_t>(grids) * 24;
  const u32 shapes = kis::GetU32LE(data + at);
  at += 4;
  if (shapes > kMaxDumpShapes || shapes > (size - at) / 12 || at + static_cast<size_t>(shapes) * 12 != size)
    return nullptr;
  auto pf = std::make_unique<PathFinder>(width, height, cw, ch);
  if (!pf->IsValid()) return nullptr;
  if (u64{grids} * static_cast<u64>(pf->GetColumns()) * static_cast<u64>(pf->GetRows()) > kMaxDumpCells)
    return nullptr;
  for (u32 i = 0; i < grids; ++i) {
    const u8* g = data + 12 + static_cast<size_t>(i) * 24;
    _SHAPEGRID* grid = pf->CreateGrid(kis::GetU32LE(g), kis::GetU32LE(g + 4), kis::GetU32LE(g + 8),
                                      kis::GetU32LE(g + 12));
    if (!grid) return nullptr;
    pf->SetGridBounds(grid, kis::GetU32LE(g + 16), kis::GetU32LE(g + 20));
  }
  if (!ShapesFit(*pf, data + at, shapes)) return nullptr;
  pf->BeginUpdate();
  for (u32 i = 0; i < shapes; ++i) {
    const u8* s = data + at + static_cast<size_t>(i) * 12;
    pf->AddShape(kis::GetU32LE(s), kis::GetU32LE(s + 4), kis::GetU32LE(s + 8));
  }
  pf->EndUpdate();
  return pf;
}

bool ReadCrashLog(std::string_view text, CrashRequest* out) {
  CrashRequest r{};
  bool inSection = false;
  u32 seen = 0;
  for (const std::string& line : Lines(std::string(text))) {
    std::string_view name;
    if (IsSection(line, &name)) {
      inSection = IsWord(Trim(name), "CRASH");
      continue;
    }
    const size_t eq = line.find('=');
    if (!inSection || eq == std::string::npos) continue;
    const std::string_view key = Trim(std::string_view(line).substr(0, eq));
    const std::string_view value = std::string_view(line).substr(eq + 1);
    if (IsWord(key, "GridID")) {
      if (!ParseU32(value, &r.gridId)) return false;
      seen |= 1;
    } else if (IsWord(key, "Interval")) {
      if (!ParseU32(value, &r.interval)) return false;
      seen |= 2;
    } else if (IsWord(key, "Start")) {
      if (!ParsePoint(value, &r.startX, &r.startY)) return false;
      seen |= 4;
    } else if (IsWord(key, "Finish")) {
      if (!ParsePoint(value, &r.finishX, &r.finishY)) return false;
      seen |= 8;
    }
  }
  if (seen != 15) return false;
  *out = r;
  return true;
}

}  // namespace shpf
