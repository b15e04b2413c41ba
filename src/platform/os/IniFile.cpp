#include "platform/os/IniFile.h"
#include "platform/encoding/CodePage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <unordered_set>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/File.h"
#include "platform/os/FileReplacement.h"
#include "platform/os/FileSystem.h"

namespace plat {

namespace {


// Case folding for names: ASCII, Latin-1, Greek and Cyrillic capitals.
char16_t Fold(char16_t c) {
  if (IsAsciiUpper(c)) return AsciiToLower(c);
  if (c < 0xC0) return c;
  if ((c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
    return static_cast<char16_t>(c + 32);
  if (c >= 0x400 && c <= 0x40F) return static_cast<char16_t>(c + 80);
  return c;
}

std::u16string Folded(std::u16string_view s) {
  std::u16string out(s);
  for (char16_t& c : out) c = Fold(c);
  return out;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Fold(a[i]) != Fold(b[i])) return false;
  return true;
}

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool HasLineBreak(std::u16string_view s) { return s.find_first_of(u"\r\n") != std::u16string_view::npos; }

}  // namespace

// 8-bit ini text is in the ANSI code page, as the system's ini functions read it.
std::u16string IniAnsiToWide(std::string_view text) {
  std::u16string out;
  MultiByteToWide(GetAnsiCodePage(), text, out);
  return out;
}

std::string IniWideToAnsi(std::u16string_view text) {
  std::string out;
  WideToMultiByte(GetAnsiCodePage(), text, out);
  return out;
}

std::u16string IniFile::Decode(std::string_view bytes) const {
  switch (encoding_) {
    case Encoding::Utf16: {
      std::u16string out(bytes.size() / 2, u'\0');
      for (size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                       static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
      return out;
    }
    case Encoding::Utf8:
      return Utf8ToUtf16(bytes);
    case Encoding::Ansi:
      break;
  }
  return IniAnsiToWide(bytes);
}

std::string IniFile::Encode(std::u16string_view text) const {
  switch (encoding_) {
    case Encoding::Utf16: {
      std::string out;
      out.reserve(text.size() * 2);
      for (char16_t c : text) {
        out.push_back(static_cast<char>(c & 0xFF));
        out.push_back(static_cast<char>(c >> 8));
      }
      return out;
    }
    case Encoding::Utf8:
      return Utf16ToUtf8(text);
    case Encoding::Ansi:
      break;
  }
  return IniWideToAnsi(text);
}

// Works out what a line is from its decoded text: a section header, a key
// line, or anything else.
IniFile::Parsed IniFile::Inspect(const Line& line) const {
  Parsed p;
  const std::u16string text = Decode(Raw(line));
  const std::u16string_view t = Trim(text);
  if (t.empty() || t.front() == u';') return p;
  if (t.front() == u'[') {
    std::u16string_view name = t.substr(1);
    const size_t close = name.find(u']');
    if (close != std::u16string_view::npos) name = name.substr(0, close);
    p.kind = Kind::Section;
    p.name = Trim(name);
    return p;
  }
  const size_t eq = t.find(u'=');
  if (eq == std::u16string_view::npos) return p;
  const std::u16string_view key = Trim(t.substr(0, eq));
  if (key.empty()) return p;
  std::u16string_view value = Trim(t.substr(eq + 1));
  if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  p.kind = Kind::Key;
  p.name = key;
  p.value = value;
  return p;
}

bool IniFile::NameIs(const Line& line, std::u16string_view name) const {
  return line.kind != Kind::Other && SameName(Inspect(line).name, name);
}

// Appends the encoded text and line end to text_ and describes them in *line;
// false when the text would grow past what a record can address.
bool IniFile::AddLine(std::u16string_view text, std::string_view end, Line* line) {
  const std::string raw = Encode(text);
  if (text_.size() + raw.size() + end.size() > UINT32_MAX) return false;
  line->start = static_cast<uint32_t>(text_.size());
  line->length = static_cast<uint32_t>(raw.size());
  line->endLength = static_cast<uint8_t>(end.size());
  text_ += raw;
  text_ += end;
  line->kind = Inspect(*line).kind;
  return true;
}

// Gives the last line a line end, so that a line can follow it.
bool IniFile::EndLastLine() {
  if (lines_.empty() || lines_.back().endLength != 0) return true;
  Line& last = lines_.back();
  if (size_t{last.start} + last.length != text_.size()) {
    // Not at the end of the text any more: its content moves there.
    if (text_.size() + last.length + newline_.size() > UINT32_MAX) return false;
    const std::string content(Raw(last));
    last.start = static_cast<uint32_t>(text_.size());
    text_ += content;
  }
  text_ += newline_;
  last.endLength = static_cast<uint8_t>(newline_.size());
  return true;
}

// Splits the bytes into lines at CR, LF or CR LF, keeping each line's bytes
// and line end so that untouched lines are written back unchanged.
void IniFile::Parse(std::string_view bytes) {
  lines_.clear();
  bom_.clear();
  trailer_.clear();
  newline_.clear();
  text_.clear();
  encoding_ = Encoding::Ansi;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    encoding_ = Encoding::Utf16;
    bom_ = bytes.substr(0, 2);
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    encoding_ = Encoding::Utf8;
    bom_ = bytes.substr(0, 3);
  }
  std::string_view body = bytes.substr(bom_.size());
  const size_t unit = encoding_ == Encoding::Utf16 ? 2 : 1;
  if (body.size() % unit) {
    trailer_.assign(1, body.back());
    body.remove_suffix(1);
  }
  if (body.size() > UINT32_MAX) body = {};  // beyond any file Load accepts
  text_.assign(body);
  auto at = [&](size_t i) -> unsigned {
    return unit == 2 ? static_cast<unsigned char>(body[i]) | static_cast<unsigned char>(body[i + 1]) << 8
                     : static_cast<unsigned char>(body[i]);
  };
  size_t start = 0;
  while (start < body.size()) {
    size_t i = start;
    while (i < body.size() && at(i) != '\r' && at(i) != '\n') i += unit;
    size_t next = i;
    if (next < body.size()) {
      const bool crlf = at(next) == '\r' && next + unit < body.size() && at(next + unit) == '\n';
      next += crlf ? 2 * unit : unit;
    }
    Line line{static_cast<uint32_t>(start), static_cast<uint32_t>(i - start), static_cast<uint8_t>(next - i),
              Kind::Other};
    if (newline_.empty() && next > i) newline_ = body.substr(i, next - i);
    line.kind = Inspect(line).kind;
    Line* previous = lines_.empty() ? nullptr : &lines_.back();
    if (line.kind == Kind::Other && previous && previous->kind == Kind::Other)
      previous->length = static_cast<uint32_t>(i - previous->start), previous->endLength = line.endLength;
    else
      lines_.push_back(line);
    start = next;
  }
  if (newline_.empty()) newline_ = Encode(u"\r\n");
}

std::string IniFile::Serialize() const {
  std::string out = bom_;
  for (const Line& l : lines_) out.append(text_, l.start, size_t{l.length} + l.endLength);
  out += trailer_;
  return out;
}

bool IniFile::Load(std::u16string_view path) {
  Parse({});
  bool notRegular = false;
  const int fd = OpenRegularFile(NativePath(path), O_RDONLY, &notRegular);
  if (fd < 0) return !notRegular && (errno == ENOENT || errno == ENOTDIR);
  struct stat st;
  bool ok = ::fstat(fd, &st) == 0 && static_cast<uint64_t>(st.st_size) <= kMaxFileSize;
  std::string bytes;
  if (ok) {
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    while (ok && done < bytes.size()) {
      const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) ok = false;
      if (n <= 0) break;
      done += static_cast<size_t>(n);
    }
    bytes.resize(done);  // a file that shrank meanwhile is taken as it is now
  }
  ::close(fd);
  if (ok) Parse(bytes);
  return ok;
}

bool IniFile::Save(std::u16string_view path) const {
  FileReplacement replacement;
  return replacement.Begin(path, FileReplacement::Temp::Unique) && replacement.Write(Serialize()) &&
         replacement.Commit();
}

size_t IniFile::FindSection(std::u16string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i)
    if (lines_[i].kind == Kind::Section && NameIs(lines_[i], section)) return i;
  return std::u16string::npos;
}

size_t IniFile::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

bool IniFile::GetValue(std::u16string_view section, std::u16string_view key, std::u16string& value) const {
  const size_t s = FindSection(section);
  if (s == std::u16string::npos) return false;
  const size_t end = SectionEnd(s);
  for (size_t i = s + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Key) continue;
    const Parsed p = Inspect(lines_[i]);
    if (SameName(p.name, key)) {
      value = p.value;
      return true;
    }
  }
  return false;
}

std::vector<std::u16string> IniFile::GetKeys(std::u16string_view section) const {
  std::vector<std::u16string> keys;
  for (auto& [key, value] : GetSectionValues(section)) keys.push_back(std::move(key));
  return keys;
}

std::vector<std::pair<std::u16string, std::u16string>> IniFile::GetSectionValues(
    std::u16string_view section) const {
  std::vector<std::pair<std::u16string, std::u16string>> values;
  const size_t s = FindSection(section);
  if (s == std::u16string::npos) return values;
  const size_t end = SectionEnd(s);
  std::unordered_set<std::u16string> seen;
  for (size_t i = s + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Key) continue;
    const Parsed p = Inspect(lines_[i]);
    if (seen.insert(Folded(p.name)).second) values.emplace_back(p.name, p.value);
  }
  return values;
}

std::vector<std::u16string> IniFile::GetSections() const {
  std::vector<std::u16string> sections;
  std::unordered_set<std::u16string> seen;
  for (const Line& l : lines_) {
    if (l.kind != Kind::Section) continue;
    const Parsed p = Inspect(l);
    if (seen.insert(Folded(p.name)).second) sections.emplace_back(p.name);
  }
  return sections;
}

bool IniFile::CanStore(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  return !HasLineBreak(section) && section.find(u']') == std::u16string_view::npos && !Trim(key).empty() &&
         !HasLineBreak(key) && key.find(u'=') == std::u16string_view::npos && Trim(key).front() != u';' &&
         Trim(key).front() != u'[' && !HasLineBreak(value);
}

// Replaces the first matching key's line, or adds the key after the last key
// line of the first matching section, or appends a new section at the end.
bool IniFile::SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value) {
  if (!CanStore(section, key, value)) return false;
  std::u16string text(key);
  text += u'=';
  text += value;
  const size_t s = FindSection(section);
  if (s == std::u16string::npos) {
    Line header, entry;
    if (!EndLastLine() || !AddLine(u"[" + std::u16string(section) + u"]", newline_, &header) ||
        !AddLine(text, newline_, &entry))
      return false;
    lines_.push_back(header);
    lines_.push_back(entry);
    return true;
  }
  const size_t end = SectionEnd(s);
  size_t insertAt = s + 1;
  for (size_t i = s + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Key) continue;
    if (NameIs(lines_[i], key)) {
      if (Encode(text) == Raw(lines_[i])) return false;
      // The new text takes the line's place; its line end stays.
      const std::string lineEnd = text_.substr(size_t{lines_[i].start} + lines_[i].length, lines_[i].endLength);
      Line replaced;
      if (!AddLine(text, lineEnd, &replaced)) return false;
      lines_[i] = replaced;
      return true;
    }
    insertAt = i + 1;
  }
  Line& before = lines_[insertAt - 1];
  if (before.endLength == 0) {
    if (insertAt != lines_.size() || !EndLastLine()) return false;
  }
  Line entry;
  if (!AddLine(text, newline_, &entry)) return false;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
  return true;
}

// Both deletions keep the surviving lines in one pass, so their cost is
// linear in the file however many lines go.
bool IniFile::DeleteKey(std::u16string_view section, std::u16string_view key) {
  const size_t s = FindSection(section);
  if (s == std::u16string::npos) return false;
  const auto first = lines_.begin() + static_cast<std::ptrdiff_t>(s + 1);
  const auto last = lines_.begin() + static_cast<std::ptrdiff_t>(SectionEnd(s));
  const auto kept = std::remove_if(first, last, [&](const Line& l) { return l.kind == Kind::Key && NameIs(l, key); });
  if (kept == last) return false;
  lines_.erase(kept, last);
  return true;
}

bool IniFile::DeleteSection(std::u16string_view section) {
  return DeleteSections(std::vector<std::u16string>{std::u16string(section)});
}

bool IniFile::DeleteSections(const std::vector<std::u16string>& sections) {
  std::unordered_set<std::u16string> names;
  for (const std::u16string& name : sections) names.insert(Folded(name));
  bool dropping = false;
  const auto kept = std::remove_if(lines_.begin(), lines_.end(), [&](const Line& l) {
    if (l.kind == Kind::Section) dropping = names.count(Folded(Inspect(l).name)) != 0;
    return dropping;
  });
  if (kept == lines_.end()) return false;
  lines_.erase(kept, lines_.end());
  return true;
}

bool ReadIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   std::u16string& value) {
  IniFile f;
  f.Load(path);
  return f.GetValue(section, key, value);
}

std::vector<std::u16string> ReadIniKeys(std::u16string_view path, std::u16string_view section) {
  IniFile f;
  f.Load(path);
  return f.GetKeys(section);
}

std::vector<std::pair<std::u16string, std::u16string>> ReadIniSectionValues(std::u16string_view path,
                                                                           std::u16string_view section) {
  IniFile f;
  f.Load(path);
  return f.GetSectionValues(section);
}

std::vector<std::u16string> ReadIniSections(std::u16string_view path) {
  IniFile f;
  f.Load(path);
  return f.GetSections();
}

bool WriteIniString(std::u16string_view path, const char16_t* section, const char16_t* key, const char16_t* value) {
  if (!section) return !key && !value;  // all null: nothing is cached, so nothing to flush
  if (path.empty()) return false;
  if (key && value && !IniFile::CanStore(section, key, value)) return false;
  IniFile f;
  if (!f.Load(path)) return false;  // never overwrite a file we could not read
  bool changed;
  if (!key)
    changed = f.DeleteSection(section);
  else if (!value)
    changed = f.DeleteKey(section, key);
  else
    changed = f.SetValue(section, key, value);
  return !changed || f.Save(path);
}

bool DeleteIniSections(std::u16string_view path, const std::vector<std::u16string>& sections) {
  if (path.empty()) return false;
  IniFile f;
  if (!f.Load(path)) return false;
  return !f.DeleteSections(sections) || f.Save(path);
}

}  // namespace plat
