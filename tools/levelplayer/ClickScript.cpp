#include "ClickScript.h"

#include <fstream>
#include <sstream>

namespace player {

bool ClickScript::Load(const std::string& path, std::string* error) {
  std::ifstream in(path);
  if (!in) {
    *error = "cannot read " + path;
    return false;
  }
  std::stringstream text;
  text << in.rdbuf();
  return Parse(text.str(), error);
}

bool ClickScript::Parse(const std::string& text, std::string* error) {
  steps_.clear();
  next_ = 0;
  waited_ = 0;
  std::istringstream lines(text);
  std::string line;
  for (int number = 1; std::getline(lines, line); ++number) {
    const size_t hash = line.find('#');
    if (hash != std::string::npos) line.resize(hash);
    std::istringstream words(line);
    std::string verb;
    if (!(words >> verb)) continue;
    ScriptStep step{ScriptStep::kWait};
    std::string extra;
    bool ok = true;
    if (verb == "wait") {
      ok = static_cast<bool>(words >> step.a) && step.a >= 0 && step.a <= 3600000;
    } else if (verb == "click" || verb == "rclick") {
      step.kind = verb == "click" ? ScriptStep::kClick : ScriptStep::kRightClick;
      ok = static_cast<bool>(words >> step.a >> step.b) && step.a >= 0 && step.b >= 0 && step.a < 8192 && step.b < 8192;
    } else if (verb == "key") {
      step.kind = ScriptStep::kKey;
      std::string name;
      ok = static_cast<bool>(words >> name);
      step.a = name == "enter" ? 13 : name == "escape" ? 27 : 0;
      ok = ok && step.a != 0;
    } else if (verb == "expect") {
      step.kind = ScriptStep::kExpectWon;
      std::string what;
      ok = static_cast<bool>(words >> what) && what == "won";
    } else {
      ok = false;
    }
    if (!ok || (words >> extra)) {
      *error = "line " + std::to_string(number) + ": cannot read \"" + line + "\"";
      return false;
    }
    steps_.push_back(step);
  }
  return true;
}

ScriptRecorder::~ScriptRecorder() {
  if (file_) std::fclose(file_);
}

bool ScriptRecorder::Open(const std::string& path) {
  file_ = std::fopen(path.c_str(), "w");
  if (file_) std::fprintf(file_, "# recorded by levelplayer: a wait before each click\n");
  return file_ != nullptr;
}

void ScriptRecorder::Flush() {
  if (!file_ || pending_ == 0) return;
  std::fprintf(file_, "wait %u\n", pending_);
  pending_ = 0;
}

void ScriptRecorder::Click(i32 x, i32 y, bool right) {
  if (!file_) return;
  Flush();
  std::fprintf(file_, "%s %d %d\n", right ? "rclick" : "click", x, y);
  std::fflush(file_);
}

void ScriptRecorder::Key(const char* name) {
  if (!file_) return;
  Flush();
  std::fprintf(file_, "key %s\n", name);
  std::fflush(file_);
}

}  // namespace player
