// DXLLngFileXML - the language reader over a spreadsheet-XML document
// (LngXmlDocument). Open when the file holds at least one section or one
// pair before the first section.
#pragma once

#include <memory>

#include "gametext/DXLLngFile.h"

class LngXmlDocument;

class DXLLngFileXML final : public DXLLngFile {
 public:
  explicit DXLLngFileXML(const wchar* path);
  ~DXLLngFileXML() override;

  bool EnterSection(const wchar* name) override;
  bool NextSection() override;
  void ToRoot() override;
  void LeaveSection() override;
  u32 GetCount() override;
  const wchar* GetValue(const wchar* name, u32* length) override;
  const wchar* GetKey(u32 index, u32* length) override;
  const wchar* GetValueAt(u32 index, u32* length) override;
  u32 ReadValueA(const char* name, char* buffer, u32 capacity) override;
  u32 ReadValue(const wchar* name, wchar* buffer, u32 capacity) override;
  u32 GetStatus() override;

  LngXmlDocument* GetDocument() const { return document_.get(); }

 private:
  std::unique_ptr<LngXmlDocument> document_;
};
