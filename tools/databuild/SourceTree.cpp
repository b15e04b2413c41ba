#include "SourceTree.h"

#include <cstdio>

#include "Manifest.h"
#include "platform/encoding/Utf.h"

namespace {

std::string NodeName(const kis::TdrNode* node) {
  return node && node->name ? plat::Utf16ToUtf8(std::u16string(node->name, node->nameLength)) : std::string();
}

}  // namespace

std::string NarrowName(const wchar* text) { return plat::Utf16ToUtf8(std::u16string(text)); }

bool SourceTree::Load(const std::string& path, const std::string& shown) {
  shown_ = shown;
  const std::u16string wide = plat::Utf8ToUtf16(path);
  if (!doc_.SetFileName(wide.c_str()) || !doc_.Load()) {
    std::fprintf(stderr, "databuild: %s: cannot be read as a text tree (status 0x%X)\n", shown.c_str(),
                 doc_.GetStatus());
    ok_ = false;
    return false;
  }
  return true;
}

std::vector<kis::TdrNode*> SourceTree::Blocks(const char16_t* name) {
  std::vector<kis::TdrNode*> out;
  kis::TdrNode* at = doc_.GetCurrentNode();
  const std::string wanted = FoldName(plat::Utf16ToUtf8(name));
  for (u32 i = 0; at && i < at->children.Count(); ++i)
    if (FoldName(NodeName(at->children[i])) == wanted) out.push_back(at->children[i]);
  return out;
}

u32 SourceTree::LineCount() { return doc_.GetAttributeCount(); }

std::string SourceTree::LineName(u32 line) {
  u32 length = 0;
  const wchar* name = doc_.GetAttributeName(line, &length);
  return name ? FoldName(plat::Utf16ToUtf8(std::u16string(name, length))) : std::string();
}

bool SourceTree::Check(u32 line, u32 records) {
  if (records == 1 && doc_.GetStatus() == 0) return true;
  u32 length = 0;
  const wchar* value = doc_.GetAttributeValue(line, &length);
  Fail(LineName(line) + ": cannot read \"" +
       (value ? plat::Utf16ToUtf8(std::u16string(value, length)) : std::string()) + "\"");
  return false;
}

std::string SourceTree::BlockPath() {
  std::string path;
  for (const kis::TdrNode* n = doc_.GetCurrentNode(); n && n->name; n = n->parent)
    path = NodeName(n) + (path.empty() ? "" : "/") + path;
  return path;
}

void SourceTree::Fail(const std::string& what) {
  const std::string block = BlockPath();
  std::fprintf(stderr, "databuild: %s: %s%s%s\n", shown_.c_str(), block.c_str(), block.empty() ? "" : ": ",
               what.c_str());
  ok_ = false;
}
