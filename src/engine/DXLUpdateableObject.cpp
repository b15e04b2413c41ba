#include "engine/DXLUpdateableObject.h"

void DXLUpdateableObject::Update(DXLUpdateableObject* /*source*/) {
  if (owner_) owner_->Changed(this);
}

void DXLUpdateableObject::Changed(DXLUpdateableObject* source) {
  if (updateCounter_ == 0) Update(source);
}

void DXLUpdateableObject::EndUpdate() {
  if (updateCounter_ == 0) return;
  --updateCounter_;
  Changed(nullptr);
}
