// Shared pieces of the language tests: a scratch folder per test, the sample
// language copied into it with four small bitmap fonts beside it, the same
// language written as a spreadsheet, and a dump of everything a loaded game
// language holds.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "base/text/TdrDocument.h"
#include "engine/DXLTexture.h"
#include "engine/image/SaveBitmapTGA.h"
#include "gametext/GameLanguage.h"
#include "gametext/KGEFont.h"
#include "platform/encoding/Utf.h"

namespace lngtest {

namespace fs = std::filesystem;

inline std::string SampleDir() { return std::string(TM_TEST_DATA_DIR) + "/../../tools/data/language"; }

inline void WriteBytes(const std::string& path, const std::string& bytes) {
  fs::create_directories(fs::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

inline std::u16string U16(const std::string& s) { return plat::Utf8ToUtf16(s); }
inline std::string U8(const std::u16string& s) { return plat::Utf16ToUtf8(s); }
inline std::string U8(const wchar* s) { return s ? plat::Utf16ToUtf8(s) : std::string("(null)"); }

// A white 32-bit Targa picture.
inline std::string WhiteTarga(u32 width, u32 height) {
  const std::vector<u32> white(size_t{width} * height, 0xFFFFFFFFu);
  const std::vector<u8> file = DXLEncodeTGA32(width, height, white.data());
  return std::string(file.begin(), file.end());
}

// A bitmap font of cells `width` pixels wide for the printable ASCII range.
inline void WriteBitmapFont(const std::string& folder, const std::string& name, int width, int height) {
  WriteBytes(folder + "/" + name + ".tga", WhiteTarga(128, 128));
  std::string d = "glyphs {\n";
  d += "\timage = \"" + name + ".tga\"\n";
  d += "\theight = " + std::to_string(height) + "\n";
  d += "\twidth = " + std::to_string(width) + "\n";
  d += "\tchars = \"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789.,!?\"\n";
  d += "\tspace = 3\n";
  d += "}\n";
  WriteBytes(folder + "/" + name + ".txt", d);
}

// Copies the sample language into `dir` and puts the four fonts it names
// beside it, and a white title picture "logo" of 512 x 256 (the data
// builder draws the real one). Returns the path of the copy's text tree file.
inline std::string SampleCopy(const std::string& dir) {
  fs::copy(SampleDir(), dir, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
  // The data builder draws the language's pictures: small white stand-ins here.
  WriteBytes(dir + "/images/logo.tga", WhiteTarga(512, 256));
  WriteBytes(dir + "/images/loading_logo.tga", WhiteTarga(128, 64));
  WriteBytes(dir + "/images/credits_farm.tga", WhiteTarga(96, 48));
  WriteBitmapFont(dir + "/fonts", "buttons_font", 6, 10);
  WriteBitmapFont(dir + "/fonts", "caption_font", 8, 12);
  WriteBitmapFont(dir + "/fonts", "main_font", 7, 11);
  WriteBitmapFont(dir + "/fonts", "main_big_font", 9, 14);
  return dir + "/english.txt";
}

inline std::string XmlEscape(const std::u16string& s) {
  std::string out;
  for (char c : U8(s)) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '>') out += "&gt;";
    else out += c;
  }
  return out;
}

inline std::string XmlRow(const std::u16string& a, const std::u16string& b) {
  return "  <Row><Cell><Data ss:Type=\"String\">" + XmlEscape(a) + "</Data></Cell><Cell><Data ss:Type=\"String\">" +
         XmlEscape(b) + "</Data></Cell></Row>\n";
}

// The spreadsheet form of a text tree language: the header keys before the
// first section row, then one "[name]" row and the pairs of every block.
inline std::string TreeToSpreadsheet(const std::string& treePath) {
  kis::TdrDocument* raw = nullptr;
  const std::u16string path = U16(treePath);
  if (!kis::LoadTdrDocument(path.c_str(), &raw)) return {};
  std::unique_ptr<kis::TdrDocument> doc(raw);
  if (!doc->FindChild(u"Language", false)) return {};
  kis::TdrNode* lang = doc->GetCurrentNode();
  std::string x = "<?xml version=\"1.0\"?>\n<Workbook>\n <Worksheet ss:Name=\"english\">\n <Table>\n";
  auto pairs = [&](kis::TdrNode* n) {
    for (u32 i = 0; i < n->attributes.Count(); ++i) {
      const kis::TDRATTRIBUTE& a = n->attributes[i];
      x += XmlRow(std::u16string(a.name, a.nameLength), std::u16string(a.name + a.valueOffset, a.valueLength));
    }
  };
  pairs(lang);
  for (u32 c = 0; c < lang->children.Count(); ++c) {
    kis::TdrNode* s = lang->children[c];
    x += XmlRow(u"[" + std::u16string(s->name, s->nameLength) + u"]", u"");
    pairs(s);
  }
  x += " </Table>\n </Worksheet>\n</Workbook>\n";
  return x;
}

inline std::string TextDump(const DXLLngText* t) {
  if (!t) return "(none)";
  std::string s = U8(std::u16string(t->key.name, t->key.length)) + "[";
  for (u32 i = 0; i < t->count; ++i) s += (i ? "|" : "") + U8(std::u16string(t->Variants()[i].text, t->Variants()[i].length));
  return s + "]";
}

inline std::string ImageDump(const GameLanguage& lang, const DXLTexture* t) {
  if (!t) return "(no image)";
  const DXLLngResource* r = lang.FindResourceByTexture(t);
  std::string s = r ? U8(std::u16string(r->name.name, r->name.length)) : std::string("(foreign)");
  return s + " " + std::to_string(t->GetImageWidth()) + "x" + std::to_string(t->GetImageHeight()) +
         (t->IsReady() ? " ready" : " not ready");
}

inline std::string FontDump(const KGEFont* f) {
  if (!f) return "(no font)";
  std::string s = "cells " + std::to_string(f->GetImageCount()) + " cell height " + std::to_string(f->GetCellHeight()) +
                  " height " + std::to_string(f->GetHeight()) + " ascent " + std::to_string(f->GetAscent()) +
                  " space " + std::to_string(f->GetSpace()) + " glyphs ";
  for (u32 i = 0; i < f->GetGlyphCount(); ++i) {
    const KGEGLYPH& g = f->GetGlyphs()[i];
    s += std::to_string(g.code) + ":" + std::to_string(g.advance) + " ";
  }
  const DXLTexture* pic = f->GetTexture();
  s += pic ? std::to_string(pic->GetImageWidth()) + "x" + std::to_string(pic->GetImageHeight()) : "(no picture)";
  return s;
}

// Everything the game reads from a loaded language, one item per line.
inline std::string Dump(const GameLanguage& lang) {
  std::ostringstream o;
  o << "ident " << U8(std::u16string(lang.GetIdent().name, lang.GetIdent().length)) << "\n";
  o << "name " << U8(lang.GetName()) << "\n";
  o << "default " << TextDump(lang.GetDefaultText()) << "\n";
  o << "title " << U8(lang.GetWindowTitle()) << "\n";
  o << "profile " << U8(lang.GetProfileChars()) << " (" << lang.GetProfileCharsLength() << ")\n";
  o << "logo " << ImageDump(lang, lang.GetLogo().image) << " at " << lang.GetLogo().x << "," << lang.GetLogo().y << "\n";
  o << "loading_logo " << ImageDump(lang, lang.GetImage(u"loading_logo")) << "\n";
  for (u32 i = 0; i < lang.GetTableCount(); ++i) {
    const DXLLngTable* t = lang.GetTable(i);
    o << "table " << U8(std::u16string(t->GetName().name, t->GetName().length)) << " (" << t->GetCount() << ")\n";
    for (u32 k = 0; k < t->GetCount(); ++k) o << "  " << TextDump(t->GetTextAt(k)) << "\n";
  }
  for (u32 i = 0; i < lang.GetComixCount(); ++i) {
    const COMIXTEXT* c = lang.GetComix(i);
    o << "comix " << TextDump(c->text) << " at " << c->x << "," << c->y << " scale " << c->scale << "\n";
  }
  const COMIXTEXT& m = lang.GetMissingComix();
  o << "missing comix " << TextDump(m.text) << " at " << m.x << "," << m.y << " scale " << m.scale << "\n";
  for (u32 i = 0; i < lang.GetCreditCount(); ++i) {
    const CREDITITEM* c = lang.GetCredit(i);
    o << "credit " << c->kind << " size " << c->size << " ";
    if (c->kind == kCreditText) o << "'" << U8(std::u16string(c->text, c->length)) << "'";
    else o << ImageDump(lang, c->image);
    o << "\n";
  }
  for (u32 i = 0; i < kGameFontCount; ++i) o << "font " << i << " " << FontDump(lang.GetFont(i)) << "\n";
  return o.str();
}

}  // namespace lngtest
