// LevelSolution - a level's solution as its source file writes it
// (tools/data/levels/level_NN.txt, blocks "solution_easy" and
// "solution_hard" inside "level"; the words are described in
// tools/databuild/LevelSources.cpp): one action a line, in order. The
// reader knows every word and the number of its values; anything else is
// an error naming the file and line, so a misspelt solution fails loudly
// instead of playing something else.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

struct SolutionAction {
  std::string word;                 // "build", "tend", "wait", ...
  std::vector<std::string> values;  // as written, trimmed
  int line = 0;                     // in the file
  int Int(size_t i) const { return i < values.size() ? std::atoi(values[i].c_str()) : 0; }
  const std::string& Text(size_t i) const {
    static const std::string none;
    return i < values.size() ? values[i] : none;
  }
};

struct LevelSolution {
  std::vector<SolutionAction> actions;
};

namespace solutiondetail {

inline std::string Trim(const std::string& s) {
  const size_t a = s.find_first_not_of(" \t\r");
  if (a == std::string::npos) return {};
  return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// The words with their fewest and most values.
struct SolutionWord {
  const char* word;
  size_t least, most;
};
constexpr SolutionWord kSolutionWords[] = {
    {"build", 2, 2}, {"upgrade", 2, 2}, {"clear", 1, 1}, {"tend", 1, 13},
    {"produce", 2, 2}, {"stop", 1, 1},  {"sell", 2, 2},  {"wait", 2, 3},
};
constexpr const char* kWaitKinds[] = {"ms", "stock", "money", "level", "villains"};

}  // namespace solutiondetail

// The solution of `regime` (0 easy, 1 hard) of the level file at `path`;
// false with `error` set when the file or its block cannot be read, a block
// is missing, or a line holds an unknown word or the wrong count of values.
inline bool ReadLevelSolution(const std::string& path, int regime, LevelSolution* out, std::string* error) {
  using namespace solutiondetail;
  std::ifstream in(path);
  if (!in) {
    *error = path + ": cannot be read";
    return false;
  }
  const std::string block = regime == 0 ? "solution_easy" : "solution_hard";
  std::string raw;
  int number = 0;
  bool inside = false, found = false;
  *out = LevelSolution{};
  while (std::getline(in, raw)) {
    ++number;
    std::string line = raw;
    const size_t comment = line.find("//");
    if (comment != std::string::npos) line.erase(comment);
    line = Trim(line);
    if (line.empty()) continue;
    const std::string where = path + ":" + std::to_string(number) + ": ";
    if (!inside) {
      if (line.rfind(block, 0) == 0 && Trim(line.substr(block.size())) == "{") {
        if (found) {
          *error = where + "a second block \"" + block + "\"";
          return false;
        }
        inside = found = true;
      }
      continue;
    }
    if (line == "}") {
      inside = false;
      continue;
    }
    const size_t eq = line.find('=');
    if (eq == std::string::npos) {
      *error = where + "not a line \"word = values\": " + line;
      return false;
    }
    SolutionAction a;
    a.word = Trim(line.substr(0, eq));
    a.line = number;
    for (size_t from = eq + 1;;) {
      const size_t comma = line.find(',', from);
      a.values.push_back(Trim(line.substr(from, comma == std::string::npos ? std::string::npos : comma - from)));
      if (comma == std::string::npos) break;
      from = comma + 1;
    }
    const SolutionWord* known = nullptr;
    for (const SolutionWord& w : kSolutionWords)
      if (a.word == w.word) known = &w;
    if (!known) {
      *error = where + "unknown word \"" + a.word + "\"";
      return false;
    }
    if (a.values.size() < known->least || a.values.size() > known->most) {
      *error = where + "\"" + a.word + "\" takes " + std::to_string(known->least) + " to " +
               std::to_string(known->most) + " values";
      return false;
    }
    for (const std::string& v : a.values)
      if (v.empty()) {
        *error = where + "an empty value";
        return false;
      }
    if (a.word == "wait") {
      bool kind = false;
      for (const char* k : kWaitKinds) kind = kind || a.values[0] == k;
      if (!kind) {
        *error = where + "unknown wait \"" + a.values[0] + "\"";
        return false;
      }
    }
    out->actions.push_back(std::move(a));
  }
  if (inside) {
    *error = path + ": the block \"" + block + "\" is not closed";
    return false;
  }
  if (!found) {
    *error = path + ": no block \"" + block + "\"";
    return false;
  }
  return true;
}

}  // namespace testsupport
