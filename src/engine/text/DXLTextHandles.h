// DXLTextHandles - the engine's registry of objects that mark-up text may
// name: fonts (wide and 8-bit), textures and quads, each under a 32-bit
// handle that the text writes as hexadecimal digits ("<FONT=1A>"). A handle
// never stands for a memory address, so a text can only reach objects that
// were registered and are still alive.
//
// The registry listens to every font and texture it holds and forgets it the
// moment it reports that it goes away (kNotifyDestroyed). Quads are copied in when they
// are registered; the registry owns the copy. Handles count up from 1 and are
// not given out twice while the registry lives; 0 is never a handle.
// Registering an object that is already registered returns its handle.
//
// The engine's one registry is EngineTextServices::handles
// (EngineTextServices.h); Reset empties it.
#pragma once

#include <unordered_map>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLNotifyObject.h"

template <class Ch>
class DXLFontT;
class DXLTexture;

class DXLTextHandles : public DXLNotifyObject {
 public:
  DXLTextHandles() = default;
  ~DXLTextHandles() override;

  DXLTextHandles(const DXLTextHandles&) = delete;
  DXLTextHandles& operator=(const DXLTextHandles&) = delete;

  void Reset();  // forgets every handle and starts counting at 1 again

  void Notify(DXLNotifyObject* sender, u32 code) override;

  u32 AddFont(DXLFontT<wchar>* font);  // 0 for null
  u32 AddFont(DXLFontT<char>* font);
  u32 AddTexture(DXLTexture* texture);
  u32 AddQuad(const DXLQUAD& quad);     // a new handle for every call
  bool SetQuad(u32 handle, const DXLQUAD& quad);  // replaces a registered quad
  void Remove(u32 handle);              // nothing for an unknown handle
  void Forget(const DXLNotifyObject* object);  // every handle of the object

  // Null for 0, unknown handles and handles of another kind.
  template <class Ch>
  DXLFontT<Ch>* FindFont(u32 handle) const;
  DXLTexture* FindTexture(u32 handle) const;
  const DXLQUAD* FindQuad(u32 handle) const;

  u32 GetCount() const { return static_cast<u32>(entries_.size()); }

 private:
  enum Kind : u8 { kFontW = 1, kFontA = 2, kTexture = 3, kQuad = 4 };
  struct Entry {
    Kind kind;
    DXLNotifyObject* object;  // fonts and textures; null for quads
    void* typed;              // the same object as its own type
    DXLQUAD quad;
  };

  u32 AddObject(Kind kind, DXLNotifyObject* object, void* typed);
  u32 NextHandle();
  void Clear();

  std::unordered_map<u32, Entry> entries_;
  u32 next_ = 1;
};

template <>
DXLFontT<wchar>* DXLTextHandles::FindFont<wchar>(u32 handle) const;
template <>
DXLFontT<char>* DXLTextHandles::FindFont<char>(u32 handle) const;
