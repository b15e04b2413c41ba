// Ini files: the engine behind the game's typed ini access.
//
// An ini file is text in sections ("[name]") of "key=value" lines. Section and
// key names are compared ignoring case; the first matching section and, inside
// it, the first matching key win. Values are trimmed of spaces and tabs and one
// pair of surrounding quotes (' or ") is removed. Lines starting with ";" are
// comments; key lines before the first section are ignored.
//
// The file keeps its encoding (FF FE: UTF-16LE, EF BB BF: UTF-8, anything else
// 8-bit in the ANSI code page 1252) and every line that a change does not touch
// stays byte for byte as it was, line ends included. A new file is 8-bit.
//
// The free functions read the file afresh on every call and every write reaches
// the disk before it returns: the new content is written completely to a
// temporary file beside the old one ("name.~PID.N"), which then replaces it in
// one atomic rename (plat::FileReplacement: a symbolic link is written
// through, a read-only file is refused, the file's mode is kept, temporaries
// of dead processes are removed). A missing file reads as empty; a write that
// fails returns false and leaves the old file as it was. Reading, writing and
// deleting cost time linear in the file's size.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace plat {

// 8-bit text of the ini calls is in the ANSI code page 1252. Characters the
// page cannot hold become "?".
std::u16string IniAnsiToWide(std::string_view text);
std::string IniWideToAnsi(std::u16string_view text);

class IniFile {
 public:
  enum class Encoding { Ansi, Utf8, Utf16 };

  // Files larger than this are refused rather than read.
  static constexpr size_t kMaxFileSize = 16u << 20;

  IniFile() = default;  // an empty 8-bit file

  void Parse(std::string_view bytes);         // replaces the content
  std::string Serialize() const;              // the bytes of the file
  // Missing: empty and true. Unreadable, too large or not a regular file (a
  // named pipe or a device is refused without waiting on it): false.
  bool Load(std::u16string_view path);
  bool Save(std::u16string_view path) const;  // temporary file, then one atomic rename

  Encoding GetEncoding() const { return encoding_; }

  bool GetValue(std::u16string_view section, std::u16string_view key, std::u16string& value) const;
  std::vector<std::u16string> GetKeys(std::u16string_view section) const;  // first spelling of each key
  std::vector<std::u16string> GetSections() const;                         // first spelling of each section
  // Each key of the section (first spelling) with its first value.
  std::vector<std::pair<std::u16string, std::u16string>> GetSectionValues(std::u16string_view section) const;

  // Mutators return true when the content changed. SetValue refuses names and
  // values that would break the line structure (line breaks, "=" in a key, "]"
  // in a section name, an empty key) and returns false for them.
  bool SetValue(std::u16string_view section, std::u16string_view key, std::u16string_view value);
  bool DeleteKey(std::u16string_view section, std::u16string_view key);  // every match in the first section
  bool DeleteSection(std::u16string_view section);                      // every such section with its lines
  bool DeleteSections(const std::vector<std::u16string>& sections);     // all of them, in one pass

  static bool CanStore(std::u16string_view section, std::u16string_view key, std::u16string_view value);

 private:
  enum class Kind : uint8_t { Other, Section, Key };
  // A line as a slice of text_: its encoded content, then its line end ("",
  // CR, LF or CR LF). Consecutive other lines (comments, blank lines, text)
  // share one record, so that memory follows the lines that matter, not the
  // line count: a file of 16 MB of blank lines holds one record.
  struct Line {
    uint32_t start = 0;
    uint32_t length = 0;  // content bytes without the (last) line end
    uint8_t endLength = 0;
    Kind kind = Kind::Other;
  };
  // A section or key line's name and (for a key) value, decoded.
  struct Parsed {
    Kind kind = Kind::Other;
    std::u16string name;
    std::u16string value;
  };

  Parsed Inspect(const Line& line) const;
  bool NameIs(const Line& line, std::u16string_view name) const;  // a section or key of that name
  bool AddLine(std::u16string_view text, std::string_view end, Line* line);  // appends to text_
  bool EndLastLine();
  std::u16string Decode(std::string_view bytes) const;
  std::string Encode(std::u16string_view text) const;
  std::string_view Raw(const Line& l) const { return std::string_view(text_).substr(l.start, l.length); }
  size_t FindSection(std::u16string_view section) const;  // npos when absent
  size_t SectionEnd(size_t header) const;  // index of the next header, or the line count

  Encoding encoding_ = Encoding::Ansi;
  std::string bom_;
  std::string trailer_;   // an odd last byte of a UTF-16 file
  std::string newline_ = "\r\n";  // encoded line end for new lines: the file's first, else CR LF
  std::string text_;      // the file's lines, then the text of lines written since
  std::vector<Line> lines_;
};

// Value of [section] key; false (and value untouched) when absent.
bool ReadIniString(std::u16string_view path, std::u16string_view section, std::u16string_view key,
                   std::u16string& value);
std::vector<std::u16string> ReadIniKeys(std::u16string_view path, std::u16string_view section);
std::vector<std::u16string> ReadIniSections(std::u16string_view path);
// Every key of the section with its value, from one reading of the file.
std::vector<std::pair<std::u16string, std::u16string>> ReadIniSectionValues(std::u16string_view path,
                                                                           std::u16string_view section);

// Writes in the shape of the system's profile call: a value stores the key; a
// null value deletes the key; a null key deletes the section with its lines;
// all three null only flushes, which there is nothing to do for. A section of
// null with a key or value is refused.
bool WriteIniString(std::u16string_view path, const char16_t* section, const char16_t* key, const char16_t* value);
// Deletes every one of the sections with their lines in one write.
bool DeleteIniSections(std::u16string_view path, const std::vector<std::u16string>& sections);

}  // namespace plat
