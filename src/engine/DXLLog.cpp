#include "engine/DXLLog.h"

#include <cerrno>
#include <cstdarg>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "base/FileStream.h"
#include "base/Path.h"
#include "base/StringList.h"
#include "base/Strings.h"
#include "base/TimeFormat.h"
#include "engine/DXLErrors.h"
#include "engine/DXLFormatWide.h"
#include "platform/encoding/Utf.h"
#include "platform/os/Clock.h"

namespace {

constexpr u32 kMaxText = 1023;        // bytes of a converted or formatted text
constexpr u32 kMaxFillText = 513;     // characters of a placeholder's fill text
constexpr u32 kPathCapacity = 4096;   // bytes of the log's full path with its terminator
constexpr u32 kErrorTextCapacity = 4096;

struct Placeholder {
  u32 position;
  u32 width;
};

// The process-wide log state.
struct LogState {
  std::string path;
  bool open = false;
  u32 column = 0;
  u32 indentation = 0;
  std::vector<u32> savedIndentations;
  kis::AnsiStrings closingTexts;
  std::vector<Placeholder> placeholders;
  std::set<std::string> missed;  // "KIND NAME" of the look-ups logged as missed
};

LogState& State() {
  static LogState state;  // one log file per process
  return state;
}

std::string FromWide(const wchar* text) {
  if (!text) return std::string();
  std::string out = plat::Utf16ToUtf8(std::u16string_view(text, kis::StrLenW(text)));
  plat::CutUtf8(out, kMaxText);
  return out;
}

std::string FormatV(u32 maxBytes, const char* format, va_list args) {
  if (!format) return std::string();
  std::vector<char> buffer(maxBytes + 1);
  const int n = std::vsnprintf(buffer.data(), buffer.size(), format, args);
  if (n < 0) return std::string();
  std::string out(buffer.data());
  if (static_cast<u32>(n) > maxBytes) plat::CutUtf8(out, maxBytes);  // vsnprintf may have split a character
  return out;
}

kis::SystemTime Now() {
  const plat::LocalTime t = plat::GetLocalTime();
  return kis::SystemTime{t.year, t.month, t.dayOfWeek, t.day, t.hour, t.minute, t.second, t.milliseconds};
}

// One write to the file: text is collected and appended in one go when the
// writer goes out of scope. When the file cannot be opened nothing is
// written, though the column still follows the text.
class LogWriter {
 public:
  LogWriter() : stream_(State().path.c_str(), kis::kStreamWrite) {
    if (stream_.IsOpen()) end_ = stream_.Seek(0, 2);
  }
  ~LogWriter() {
    if (stream_.IsOpen() && !pending_.empty()) stream_.WriteBlock(pending_.data(), pending_.size());
  }
  LogWriter(const LogWriter&) = delete;
  LogWriter& operator=(const LogWriter&) = delete;

  bool IsOpen() const { return stream_.IsOpen(); }
  // The file position the next byte will land on.
  u64 Position() const { return end_ + pending_.size(); }

  void Put(const std::string& text) {
    pending_ += text;
    State().column += static_cast<u32>(text.size());
  }
  void Entry(i32 indent, const std::string& text) {
    LogState& s = State();
    pending_ += "\r\n";
    s.column = 0;
    u32 spaces = indent < 0 ? s.indentation : static_cast<u32>(indent);
    if (spaces > kLogMaxIndent) spaces = kLogMaxIndent;
    Put(std::string(spaces, ' '));
    Put(text);
  }
  void PadTo(u32 column) {
    const u32 here = State().column;
    Put(std::string(column > here ? column - here : 1, ' '));
  }

 private:
  kis::FileStreamA stream_;
  u64 end_ = 0;
  std::string pending_;
};

void ValueLine(i32 indent, const std::string& label, const std::string& value) {
  LogWriter w;
  w.Entry(indent, label);
  if (!value.empty()) {
    w.PadTo(kLogValueColumn);
    w.Put(value);
  }
}

void ErrorLine(i32 indent, const std::string& message) {
  LogWriter w;
  w.Entry(indent, "ERROR! " + message);
}

// The text cut (at a character boundary) or padded with spaces to `width`.
std::string Field(std::string text, u32 width) {
  plat::CutUtf8(text, width);
  text.append(width - text.size(), ' ');
  return text;
}

std::vector<Placeholder>::iterator FindPlaceholder(i32 handle) {
  std::vector<Placeholder>& list = State().placeholders;
  for (auto it = list.begin(); it != list.end(); ++it)
    if (handle >= 0 && it->position == static_cast<u32>(handle)) return it;
  return list.end();
}

}  // namespace

bool DXLOpenLogW(const wchar* path) {
  const std::string utf8 = path ? plat::Utf16ToUtf8(std::u16string_view(path, kis::StrLenW(path))) : std::string();
  return DXLOpenLogA(utf8.c_str());
}

bool DXLOpenLogA(const char* path) {
  LogState& s = State();
  if (s.open) return true;
  s.column = 0;
  s.indentation = 0;
  if (!path || !path[0]) return false;

  // A path too long for the buffer would be cut and name another file: refuse it.
  std::vector<char> full(kPathCapacity);
  char program[kPathCapacity];
  kis::GetAppDirA(program, kPathCapacity);
  kis::MakeAbsolutePathA(full.data(), kPathCapacity, path, program, nullptr);
  if (kis::StrLenA(full.data()) >= kPathCapacity - 1) return false;
  s.path = full.data();

  // A log whose first line cannot be written (the disk full already) is no
  // log: it stays closed, and the caller can say why (errno).
  int error = 0;
  {
    kis::FileStreamA stream(s.path.c_str(), kis::kStreamCreate);
    s.open = stream.IsOpen();
    if (s.open) {
      char when[64];
      kis::FormatTimeA("DD.MM.Y, HH:NN:SS", when, sizeof(when), Now());
      std::string first = "LOG STARTED:";
      first.append(kLogValueColumn - first.size(), ' ');
      first += when;
      first += "\r\n";
      s.open = stream.WriteBlock(first.data(), first.size());
    }
    error = errno;
  }
  errno = error;
  return s.open;
}

void DXLCloseLog() {
  LogState& s = State();
  if (!s.open) return;
  while (!s.savedIndentations.empty()) DXLLogEndBlock(true);
  {
    LogWriter w;
    w.Entry(0, "LOG FINISHED.");
  }
  s.open = false;
  s.placeholders.clear();
  s.closingTexts.Clear();
  s.missed.clear();
}

bool DXLLogIsOpen() { return State().open; }
const char* DXLGetLogPath() { return State().path.c_str(); }

void DXLLogLine(i32 indent, const char* text) {
  if (!State().open) return;
  LogWriter w;
  w.Entry(indent, text ? text : "");
}

void DXLLogLookupMissA(const char* kind, const char* name) {
  LogState& s = State();
  if (!s.open) return;
  const std::string what = std::string(kind ? kind : "") + " " + (name ? name : "");
  if (!s.missed.insert(what).second) return;
  LogWriter w;
  w.Entry(0, ("look-up missed: " + what).c_str());
}

void DXLLogLookupMissW(const char* kind, const wchar* name) {
  if (!State().open) return;
  DXLLogLookupMissA(kind, FromWide(name).c_str());
}

void DXLLogValueA(i32 indent, const char* label, const char* value) {
  if (!State().open) return;
  ValueLine(indent, label ? label : "", value ? value : "");
}

void DXLLogValueW(i32 indent, const wchar* label, const wchar* value) {
  if (!State().open) return;
  ValueLine(indent, FromWide(label), FromWide(value));
}

void DXLLogValueFormat(i32 indent, const char* label, const char* format, ...) {
  if (!State().open) return;
  va_list args;
  va_start(args, format);
  const std::string value = FormatV(kMaxText + 1, format, args);
  va_end(args);
  ValueLine(indent, label ? label : "", value);
}

void DXLLogChoiceA(i32 indent, const char* label, bool flag, const char* ifSet, const char* ifNot) {
  DXLLogValueA(indent, label, flag ? ifSet : ifNot);
}

void DXLLogChoiceW(i32 indent, const wchar* label, bool flag, const wchar* ifSet, const wchar* ifNot) {
  DXLLogValueW(indent, label, flag ? ifSet : ifNot);
}

void DXLLogBeginBlock(const char* text, const char* closingText, bool nested) {
  LogState& s = State();
  if (!s.open) return;
  if (!nested && !s.savedIndentations.empty()) DXLLogEndBlock(true);
  {
    LogWriter w;
    w.Entry(-1, text ? text : "");
    w.PadTo(kLogValueColumn);
    char when[32];
    kis::FormatTimeA("HH:NN:SS.ZZZ", when, sizeof(when), Now());
    w.Put(when);
  }
  s.closingTexts.AddString(closingText ? closingText : "");
  s.savedIndentations.push_back(s.indentation);
  s.indentation += 4;
}

void DXLLogEndBlock(bool succeeded) {
  LogState& s = State();
  if (!s.open || s.savedIndentations.empty()) return;
  s.indentation = s.savedIndentations.back();
  s.savedIndentations.pop_back();
  const i32 last = s.closingTexts.GetCount() - 1;
  const std::string closing = s.closingTexts.GetString(last) ? s.closingTexts.GetString(last) : "";
  s.closingTexts.Delete(last);
  LogWriter w;
  if (succeeded && !closing.empty()) w.Entry(-1, closing);
  w.Entry(-1, "");
}

void DXLLogTabTo(i32 column) {
  if (!State().open) return;
  u32 target = column < 0 ? kLogValueColumn : static_cast<u32>(column);
  if (target > kLogMaxColumn) target = kLogMaxColumn;
  LogWriter w;
  w.PadTo(target);
}

i32 DXLLogAddPlaceholder(i32 width, const char* text) {
  LogState& s = State();
  if (!s.open) return -1;
  const std::string content = text ? text : "";
  u32 w = width < 1 ? static_cast<u32>(content.size()) : static_cast<u32>(width);
  if (w > kLogMaxPlaceholder) w = kLogMaxPlaceholder;
  if (w == 0) return -1;
  LogWriter writer;
  if (!writer.IsOpen() || writer.Position() > 0x7FFFFFFFu) return -1;
  const u32 position = static_cast<u32>(writer.Position());
  writer.Put(Field(content, w));
  s.placeholders.push_back(Placeholder{position, w});
  return static_cast<i32>(position);
}

i32 DXLLogFillPlaceholder(i32 handle, bool remove, const char* format, ...) {
  LogState& s = State();
  if (!s.open) return -1;
  const auto it = FindPlaceholder(handle);
  if (it == s.placeholders.end()) return -1;
  va_list args;
  va_start(args, format);
  const std::string text = FormatV(kMaxFillText, format, args);
  va_end(args);
  const std::string field = Field(text, it->width);
  {
    kis::FileStreamA stream(s.path.c_str(), kis::kStreamWrite);
    if (stream.IsOpen() && stream.SetPosition(it->position) == it->position)
      stream.WriteBlock(field.data(), field.size());
  }
  if (!remove) return handle;
  s.placeholders.erase(it);
  return -1;
}

i32 DXLLogRemovePlaceholder(i32 handle) {
  const auto it = FindPlaceholder(handle);
  if (it != State().placeholders.end()) State().placeholders.erase(it);
  return -1;
}

void DXLLogDXError(i32 indent, const char* text, i32 result) {
  if (!State().open) return;
  std::vector<char> name(kErrorTextCapacity), description(kErrorTextCapacity);
  DXLGetErrorName(result, name.data(), kErrorTextCapacity);
  DXLGetErrorDescription(result, description.data(), kErrorTextCapacity);
  ErrorLine(indent, std::string(text ? text : "") + name.data() + " - " + description.data());
}

void DXLReportError(i32 indent, const wchar* format, ...) {
  if (!State().open) return;
  va_list args;
  va_start(args, format);
  std::u16string message = DXLFormatWideV(kMaxText + 1, format, args);
  va_end(args);
  ErrorLine(indent, FromWide(message.c_str()));
}

void DXLReportErrorA(i32 indent, const char* format, ...) {
  if (!State().open) return;
  va_list args;
  va_start(args, format);
  const std::string message = FormatV(kMaxText + 1, format, args);
  va_end(args);
  ErrorLine(indent, message);
}
