// Every text the game's code can ask the language for is in the sample data
// set's "language.dat", and in the name manifest where the code spells the
// name out (a name the data gives is the data's). The look-ups are read from
// the sources: the calls of the language's look-ups (GetTextByName and the
// table-name GetText), and, through every function that hands its own
// parameter on as a section or a key (SectionText, PanelText, a window's
// WindowText, OpenedDialog::Open...), the calls of that function in turn.
// A key is read where it is written: a literal, a choice between literals,
// a local or member set only from such, a literal table's entry, a
// function of the file returning only literals, a literal suffix added. A
// key the sources cannot tell (a product's name, an award's) must be given
// below with the values it can take, taken from the data set's tables; a
// look-up the test can read neither way fails it, so a new look-up is
// either readable or listed. The tutorials' step texts, keyed by their
// step numbers, are played with their texts by the tutorials' played tests.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Manifest.h"
#include "app/DataSet.h"
#include "app/GameWorld.h"
#include "content/AwardTable.h"
#include "content/BuildingTable.h"
#include "content/GameBonuses.h"
#include "content/LevelInfo.h"
#include "content/LevelTable.h"
#include "content/PlantTable.h"
#include "content/ProductList.h"
#include "gametext/GameLanguage.h"
#include "gametext/GameLanguageHost.h"
#include "platform/encoding/Utf.h"
#include "testsupport/ViewerRig.h"

namespace textlookups {

// A source file with its comments blanked (offsets and lines kept).
struct Source {
  std::string path;  // below src/
  std::string text;
};

std::string BlankComments(const std::string& s) {
  std::string out = s;
  for (size_t i = 0; i < s.size();) {
    if (s.compare(i, 2, "//") == 0) {
      const size_t end = std::min(s.find('\n', i), s.size());
      std::fill(out.begin() + static_cast<long>(i), out.begin() + static_cast<long>(end), ' ');
      i = end;
    } else if (s.compare(i, 2, "/*") == 0) {
      const size_t end = std::min(s.find("*/", i + 2), s.size() - 2) + 2;
      for (size_t k = i; k < end; ++k)
        if (out[k] != '\n') out[k] = ' ';
      i = end;
    } else if (s[i] == '"' || s[i] == '\'') {
      size_t k = i + 1;
      while (k < s.size() && s[k] != s[i]) k += s[k] == '\\' ? 2 : 1;
      i = k + 1;
    } else {
      ++i;
    }
  }
  return out;
}

std::vector<Source> ReadSources(const std::filesystem::path& root) {
  std::vector<Source> sources;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(root)) {
    const std::string ext = entry.path().extension().string();
    if (!entry.is_regular_file() || (ext != ".cpp" && ext != ".h")) continue;
    const std::string path = std::filesystem::relative(entry.path(), root).generic_string();
    if (path.rfind("platform/", 0) == 0) continue;  // below the language
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    sources.push_back(Source{path, BlankComments(text.str())});
  }
  std::sort(sources.begin(), sources.end(), [](const Source& a, const Source& b) { return a.path < b.path; });
  return sources;
}

std::string Fold(const std::string& s) {
  std::string out;
  bool blank = false;
  for (char c : s) {
    if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
      blank = !out.empty();
      continue;
    }
    if (blank) out += ' ';
    blank = false;
    out += c;
  }
  return out;
}

// The arguments of the call whose "(" is at `open`, folded; `end` gets the ")".
std::vector<std::string> Arguments(const std::string& s, size_t open, size_t* end = nullptr) {
  std::vector<std::string> args;
  std::string current;
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    const char c = s[i];
    if (c == '"' || c == '\'') {
      size_t k = i + 1;
      while (k < s.size() && s[k] != c) k += s[k] == '\\' ? 2 : 1;
      current += s.substr(i, k - i + 1);
      i = k;
      continue;
    }
    if (c == '(' || c == '[' || c == '{') {
      if (depth++ > 0) current += c;
    } else if (c == ')' || c == ']' || c == '}') {
      if (--depth == 0) {
        if (end) *end = i;
        if (!Fold(current).empty() || !args.empty()) args.push_back(Fold(current));
        return args;
      }
      current += c;
    } else if (c == ',' && depth == 1) {
      args.push_back(Fold(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (end) *end = s.size();
  return args;
}

size_t Line(const std::string& s, size_t pos) {
  return static_cast<size_t>(std::count(s.begin(), s.begin() + static_cast<long>(pos), '\n')) + 1;
}

// The place of `word` at or after `from` as a whole identifier; npos if none.
size_t FindWord(const std::string& s, const std::string& word, size_t from = 0) {
  const auto part = [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; };
  for (size_t at = s.find(word, from); at != std::string::npos; at = s.find(word, at + 1))
    if ((at == 0 || !part(s[at - 1])) && (at + word.size() >= s.size() || !part(s[at + word.size()]))) return at;
  return std::string::npos;
}

size_t SkipBlanks(const std::string& s, size_t at) {
  while (at < s.size() && std::isspace(static_cast<unsigned char>(s[at]))) ++at;
  return at;
}

// The function around a place: its name, the class it belongs to, its
// parameters' names (how many without a default) and its braces. A place
// in a constructor's initialiser list belongs to that constructor.
struct Function {
  std::string name;
  std::string owner;  // "C" of "C::name"
  std::vector<std::string> params;
  size_t required = 0;
  size_t open = std::string::npos, close = std::string::npos;
  bool Found() const { return open != std::string::npos; }
};

size_t MatchingClose(const std::string& s, size_t open) {
  int depth = 0;
  for (size_t i = open; i < s.size(); ++i) {
    if (s[i] == '"' || s[i] == '\'') {
      size_t k = i + 1;
      while (k < s.size() && s[k] != s[i]) k += s[k] == '\\' ? 2 : 1;
      i = k;
    } else if (s[i] == '{') {
      ++depth;
    } else if (s[i] == '}' && --depth == 0) {
      return i;
    }
  }
  return s.size();
}

// A function's head ("... C::name(params) const : inits"); false for
// anything else (a statement, a class, a lambda's head names no function).
bool ReadHead(const std::string& head, Function* f) {
  static const std::regex lead(
      R"(^(namespace|class|struct|enum|union|extern|if|for|while|switch|else|do|try|catch)\b)");
  static const std::regex lambda(R"(\]\s*(\([^()]*\))?\s*(mutable)?\s*(->\s*[\w:<>*&]+)?\s*$)");
  static const std::regex named(R"(((\w+)::)?(~?[A-Za-z_]\w*)\s*\()");
  static const std::regex last(R"((\w+)\s*(\[\w*\])?$)");
  static const std::set<std::string> keywords = {"if", "for", "while", "switch", "catch", "return", "sizeof"};
  const std::string h = Fold(head);
  if (h.empty() || std::regex_search(h, lead) || h.back() == '=' || h.back() == ',') return false;
  if (std::regex_search(h, lambda)) {
    f->name = "<lambda>";
    return true;
  }
  std::smatch m;
  if (!std::regex_search(h, m, named) || keywords.count(m[3])) return false;
  f->owner = m[2];
  f->name = m[3];
  f->params.clear();
  f->required = 0;
  for (const std::string& p : Arguments(h, static_cast<size_t>(m.position(0) + m.length(0) - 1))) {
    std::smatch n;
    const std::string declared = Fold(p.substr(0, p.find('=')));
    f->params.push_back(std::regex_search(declared, n, last) ? std::string(n[1]) : std::string());
    if (p.find('=') == std::string::npos) ++f->required;
  }
  if (f->params.size() == 1 && (f->params[0] == "void" || f->params[0].empty())) f->params.clear(), f->required = 0;
  return true;
}

Function Enclosing(const std::string& s, size_t pos) {
  Function f;
  // In an initialiser list: the statement runs on to the body's "{".
  size_t start = s.find_last_of(";{}", pos);
  start = start == std::string::npos ? 0 : start + 1;
  const size_t next = s.find_first_of(";{", pos);
  if (next != std::string::npos && s[next] == '{' &&
      Fold(s.substr(start, next - start)).find(") :") != std::string::npos &&
      ReadHead(s.substr(start, next - start), &f)) {
    f.open = next;
    f.close = MatchingClose(s, next);
    return f;
  }
  // Else out through the braces round it to the first that opens a function.
  int depth = 0;
  for (size_t i = pos; i-- > 0;) {
    if (s[i] == '}') {
      ++depth;
    } else if (s[i] == '{') {
      if (depth > 0) {
        --depth;
        continue;
      }
      size_t from = i == 0 ? std::string::npos : s.find_last_of(";{}", i - 1);
      from = from == std::string::npos ? 0 : from + 1;
      const std::string head = s.substr(from, i - from);
      Function found;
      if (ReadHead(head, &found)) {
        found.open = i;
        found.close = MatchingClose(s, i);
        return found;
      }
      static const std::regex outer(R"(^(namespace|class|struct|extern)\b)");
      if (std::regex_search(Fold(head), outer)) return f;
    }
  }
  return f;
}

// A declaration rather than a call: "type name" arguments.
bool IsDeclaration(const std::vector<std::string>& args) {
  static const std::regex declared(R"(^(const\s+)?[\w:<>]+(\s*[*&]+\s*|\s+)\w+(\s*=.*)?$)");
  return std::any_of(args.begin(), args.end(), [](const std::string& a) {
    return a.rfind("new ", 0) != 0 && a.rfind("return ", 0) != 0 && std::regex_match(a, declared);
  });
}

// A look-up form: the calls of `name` name a section (argument `section`,
// or the sections `fixed` when it is -1) and a key (argument `key`); with
// a flag argument, a call whose flag is false hands over a text, not a key.
struct Form {
  std::string name;
  int section = -1;
  std::vector<std::string> fixed;
  int key = 0;
  int flag = -1;
  size_t fewest = 0, most = 99;      // the arguments a call has
  std::vector<const Source*> scope;  // the files whose calls count
};

// A key the sources cannot tell, given with the values it can take: the
// file, the key expression as written, and the values (section, key).
using Values = std::vector<std::pair<std::string, std::string>>;
struct Given {
  const char* file;
  const char* key;
  std::function<Values()> values;
};

class Scanner {
 public:
  Scanner(const std::vector<Source>& sources, std::vector<Given> given) : sources_(sources), given_(std::move(given)) {}

  // From the language's own look-ups out through every function that hands a key on.
  void Run() {
    std::vector<const Source*> all;
    for (const Source& s : sources_) all.push_back(&s);
    Scan(Form{"GetTextByName", 0, {}, 1, -1, 3, 3, all});
    Scan(Form{"GetText", 0, {}, 1, -1, 4, 4, all});
  }

  std::map<std::pair<std::string, std::string>, std::string> names;  // (section, key): the first place asking
  std::set<std::pair<std::string, std::string>> written;             // those the sources spell out
  std::vector<std::string> unread;                                   // places neither read nor given
  std::set<std::string> givenUsed;

 private:
  // The calls of a form; how many were found.
  size_t Scan(const Form& form) {
    size_t calls = 0;
    for (const Source* src : form.scope) {
      const std::string& s = src->text;
      for (size_t at = FindWord(s, form.name); at != std::string::npos; at = FindWord(s, form.name, at + 1)) {
        const size_t open = SkipBlanks(s, at + form.name.size());
        if (open >= s.size() || s[open] != '(') continue;
        size_t end = 0;
        const std::vector<std::string> args = Arguments(s, open, &end);
        if (args.size() < form.fewest || args.size() > form.most || IsDeclaration(args)) continue;
        // A definition's head is no call (a base class's constructor in an initialiser list is).
        const size_t after = SkipBlanks(s, end + 1), statement = s.find_last_of(";{}", at);
        const std::string before = Fold(s.substr(statement == std::string::npos ? 0 : statement + 1,
                                                 at - (statement == std::string::npos ? 0 : statement + 1)));
        if (after < s.size() && s[after] == '{' && before.find(") :") == std::string::npos &&
            Enclosing(s, after + 1).open == after)
          continue;
        ++calls;
        if (form.flag >= 0 && args[static_cast<size_t>(form.flag)] == "false") continue;
        Site(*src, at, form.section >= 0 ? args[static_cast<size_t>(form.section)] : "", form.fixed,
             args[static_cast<size_t>(form.key)], args, form.name);
      }
    }
    return calls;
  }

  // The values of an expression; nothing when the sources do not tell. A
  // parameter of the function round it is handed to `handOn` (its calls
  // give the values), when there is one.
  using HandOn = std::function<bool(int)>;
  std::optional<std::vector<std::string>> Read(const Source& src, const Function& f, const std::string& expr,
                                               const HandOn* handOn, int depth = 0) {
    static const std::regex literal(R"re(u"(\w*)")re"), bracketed(R"(^\((.*)\)$)"), cstr(R"(^(.*)\.c_str\(\)$)"),
        suffixed(R"re(^std::u16string\((.+)\)\s*\+\s*u"(\w*)"$)re"), entry(R"(^(\w+)\[[^\]]*\]$)"),
        called(R"(^(\w+)\(.*\)$)"), word(R"(^\w+$)");
    const std::string e = Fold(expr);
    std::smatch m;
    if (depth > 16) return std::nullopt;
    if (std::regex_match(e, m, literal)) return std::vector<std::string>{m[1]};
    if (e == "nullptr") return std::vector<std::string>{};
    if (std::regex_match(e, m, cstr)) return Read(src, f, m[1], handOn, depth + 1);
    std::string then, otherwise;
    if (SplitChoice(e, &then, &otherwise)) {
      auto a = Read(src, f, then, handOn, depth + 1), b = Read(src, f, otherwise, handOn, depth + 1);
      if (!a || !b) return std::nullopt;
      a->insert(a->end(), b->begin(), b->end());
      return a;
    }
    if (std::regex_match(e, m, bracketed)) return Read(src, f, m[1], handOn, depth + 1);
    if (std::regex_match(e, m, suffixed)) {
      auto a = Read(src, f, m[1], nullptr, depth + 1);
      if (a)
        for (std::string& v : *a) v += m[2];
      return a;
    }
    if (std::regex_match(e, m, entry)) return Table(src, m[1]);
    if (std::regex_match(e, m, called)) return Returns(src, m[1], depth);
    if (!std::regex_match(e, m, word)) return std::nullopt;
    const int param = ParamIndex(f, e);
    if (param >= 0) {
      if (handOn && (*handOn)(param)) return std::vector<std::string>{};
      return std::nullopt;
    }
    return Assigned(src, f, e, handOn, depth);
  }

  // "c ? a : b" at the outer level (a choice in a choice kept whole).
  static bool SplitChoice(const std::string& e, std::string* then, std::string* otherwise) {
    int depth = 0, open = 0;
    size_t question = std::string::npos;
    for (size_t i = 0; i < e.size(); ++i) {
      const char c = e[i];
      if (c == '"') {
        i = e.find('"', i + 1);
        if (i == std::string::npos) return false;
      } else if (c == '(' || c == '[' || c == '{') {
        ++depth;
      } else if (c == ')' || c == ']' || c == '}') {
        --depth;
      } else if (depth == 0 && c == '?') {
        if (open++ == 0) question = i;
      } else if (depth == 0 && c == ':' && (i + 1 >= e.size() || e[i + 1] != ':') && (i == 0 || e[i - 1] != ':')) {
        if (open > 0 && --open == 0) {
          *then = e.substr(question + 1, i - question - 1);
          *otherwise = e.substr(i + 1);
          return true;
        }
      }
    }
    return false;
  }

  // The literals of a table "NAME[...] = {...}" of the file.
  std::optional<std::vector<std::string>> Table(const Source& src, const std::string& name) {
    static const std::regex literal(R"re(u"(\w*)")re");
    const std::string& s = src.text;
    for (size_t at = FindWord(s, name); at != std::string::npos; at = FindWord(s, name, at + 1)) {
      size_t i = SkipBlanks(s, at + name.size());
      if (i >= s.size() || s[i] != '[') continue;
      while (i < s.size() && s[i] == '[') i = SkipBlanks(s, s.find(']', i) + 1);
      if (i >= s.size() || s[i] != '=') continue;
      i = SkipBlanks(s, i + 1);
      if (i >= s.size() || s[i] != '{') continue;
      std::vector<std::string> values;
      for (const std::string& item : Arguments(s, i)) {
        std::smatch m;
        if (!std::regex_match(item, m, literal)) return std::nullopt;
        values.push_back(m[1]);
      }
      return values;
    }
    return std::nullopt;
  }

  // What a function of the file returns, when it returns only readable values.
  std::optional<std::vector<std::string>> Returns(const Source& src, const std::string& name, int depth) {
    static const std::regex returned(R"(\breturn\s+([^;]+);)");
    const std::string& s = src.text;
    for (size_t at = FindWord(s, name); at != std::string::npos; at = FindWord(s, name, at + 1)) {
      const size_t open = SkipBlanks(s, at + name.size());
      if (open >= s.size() || s[open] != '(') continue;
      size_t end = 0;
      Arguments(s, open, &end);
      size_t body = SkipBlanks(s, end + 1);
      if (s.compare(body, 5, "const") == 0) body = SkipBlanks(s, body + 5);
      if (body >= s.size() || s[body] != '{') continue;
      const std::string text = s.substr(body, MatchingClose(s, body) - body);
      std::vector<std::string> values;
      bool any = false;
      for (auto it = std::sregex_iterator(text.begin(), text.end(), returned); it != std::sregex_iterator(); ++it) {
        auto v = Read(src, Function{}, (*it)[1], nullptr, depth + 1);
        if (!v) return std::nullopt;
        values.insert(values.end(), v->begin(), v->end());
        any = true;
      }
      return any ? std::optional(values) : std::nullopt;
    }
    return std::nullopt;
  }

  // What a local (in its function) or a member (in its file) is set to;
  // nothing when it is also changed in place.
  std::optional<std::vector<std::string>> Assigned(const Source& src, const Function& f, const std::string& name,
                                                   const HandOn* handOn, int depth) {
    const bool member = name.back() == '_';
    if (!member && !f.Found()) return std::nullopt;
    const std::string& s = src.text;
    const size_t from = member ? 0 : f.open, to = member ? s.size() : f.close;
    std::vector<std::string> values;
    bool any = false;
    for (size_t at = FindWord(s, name, from); at != std::string::npos && at < to; at = FindWord(s, name, at + 1)) {
      size_t i = SkipBlanks(s, at + name.size());
      if (i < s.size() && s[i] == '[') return std::nullopt;  // a character array, filled in place
      if (s.compare(i, 2, "+=") == 0 || s.compare(i, 1, ".") == 0) {
        if (s.compare(i, 7, ".c_str(") != 0) return std::nullopt;
        continue;
      }
      if (i >= s.size() || s[i] != '=' || s.compare(i, 2, "==") == 0) continue;
      const size_t stop = s.find(';', i);
      auto v = Read(src, f, s.substr(i + 1, stop - i - 1), member ? nullptr : handOn, depth + 1);
      if (!v) return std::nullopt;
      values.insert(values.end(), v->begin(), v->end());
      any = true;
    }
    return any ? std::optional(values) : std::nullopt;
  }

  static int ParamIndex(const Function& f, std::string e) {
    e = Fold(e);
    if (e.size() > 8 && e.ends_with(".c_str()")) e.resize(e.size() - 8);
    for (size_t i = 0; i < f.params.size(); ++i)
      if (!f.params[i].empty() && f.params[i] == e) return static_cast<int>(i);
    return -1;
  }

  void Site(const Source& src, size_t pos, const std::string& sectionExpr, std::vector<std::string> sections,
            const std::string& keyExpr, const std::vector<std::string>& args, const std::string& via) {
    const std::string place = src.path + ":" + std::to_string(Line(src.text, pos));
    const Function f = Enclosing(src.text, pos);
    const int sectionParam = sectionExpr.empty() ? -1 : ParamIndex(f, sectionExpr);
    if (!sectionExpr.empty() && sectionParam < 0)
      if (auto read = Read(src, f, sectionExpr, nullptr)) sections = *read;
    // A key handed on: the calls of this function are the look-ups.
    const HandOn handOn = [&](int keyParam) {
      if (f.name == "<lambda>" || (sectionParam < 0 && sections.empty())) return false;
      const std::string id = src.path + ":" + f.owner + "::" + f.name + "#" + std::to_string(keyParam);
      if (!scanned_.insert(id).second) return true;
      Form next{f.name, sectionParam, sections, keyParam, -1, f.required, f.params.size(), Scope(src, f)};
      for (const std::string& a : args) {
        const int p = ParamIndex(f, a);
        const std::string& n = p >= 0 ? f.params[static_cast<size_t>(p)] : a;
        if (p >= 0 && (n == "isKey" || (n.size() > 5 && n.ends_with("IsKey")))) next.flag = p;
      }
      if (Scan(next) == 0) unread.push_back(place + ": " + f.name + " hands a key on, and no call of it is found");
      return true;
    };
    const auto keys = Read(src, f, keyExpr, &handOn);
    if (keys && (!sections.empty() || keys->empty())) {
      for (const std::string& section : sections)
        for (const std::string& k : *keys) {
          names.emplace(std::pair(section, k), place);
          written.emplace(section, k);
        }
      return;
    }
    for (const Given& g : given_) {
      if (src.path != g.file || Fold(keyExpr) != g.key) continue;
      givenUsed.insert(std::string(g.file) + " " + g.key);
      for (const auto& [section, k] : g.values()) names.emplace(std::pair(section, k), place);
      return;
    }
    unread.push_back(place + ": " + via + "(" + sectionExpr + (sectionExpr.empty() ? "" : ", ") + keyExpr + ")");
  }

  // Where a function's calls are: its own file, and the files that include
  // a header declaring it (its class's, or its own at the outer level).
  std::vector<const Source*> Scope(const Source& src, const Function& f) {
    std::vector<std::string> headers;
    const std::set<std::string> owners = f.owner.empty() ? std::set<std::string>{} : Classes(f.owner, f.name);
    for (const Source& s : sources_) {
      if (!s.path.ends_with(".h")) continue;
      bool declares = false;
      if (!f.owner.empty()) {
        for (const std::string& owner : owners)
          declares = declares || FindWord(s.text, "class " + owner) != std::string::npos ||
                     FindWord(s.text, "struct " + owner) != std::string::npos;
      } else {
        for (size_t at = FindWord(s.text, f.name); at != std::string::npos && !declares;
             at = FindWord(s.text, f.name, at + 1)) {
          const size_t line = s.text.rfind('\n', at);
          const size_t first = line == std::string::npos ? 0 : line + 1;
          declares = SkipBlanks(s.text, at + f.name.size()) < s.text.size() &&
                     s.text[SkipBlanks(s.text, at + f.name.size())] == '(' && first < at && s.text[first] != ' ';
        }
      }
      if (declares) headers.push_back(s.path);
    }
    std::vector<const Source*> scope{&src};
    for (const Source& s : sources_) {
      if (&s == &src) continue;
      const std::set<std::string>& reached = Reached(s);
      if (std::any_of(headers.begin(), headers.end(), [&](const std::string& h) { return reached.count(h) > 0; }))
        scope.push_back(&s);
    }
    return scope;
  }

  // A class and the classes it stands on that declare `method` too (its
  // calls may come through them).
  std::set<std::string> Classes(const std::string& name, const std::string& method) const {
    std::set<std::string> classes{name};
    std::vector<std::string> open{name};
    static const std::regex base(R"((public|protected|private)\s+([\w:]+))");
    while (!open.empty()) {
      const std::string c = open.back();
      open.pop_back();
      for (const Source& s : sources_) {
        if (!s.path.ends_with(".h")) continue;
        const size_t at = FindWord(s.text, "class " + c);
        if (at == std::string::npos) continue;
        const size_t brace = s.text.find_first_of("{;", at);
        const std::string head = s.text.substr(at, brace - at);
        for (auto it = std::sregex_iterator(head.begin(), head.end(), base); it != std::sregex_iterator(); ++it) {
          std::string b = (*it)[2];
          if (b.rfind("::", std::string::npos) != std::string::npos) b = b.substr(b.rfind("::") + 2);
          if (Declares(b, method) && classes.insert(b).second) open.push_back(b);
        }
      }
    }
    return classes;
  }

  // Whether a class's declaration names the method.
  bool Declares(const std::string& owner, const std::string& method) const {
    for (const Source& s : sources_) {
      if (!s.path.ends_with(".h")) continue;
      const size_t at = FindWord(s.text, "class " + owner);
      if (at == std::string::npos) continue;
      const size_t open = s.text.find_first_of("{;", at);
      if (open == std::string::npos || s.text[open] != '{') continue;
      if (FindWord(s.text.substr(open, MatchingClose(s.text, open) - open), method) != std::string::npos) return true;
    }
    return false;
  }

  // The headers a file reaches through its includes, itself among them.
  const std::set<std::string>& Reached(const Source& src) {
    if (includes_.empty()) {
      static const std::regex include(R"re(#include\s+"([^"]+)")re");
      for (const Source& s : sources_) {
        std::vector<std::string>& list = includes_[s.path];
        for (auto i = std::sregex_iterator(s.text.begin(), s.text.end(), include); i != std::sregex_iterator(); ++i)
          list.push_back((*i)[1]);
      }
    }
    auto [it, added] = reached_.try_emplace(src.path);
    if (!added) return it->second;
    std::set<std::string>& found = it->second;
    found.insert(src.path);
    std::vector<std::string> open{src.path};
    while (!open.empty()) {
      const auto at = includes_.find(open.back());
      open.pop_back();
      if (at == includes_.end()) continue;
      for (const std::string& h : at->second)
        if (found.insert(h).second) open.push_back(h);
    }
    return found;
  }

  const std::vector<Source>& sources_;
  std::vector<Given> given_;
  std::map<std::string, std::set<std::string>> reached_;
  std::map<std::string, std::vector<std::string>> includes_;
  std::set<std::string> scanned_;
};

}  // namespace textlookups

namespace {

using textlookups::Given;
using textlookups::Values;

class TextLookups : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(rig.Open(800, 600), 0);
    WorldSetup setup;
    setup.data = TM_SAMPLE_DATA_DIR;
    setup.viewer = rig.viewer.get();
    setup.language = true;
    std::string error;
    ASSERT_TRUE(world.Open(std::move(setup), &error)) << error;
  }
  void TearDown() override { world.Close(); }

  // The keys the data's tables give.
  static std::string Narrow(const wchar* text) { return plat::Utf16ToUtf8(text); }
  Values Products() const {
    Values v;
    const ProductList& list = world.Tables()->products;
    for (u32 i = 0; i < list.GetCount(); ++i) v.emplace_back("products", Narrow(list.Get(i)->name));
    return v;
  }
  Values Plants() const {
    Values v;
    const PlantTable& plants = world.Tables()->plants;
    for (u32 i = 0; i < plants.GetCount(); ++i) v.emplace_back("plants", Narrow(plants.Get(i)->name));
    return v;
  }
  Values Buildings() const {
    Values v;
    const BuildingTable& buildings = world.Tables()->buildings;
    for (u32 i = 0; i < buildings.GetCount(); ++i) v.emplace_back("buildings", Narrow(buildings.Get(i)->name));
    return v;
  }
  template <class Field>
  Values Bonuses(Field field, const char* section = "bonuses", const char* prefix = "") const {
    Values v;
    for (u32 i = 0; i < kBonusCount; ++i)
      v.emplace_back(section, prefix + Narrow(field(world.Tables()->bonuses.Get(i))));
    return v;
  }
  Values Awards(bool tiered, bool records, const char* suffix = "") const {
    Values v;
    const AwardTable& a = world.Tables()->awards;
    for (u32 i = 0; tiered && i < kTieredAwardCount; ++i)
      v.emplace_back("awards", Narrow(a.GetTiered(i).name) + suffix);
    for (u32 i = 0; records && i < kRecordAwardCount; ++i)
      v.emplace_back("awards", Narrow(a.GetRecord(i).name) + suffix);
    return v;
  }
  // The levels' introductions: their texts, and the names of their own items.
  Values Introductions(bool texts, bool items) const {
    Values v;
    const LevelTable& levels = world.Tables()->levels;
    for (u32 i = 0; i < kLevelCount; ++i)
      for (const INFOENTRY& e : levels.Get(i).intro) {
        if (texts && e.textKey[0]) v.emplace_back("info_panel", Narrow(e.textKey));
        if (items && e.blockKind == 1 && e.itemKind == 0 && e.itemName[0])
          v.emplace_back("info_panel", Narrow(e.itemName));
      }
    return v;
  }
  static Values Join(std::initializer_list<Values> parts) {
    Values all;
    for (const Values& p : parts) all.insert(all.end(), p.begin(), p.end());
    return all;
  }

  viewertest::ViewerRig rig;
  GameWorld world;
};

TEST_F(TextLookups, EveryTextTheCodeCanAskForIsInTheLanguageAndTheManifest) {
  const std::filesystem::path src = std::filesystem::path(TM_DATA_SOURCE_DIR) / ".." / ".." / "src";
  const std::vector<textlookups::Source> sources = textlookups::ReadSources(src);
  ASSERT_GT(sources.size(), 100u);
  // The keys the sources cannot tell, and the values they take.
  const auto none = [] { return Values{}; };  // a tutorial step's text, keyed by its number: played with its text
  const auto products = [&] { return Products(); };
  const auto bonusNames = [&] { return Bonuses([](const BONUS& b) { return b.nameKey; }); };
  const auto bonusTexts = [&] { return Bonuses([](const BONUS& b) { return b.descKey; }); };
  const std::vector<Given> given = {
      {"tutorials/LevelTutorial.cpp", "wide", none},
      {"tutorials/LevelTutorialScript.h", "k ? k : key", none},
      {"tutorials/MapTutorial.cpp", "formed.c_str()", none},
      {"tutorials/MapTutorials.cpp", "key.c_str()",
       [&] { return Bonuses([](const BONUS& b) { return b.name; }, "tutorial", "map_bonus_"); }},
      {"hud/ASSProductionSlot.cpp", "product_->name", products},
      {"ui/InfoWindow.cpp", "textKey", [&] { return Introductions(true, false); }},
      {"ui/InfoWindow.cpp", "name",
       [&] {
         return Join({Introductions(false, true), Plants(), Buildings()});
       }},
      {"ui/InfoWindow.cpp", "Field(bonus.nameKey)", bonusNames},
      {"windows/AwardsWindow.cpp", "award->name", [&] { return Awards(true, false); }},
      {"windows/AwardsWindow.cpp", "r.name", [&] { return Awards(false, true); }},
      {"windows/AwardsWindow.cpp", "key", [&] { return Awards(false, true, "_desc"); }},
      {"windows/BonusButton.cpp", "bonus.nameKey", bonusNames},
      {"windows/BonusesWindow.cpp", "b->nameKey", bonusNames},
      {"windows/BonusesWindow.cpp", "b->descKey", bonusTexts},
      // The empty place's categories, a table of the code.
      {"windows/EmptyPlacePanels.cpp", "c.hint",
       [] {
         return Values{{"level_interface", "plants"}, {"level_interface", "buildings"}, {"level_interface", "pets"}};
       }},
      {"windows/EmptyPlacePanels.cpp", "facts.name",
       [&] {
         return Join({Plants(), Buildings()});
       }},
      {"windows/ItemTag.cpp", "plant->name", [&] { return Plants(); }},
      {"windows/ItemTag.cpp", "b->name", [&] { return Buildings(); }},
      {"windows/ItemTag.cpp", "p ? p->name : u\"\"", products},
      {"windows/ItemTag.cpp", "p->name", products},
      {"windows/ItemTag.cpp", "product->name", products},
      {"windows/ItemTag.cpp", "recipe->name", products},
      {"windows/ItemTag.cpp", "key ? key : u\"\"",
       [&] {
         return Join({Products(), Plants(), Buildings()});
       }},
      {"windows/ItemTag.cpp", "award->name", [&] { return Awards(true, true); }},
      {"windows/ItemTag.cpp", "key.c_str()", [&] { return Awards(true, false, "_desc"); }},
      {"windows/LevelWindow.cpp", "record.nameKey", bonusNames},
      {"windows/LevelWindow.cpp", "record.descKey", bonusTexts},
      {"windows/WarehouseWindow.cpp", "product->name", products},
  };
  textlookups::Scanner scanner(sources, given);
  scanner.Run();
  for (const std::string& u : scanner.unread) ADD_FAILURE() << "a look-up neither read nor given: " << u;
  for (const Given& g : given)
    EXPECT_TRUE(scanner.givenUsed.count(std::string(g.file) + " " + g.key))
        << "no look-up takes " << g.file << " " << g.key;

  const GameLanguage* language = GetGameLanguage();
  ASSERT_NE(language, nullptr);
  Manifest manifest;
  std::string error;
  ASSERT_TRUE(manifest.Load(std::string(TM_DATA_SOURCE_DIR) + "/names.txt", &error)) << error;
  const auto lower = [](std::string t) {
    for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return t;
  };
  std::set<std::pair<std::string, std::string>> listed;
  for (const ManifestEntry& e : manifest.Entries())
    if (e.kind == NameKind::kText) listed.emplace(lower(e.section), lower(e.name));
  for (const auto& [name, place] : scanner.names) {
    const std::u16string section = plat::Utf8ToUtf16(name.first), key = plat::Utf8ToUtf16(name.second);
    EXPECT_NE(language->GetTextByName(section.c_str(), key.c_str(), false), nullptr)
        << "language.dat has no text " << name.first << "/" << name.second << " (asked for at " << place << ")";
    // A name the code spells out is the manifest's too (a name of the data's is the data's).
    if (scanner.written.count(name) && !listed.count({lower(name.first), lower(name.second)}))
      ADD_FAILURE() << "names.txt lacks \"text " << name.first << " " << name.second << "\" (asked for at " << place
                    << ")";
  }
  std::printf("%zu texts the code can ask for\n", scanner.names.size());
}

}  // namespace
