#include "base/Path.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/encoding/Ascii.h"
#include "platform/encoding/Utf.h"
#include "platform/os/FileSystem.h"

namespace kis {
namespace {

template <class C> using Str = std::basic_string<C>;
template <class C> using View = std::basic_string_view<C>;

template <class C> bool IsSep(C c) { return c == '\\' || c == '/'; }
template <class C> bool IsFolderEnd(C c) { return IsSep(c) || c == ':'; }

template <class C> View<C> ViewOf(const C* text) { return text ? View<C>(text) : View<C>(); }

// Copies text into the buffer, cut to fit, always terminated.
template <class C> C* CopyOut(C* buf, u32 size, View<C> text) {
  if (!buf || size == 0) return buf;
  const size_t n = text.size() < size - 1 ? text.size() : size - 1;
  for (size_t i = 0; i < n; ++i) buf[i] = text[i];  // forward copy: text may start at buf
  buf[n] = 0;
  return buf;
}

// Length of the folder part (through its last separator or ":"), 0 when none.
template <class C> size_t FolderLength(View<C> path) {
  for (size_t i = path.size(); i-- > 0;)
    if (IsFolderEnd(path[i])) return i + 1;
  return 0;
}

template <class C> bool IsNetworkPath(View<C> p) { return p.size() >= 2 && p[0] == '\\' && p[1] == '\\'; }

// The root of a path: "X:\\", "\\\\server\\share\\" or "/", with its trailing
// separator so components follow it directly. `used` is the number of
// characters of the path the root stands for. False for a network root with
// no server or share name.
template <class C> bool ParseRoot(View<C> p, Str<C>& root, size_t& used) {
  root.clear();
  used = 0;
  if (!p.empty() && p[0] == '/') {
    root.push_back('/');
    used = 1;
    return true;
  }
  if (IsNetworkPath(p)) {
    size_t i = 2;
    const size_t serverStart = i;
    while (i < p.size() && !IsSep(p[i])) ++i;
    if (i == serverStart || i == p.size()) return false;
    const View<C> server = p.substr(serverStart, i - serverStart);
    const size_t shareStart = ++i;
    while (i < p.size() && !IsSep(p[i])) ++i;
    if (i == shareStart) return false;
    root.assign(2, C('\\'));
    root.append(server);
    root.push_back('\\');
    root.append(p.substr(shareStart, i - shareStart));
    root.push_back('\\');
    used = i;
    return true;
  }
  if (p.size() >= 2 && plat::IsAsciiLetter(p[0]) && p[1] == ':') {
    root.assign(p.substr(0, 2));
    root.push_back('\\');
    used = 2;
  }
  return true;
}

// Adds the components of `part` to the list: "." is skipped and ".." drops the
// last one kept (never going above the root).
template <class C> void AppendComponents(std::vector<Str<C>>& parts, View<C> part) {
  size_t i = 0;
  while (i < part.size()) {
    while (i < part.size() && IsSep(part[i])) ++i;
    size_t j = i;
    while (j < part.size() && !IsSep(part[j])) ++j;
    const View<C> name = part.substr(i, j - i);
    const C dot[] = {'.', 0};
    const C dots[] = {'.', '.', 0};
    if (name.empty() || name == dot) {
      // nothing to add
    } else if (name == dots) {
      if (!parts.empty()) parts.pop_back();
    } else {
      parts.emplace_back(name);
    }
    i = j;
  }
}

}  // namespace

template <class C> C* ExtractFilePath(C* buf, u32 size, const C* path) {
  const View<C> p = ViewOf(path);
  return CopyOut(buf, size, p.substr(0, FolderLength(p)));
}

template <class C> C* ExtractFileName(C* buf, u32 size, const C* path, bool keepExtension) {
  const View<C> p = ViewOf(path);
  const Str<C> name(p.substr(FolderLength(p)));  // a copy: buf may be path
  CopyOut(buf, size, View<C>(name));
  if (!keepExtension && buf && size) RemoveExt(buf, false);
  return buf;
}

template <class C> const C* FindFileExt(const C* path, bool withDot) {
  if (!path) return nullptr;
  const C* last = nullptr;
  for (const C* p = path; *p; ++p)
    if (*p == '.' || IsFolderEnd(*p)) last = p;
  if (!last || *last != '.') return nullptr;
  return withDot ? last : last + 1;
}

template <class C> C* RemoveExt(C* path, bool all) {
  if (!path) return path;
  while (const C* dot = FindFileExt(path, true)) {
    path[dot - path] = 0;
    if (!all) break;
  }
  return path;
}

template <class C> C* AddBackslash(C* path, u32 size) {
  if (!path || size == 0) return path;
  u32 len = 0;
  while (len < size && path[len]) ++len;
  if (len >= size - 1) return path;  // full (or unterminated): left as it is
  if (len > 0 && IsSep(path[len - 1])) return path;
  path[len] = '\\';
  path[len + 1] = 0;
  return path;
}

template <class C> C* RemoveTrailingBackslash(C* path) {
  if (!path || !path[0]) return path;
  size_t len = 0;
  while (path[len]) ++len;
  if (IsSep(path[len - 1])) path[len - 1] = 0;
  return path;
}

template <class C> C* MakeAbsolutePath(C* buf, u32 size, const C* path, const C* base, const C* suffix) {
  if (!buf || size == 0) return buf;
  const View<C> p = ViewOf(path);
  const View<C> b = ViewOf(base);
  const bool relative = p.find(C(':')) == View<C>::npos && !IsNetworkPath(p) && !(p.size() && p[0] == '/');
  if (!relative || b.empty()) {
    if (buf != path) CopyOut(buf, size, p);
    return buf;
  }
  Str<C> out(b.substr(0, FolderLength(b)));
  if (!p.empty() && p[0] == '\\' && !out.empty() && IsSep(out.back())) out.pop_back();
  out.append(p);
  out.append(ViewOf(suffix));
  return CopyOut(buf, size, View<C>(out));
}

template <class C> bool CombinePath(C* buf, u32 size, const C* base, const C* path, bool dropFileName) {
  if (!buf || size == 0) return false;
  // Both inputs are copied first: either may be the output buffer.
  const Str<C> p(ViewOf(path));
  const Str<C> b(ViewOf(base));
  Str<C> root;
  size_t used = 0;
  std::vector<Str<C>> parts;
  bool ok = ParseRoot(View<C>(p), root, used);
  if (ok && root.empty()) {
    size_t baseUsed = 0;
    ok = ParseRoot(View<C>(b), root, baseUsed);
    View<C> rest = View<C>(b).substr(baseUsed);
    if (dropFileName) rest = rest.substr(0, FolderLength(rest));
    AppendComponents(parts, rest);
  }
  if (ok) AppendComponents(parts, View<C>(p).substr(used));
  if (!ok) {
    buf[0] = 0;
    return false;
  }
  const C sep = (root.size() == 1 && root[0] == '/') ? C('/') : C('\\');
  Str<C> out = root;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i) out.push_back(sep);
    out.append(parts[i]);
  }
  if (out.size() >= size) {
    buf[0] = 0;
    return false;
  }
  CopyOut(buf, size, View<C>(out));
  return true;
}

template <class C> C* GetAppDir(C* buf, u32 size) {
  const std::u16string program = plat::GetProgramPath();
  // A native path: only its separators end the folder (":" is a plain character).
  const size_t slash = program.find_last_of(u"/\\");
  const std::u16string folder = slash == std::u16string::npos ? std::u16string() : program.substr(0, slash + 1);
  if constexpr (sizeof(C) == 1) {
    const std::string utf8 = plat::Utf16ToUtf8(folder);
    return CopyOut(buf, size, View<C>(reinterpret_cast<const C*>(utf8.data()), utf8.size()));
  } else {
    return CopyOut(buf, size, View<C>(folder));
  }
}

template <class C> i32 StrFindLastOf(const C* text, const C* set, i32 limit) {
  if (!text || !set || limit < 0) return -1;
  i32 len = 0;
  while (len <= limit && text[len]) ++len;  // never reads past the terminator
  const View<C> chars(set);
  for (i32 i = (limit < len ? limit : len - 1); i >= 0; --i)
    if (chars.find(text[i]) != View<C>::npos) return i;
  return -1;
}

bool IsExistingFileW(const wchar* path) {
  if (!path) return false;
  const u32 attr = plat::GetFileAttributes(std::u16string_view(path));
  return attr != plat::kInvalidAttributes && !(attr & (plat::kAttrDirectory | plat::kAttrDevice));
}

#define KIS_PATH(C)                                                          \
  template C* ExtractFilePath<C>(C*, u32, const C*);                         \
  template C* ExtractFileName<C>(C*, u32, const C*, bool);                   \
  template const C* FindFileExt<C>(const C*, bool);                          \
  template C* RemoveExt<C>(C*, bool);                                        \
  template C* AddBackslash<C>(C*, u32);                                      \
  template C* RemoveTrailingBackslash<C>(C*);                                \
  template C* MakeAbsolutePath<C>(C*, u32, const C*, const C*, const C*);    \
  template bool CombinePath<C>(C*, u32, const C*, const C*, bool);           \
  template C* GetAppDir<C>(C*, u32);                                         \
  template i32 StrFindLastOf<C>(const C*, const C*, i32);

KIS_PATH(char)
KIS_PATH(char16_t)
#undef KIS_PATH

}  // namespace kis
