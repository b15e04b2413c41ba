// DXLLngFile - the reading interface of a language source file: a tree of
// named sections, each an ordered list of key and value pairs, with a current
// section that the caller moves. DXLLngFileTDR reads the text tree form (all
// of a language lives in the node "Language"), DXLLngFileXML the spreadsheet
// form (LngXmlDocument.h).
//
// Every operation of a reader whose file did not open returns 0, null or
// false and does nothing. A status of exactly 4 after a bounded read means
// the value was cut: callers treat that as a failed read.
#pragma once

#include <memory>

#include "base/Types.h"

namespace kis {
class TdrDocument;
class TdrNode;
}

// The status word of a cut read.
constexpr u32 kLngStatusCut = 4;
// The status word of an index out of range.
constexpr u32 kLngStatusBadIndex = 0x400;

class DXLLngFile {
 public:
  DXLLngFile() = default;
  DXLLngFile(const DXLLngFile&) = delete;
  DXLLngFile& operator=(const DXLLngFile&) = delete;
  virtual ~DXLLngFile() = default;

  virtual bool EnterSection(const wchar* name) = 0;  // first section of that name below the current
  virtual bool NextSection() = 0;                    // next section of the current one's name
  virtual void ToRoot() = 0;                         // the level of the header keys
  virtual void LeaveSection() = 0;
  virtual u32 GetCount() = 0;                        // pairs of the current section
  virtual const wchar* GetValue(const wchar* name, u32* length) = 0;
  virtual const wchar* GetKey(u32 index, u32* length) = 0;
  virtual const wchar* GetValueAt(u32 index, u32* length) = 0;
  // The value of a key by the value rules into a bounded buffer; characters
  // stored, or with no buffer the length needed.
  virtual u32 ReadValueA(const char* name, char* buffer, u32 capacity) = 0;
  virtual u32 ReadValue(const wchar* name, wchar* buffer, u32 capacity) = 0;
  virtual u32 GetStatus() = 0;

  bool IsOpen() const { return isOpen_ != 0; }

 protected:
  u8 isOpen_ = 0;
};

class DXLLngFileTDR final : public DXLLngFile {
 public:
  explicit DXLLngFileTDR(const wchar* path);
  ~DXLLngFileTDR() override;

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

 private:
  std::unique_ptr<kis::TdrDocument> document_;
  kis::TdrNode* languageNode_ = nullptr;  // the "Language" node: the root of the language
};
