#include "gametext/DXLLngFileXML.h"

#include "gametext/LngXmlDocument.h"

namespace {

const wchar* EmptyXmlText(u32* length) {
  if (length) *length = 0;
  return nullptr;
}

}  // namespace

DXLLngFileXML::DXLLngFileXML(const wchar* path) : document_(std::make_unique<LngXmlDocument>()) {
  if (document_->Load(path) && document_->HasContent()) isOpen_ = 1;
}

DXLLngFileXML::~DXLLngFileXML() = default;

bool DXLLngFileXML::EnterSection(const wchar* name) { return isOpen_ && document_->EnterSection(name); }
bool DXLLngFileXML::NextSection() { return isOpen_ && document_->NextSection(); }
void DXLLngFileXML::ToRoot() {
  if (isOpen_) document_->ToRoot();
}
void DXLLngFileXML::LeaveSection() {
  if (isOpen_) document_->ToRoot();
}
u32 DXLLngFileXML::GetCount() { return isOpen_ ? document_->GetCount() : 0; }
const wchar* DXLLngFileXML::GetValue(const wchar* name, u32* length) {
  return isOpen_ ? document_->GetValue(name, length) : EmptyXmlText(length);
}
const wchar* DXLLngFileXML::GetKey(u32 index, u32* length) {
  return isOpen_ ? document_->GetKey(index, length) : EmptyXmlText(length);
}
const wchar* DXLLngFileXML::GetValueAt(u32 index, u32* length) {
  return isOpen_ ? document_->GetValueAt(index, length) : EmptyXmlText(length);
}
u32 DXLLngFileXML::ReadValueA(const char* name, char* buffer, u32 capacity) {
  return isOpen_ ? document_->ReadValueA(name, buffer, capacity) : 0;
}
u32 DXLLngFileXML::ReadValue(const wchar* name, wchar* buffer, u32 capacity) {
  return isOpen_ ? document_->ReadValue(name, buffer, capacity) : 0;
}
u32 DXLLngFileXML::GetStatus() { return isOpen_ ? document_->GetStatus() : 0; }
