// The failure dump of the path finder: the shape image, the request log and
// the report, written when a search fails. The game goes on afterwards.
#include "pathfinding/FailureDump.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "base/LittleEndian.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

namespace shpf {

namespace {

const char16_t kCaption[] = u"Ошибка поиска пути!";

constexpr u32 kMaxDumpGrids = 4096;
constexpr u32 kMaxDumpShapes = 1u << 20;

// A write-only byte stream over a stdio file, created anew.
class DumpFile : public kis::Stream {
 public:
  explicit DumpFile(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {}
  ~DumpFile() override { Close(); }
  bool Close() {
    if (!file_) return true;
    const bool ok = std::fclose(file_) == 0;
    file_ = nullptr;
    return ok;
  }
  bool IsOpen() const override { return file_ != nullptr; }
  bool SetSize(u64) override { return false; }
  u64 Seek(i64, u32) override { return file_ ? static_cast<u64>(std::ftell(file_)) : 0; }
  u64 Read(void*, u64) override { return 0; }
  u64 Write(const void* buffer, u64 size) override {
    return file_ ? std::fwrite(buffer, 1, static_cast<size_t>(size), file_) : 0;
  }

 private:
  std::FILE* file_;
};

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

std::string ReadWholeFile(const std::string& path, bool* exists) {
  std::string text;
  std::FILE* f = std::fopen(path.c_str(), "rb");
  *exists = f != nullptr;
  if (!f) return text;
  char buf[4096];
  size_t n;
  while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) text.append(buf, n);
  std::fclose(f);
  return text;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
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

bool IsKey(std::string_view line, std::string_view key) {
  line = Trim(line);
  if (line.empty() || line.front() == ';') return false;
  const size_t eq = line.find('=');
  return eq != std::string_view::npos && EqualNoCase(Trim(line.substr(0, eq)), key);
}

// Writes one key the way the game's ini files do: an existing key's line is
// replaced, a new key goes after the last key of its section, a new section
// is appended; lines end in CR LF. The file is replaced whole through a
// temporary file, so every key is on disk when the call returns.
bool WriteIniKey(const std::string& path, std::string_view section, std::string_view key, std::string_view value) {
  bool exists = false;
  std::vector<std::string> lines = Lines(ReadWholeFile(path, &exists));
  std::string entry(key);
  entry += '=';
  entry += value;
  size_t sectionAt = lines.size();
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string_view name;
    if (IsSection(lines[i], &name) && EqualNoCase(Trim(name), section)) {
      sectionAt = i;
      break;
    }
  }
  if (sectionAt == lines.size()) {
    std::string header(1, '[');
    header += section;
    header += ']';
    lines.push_back(header);
    lines.push_back(entry);
  } else {
    size_t insertAt = sectionAt + 1;
    bool replaced = false;
    for (size_t i = sectionAt + 1; i < lines.size(); ++i) {
      std::string_view name;
      if (IsSection(lines[i], &name)) break;
      if (IsKey(lines[i], key)) {
        lines[i] = entry;
        replaced = true;
        break;
      }
      if (Trim(lines[i]).find('=') != std::string_view::npos) insertAt = i + 1;
    }
    if (!replaced) lines.insert(lines.begin() + static_cast<long>(insertAt), entry);
  }
  std::string text;
  for (const std::string& l : lines) {
    text += l;
    text += "\r\n";
  }
  std::string temp(path);
  temp += ".tmp";
  std::FILE* f = std::fopen(temp.c_str(), "wb");
  if (!f) return false;
  const bool written = std::fwrite(text.data(), 1, text.size(), f) == text.size();
  const bool closed = std::fclose(f) == 0;
  if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
    std::remove(temp.c_str());
    return false;
  }
  return true;
}

std::string PointText(float x, float y) {
  char buf[128];
  std::snprintf(buf, sizeof buf, "%.6f, %.6f", static_cast<double>(x), static_cast<double>(y));
  return buf;
}

class StderrSink : public PathFailureSink {
 public:
  void Report(const std::u16string& caption, const std::u16string& message) override {
    std::fprintf(stderr, "ERROR! %s\n%s\n", plat::Utf16ToUtf8(caption).c_str(), plat::Utf16ToUtf8(message).c_str());
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
    folder = plat::GetProgramPath();
    const size_t slash = folder.find_last_of(u'/');
    folder = slash == std::u16string::npos ? std::u16string(u".") : folder.substr(0, slash);
  }
  if (!folder.empty() && folder.back() != u'/' && folder.back() != u'\\') folder += u'/';

  {
    DumpFile file(plat::NativePath(folder + u"$crash.shpf"));
    DumpShapes(&file);
    file.Close();
  }
  const std::string log = plat::NativePath(folder + u"$crash.log");
  std::remove(log.c_str());  // a new failure replaces the old log whole
  WriteIniKey(log, "CRASH", "GridID", std::to_string(request->gridId));
  WriteIniKey(log, "CRASH", "Interval", std::to_string(request->interval));
  WriteIniKey(log, "CRASH", "Start", PointText(request->startX, request->startY));
  WriteIniKey(log, "CRASH", "Finish", PointText(request->finishX, request->finishY));

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
  for (u32 i = 0; i < grids; ++i) {
    const u8* g = data + 12 + static_cast<size_t>(i) * 24;
    _SHAPEGRID* grid = pf->CreateGrid(kis::GetU32LE(g), kis::GetU32LE(g + 4), kis::GetU32LE(g + 8),
                                      kis::GetU32LE(g + 12));
    if (!grid) return nullptr;
    pf->SetGridBounds(grid, kis::GetU32LE(g + 16), kis::GetU32LE(g + 20));
  }
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
      inSection = EqualNoCase(Trim(name), "CRASH");
      continue;
    }
    const size_t eq = line.find('=');
    if (!inSection || eq == std::string::npos) continue;
    const std::string_view key = Trim(std::string_view(line).substr(0, eq));
    const std::string_view value = std::string_view(line).substr(eq + 1);
    if (EqualNoCase(key, "GridID")) {
      if (!ParseU32(value, &r.gridId)) return false;
      seen |= 1;
    } else if (EqualNoCase(key, "Interval")) {
      if (!ParseU32(value, &r.interval)) return false;
      seen |= 2;
    } else if (EqualNoCase(key, "Start")) {
      if (!ParsePoint(value, &r.startX, &r.startY)) return false;
      seen |= 4;
    } else if (EqualNoCase(key, "Finish")) {
      if (!ParsePoint(value, &r.finishX, &r.finishY)) return false;
      seen |= 8;
    }
  }
  if (seen != 15) return false;
  *out = r;
  return true;
}

}  // namespace shpf
