// SourceTree - a text-tree source of the data set (kis::TdrDocument) read
// block by block and line by line, the way the builder turns tables and
// levels into records: walk the blocks of a name, read each line of a block
// with a scanner format, and say where a fault is ("levels/level_01.txt:
// level/easy: task: ..."). Faults are printed and remembered; a module
// checks Ok() once it has read everything.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/Types.h"
#include "base/text/TdrDocument.h"

class SourceTree {
 public:
  // `shown` is the name used in messages (the path below the sources).
  bool Load(const std::string& path, const std::string& shown);

  // The blocks of that name in the current block (the root at first).
  std::vector<kis::TdrNode*> Blocks(const char16_t* name);
  // Makes a block current (null: the root).
  void Enter(kis::TdrNode* block) { doc_.SetCurrentNode(block); }

  // The lines of the current block: their count and lower-cased names.
  u32 LineCount();
  std::string LineName(u32 line);
  // Exactly one record of the format from that line into the variables
  // (see kis::TextScanner); false, with a message, when it does not match.
  template <class... T>
  bool Read(u32 line, const char16_t* format, T*... values) {
    const u32 records = doc_.ReadValuesAt(line, format, 2, values...);
    return Check(line, records);
  }

  // Reports a fault of the current block ("what" names the line or value).
  void Fail(const std::string& what);
  bool Ok() const { return ok_; }

 private:
  bool Check(u32 line, u32 records);
  std::string BlockPath();

  kis::TdrDocument doc_;
  std::string shown_;
  bool ok_ = true;
};

// A scanned wide name field as UTF-8 (names are ASCII in practice).
std::string NarrowName(const wchar* text);
