#include "gametext/DXLLngFile.h"

#include "base/text/TdrDocument.h"

namespace {

const wchar* Empty(u32* length) {
  if (length) *length = 0;
  return nullptr;
}

}  // namespace

DXLLngFileTDR::DXLLngFileTDR(const wchar* path) {
  kis::TdrDocument* doc = nullptr;
  if (!path || !kis::LoadTdrDocument(path, &doc)) return;
  document_.reset(doc);
  if (document_->FindChild(u"Language", false)) {
    languageNode_ = document_->GetCurrentNode();
    isOpen_ = 1;
  }
}

DXLLngFileTDR::~DXLLngFileTDR() = default;

bool DXLLngFileTDR::EnterSection(const wchar* name) { return isOpen_ && document_->FindChild(name, true); }

bool DXLLngFileTDR::NextSection() { return isOpen_ && document_->NextSibling(); }

// The language's own root is the "Language" node, which holds the header
// keys; the document's root above it holds nothing of the language.
void DXLLngFileTDR::ToRoot() {
  if (isOpen_) document_->SetCurrentNode(languageNode_);
}

void DXLLngFileTDR::LeaveSection() {
  if (isOpen_ && document_->GetCurrentNode() != languageNode_) document_->GoParent();
}

u32 DXLLngFileTDR::GetCount() { return isOpen_ ? document_->GetAttributeCount() : 0; }

const wchar* DXLLngFileTDR::GetValue(const wchar* name, u32* length) {
  return isOpen_ ? document_->GetValue(name, length) : Empty(length);
}

const wchar* DXLLngFileTDR::GetKey(u32 index, u32* length) {
  return isOpen_ ? document_->GetAttributeName(index, length) : Empty(length);
}

const wchar* DXLLngFileTDR::GetValueAt(u32 index, u32* length) {
  return isOpen_ ? document_->GetAttributeValue(index, length) : Empty(length);
}

u32 DXLLngFileTDR::ReadValueA(const char* name, char* buffer, u32 capacity) {
  return isOpen_ ? document_->ReadStringA(name, buffer, capacity, nullptr) : 0;
}

u32 DXLLngFileTDR::ReadValue(const wchar* name, wchar* buffer, u32 capacity) {
  return isOpen_ ? document_->ReadStringW(name, buffer, capacity, nullptr) : 0;
}

u32 DXLLngFileTDR::GetStatus() { return isOpen_ ? document_->GetStatus() : 0; }
