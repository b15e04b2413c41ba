#include "engine/DXLDirectXVersion.h"

#include <string>

#include "base/Strings.h"
#include "platform/encoding/Ascii.h"
#include "platform/os/Modules.h"

namespace {

constexpr i32 kVersionFail = static_cast<i32>(0x80004005u);

struct FileCheck {
  const char16_t* file;
  u64 atLeast;     // when the file's first part is not 4
  u64 atLeast4x;   // when it is 4
  u32 major, minor;
  wchar letter;
};

constexpr u64 V(u64 a, u64 b, u64 c, u64 d) { return DXLFileVersion(a, b, c, d); }

// Checked in order; each check that holds overwrites the result.
constexpr FileCheck kChecks[] = {
    {u"ddraw.dll", V(4, 2, 0, 95), V(4, 2, 0, 95), 1, 0, 0},
    {u"ddraw.dll", V(4, 3, 0, 1096), V(4, 3, 0, 1096), 2, 0, 0},
    {u"ddraw.dll", V(4, 4, 0, 68), V(4, 4, 0, 68), 3, 0, 0},
    {u"d3drg8x.dll", V(4, 4, 0, 70), V(4, 4, 0, 70), 3, 0, u'a'},
    {u"ddraw.dll", V(4, 5, 0, 155), V(4, 5, 0, 155), 5, 0, 0},
    {u"ddraw.dll", V(4, 6, 0, 318), V(4, 6, 0, 318), 6, 0, 0},
    {u"ddraw.dll", V(4, 6, 0, 436), V(4, 6, 0, 436), 6, 1, 0},
    {u"dplayx.dll", V(4, 6, 3, 518), V(4, 6, 3, 518), 6, 1, u'a'},
    {u"ddraw.dll", V(4, 7, 0, 700), V(4, 7, 0, 700), 7, 0, 0},
    {u"dinput.dll", V(4, 7, 0, 716), V(4, 7, 0, 716), 7, 0, u'a'},
    {u"ddraw.dll", V(5, 1, 2258, 400), V(4, 8, 0, 400), 8, 0, 0},
    {u"d3d8.dll", V(5, 1, 2600, 881), V(4, 8, 1, 881), 8, 1, 0},
    {u"d3d8.dll", V(5, 1, 2600, 901), V(4, 8, 1, 901), 8, 1, u'a'},
    {u"mpg2splt.dll", V(6, 3, 1, 885), V(6, 3, 1, 885), 8, 1, u'b'},
    {u"dpnet.dll", V(5, 2, 3677, 134), V(4, 9, 0, 134), 8, 2, 0},
    // A file that first came with version 9: any version of it means 9.0.
    {u"d3d9.dll", 0, 0, 9, 0, 0},
};

}  // namespace

bool DXLProbeDiagnostics(u32* major, u32* minor, wchar* letter) {
  plat::DiagnosticsVersion d;
  if (!plat::GetModuleProvider().QueryDiagnostics(&d)) return false;
  if (!d.hasMajor || !d.hasMinor || !d.hasLetter || d.letter.empty()) return false;
  *major = d.major;
  *minor = d.minor;
  const wchar c = plat::AsciiToLower(d.letter[0]);
  *letter = plat::IsAsciiLower(c) ? c : 0;
  return true;
}

bool DXLProbeFileVersions(u32* major, u32* minor, wchar* letter) {
  *major = *minor = 0;
  *letter = 0;
  plat::ModuleProvider& provider = plat::GetModuleProvider();
  for (const FileCheck& check : kChecks) {
    u64 version = 0;
    if (!provider.GetSystemFileVersion(check.file, &version)) continue;
    const u64 threshold = (version >> 48) == 4 ? check.atLeast4x : check.atLeast;
    if (version < threshold) continue;
    *major = check.major;
    *minor = check.minor;
    *letter = check.letter;
  }
  return true;
}

i32 DXLGetDirectXVersion(u32* version, wchar* text, u32 textSize) {
  if (version) *version = 0;
  if (text && textSize > 0) text[0] = 0;
  u32 major = 0, minor = 0;
  wchar letter = 0;
  if (!DXLProbeDiagnostics(&major, &minor, &letter) && !DXLProbeFileVersions(&major, &minor, &letter))
    return kVersionFail;
  const u32 index = letter >= u'a' && letter <= u'z' ? static_cast<u32>(letter - u'a' + 1) : 0;
  if (version) *version = major << 16 | minor << 8 | index;
  if (text && textSize > 0) {
    std::u16string s;
    for (char c : std::to_string(major)) s += static_cast<wchar>(c);
    s += u'.';
    for (char c : std::to_string(minor)) s += static_cast<wchar>(c);
    if (index) s += letter;
    kis::StrCopyW(text, textSize, s.c_str());
  }
  return 0;
}
