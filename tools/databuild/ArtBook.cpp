#include "ArtBook.h"

#include "Manifest.h"

const ArtBook& ArtBook::Get() {
  static const ArtBook book = [] {
    ArtBook b;
    AddGroundArt(b);
    AddPlaceArt(b);
    AddEffectArt(b);
    AddProductArt(b);
    AddIconArt(b);
    AddKindArt(b);
    AddBuildingArt(b);
    AddPlantArt(b);
    AddGirlArt(b);
    AddChickenArt(b);
    AddShedArt(b);
    AddVillainArt(b);
    AddInterfaceArt(b);
    AddHudArt(b);
    AddStoreArt(b);
    AddDigitFontArt(b);
    AddGameFontArt(b);
    AddMapArt(b);
    AddComixArt(b);
    AddAwardsArt(b);
    AddMainScreenArt(b);
    return b;
  }();
  return book;
}

const ArtPiece* ArtBook::Find(u32 set, const std::string& name) const {
  const auto it = pieces_.find({set, FoldName(name)});
  return it == pieces_.end() ? nullptr : &it->second;
}

void ArtBook::Add(u32 set, const std::string& name, ArtPiece piece) {
  pieces_[{set, FoldName(name)}] = std::move(piece);
}

ArtPiece FramesPiece(std::function<void(cairo_t*, const ArtFrame&)> draw, u32 frames) {
  ArtPiece p;
  p.draw = std::move(draw);
  p.layout = FrameLayout{frames, frames};
  return p;
}
