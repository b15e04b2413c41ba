// GameDigitalText - a number in a digit font drawn through the game's quad
// drawing: under the viewer's current transform, with the font's texture
// bound as the game's draw texture, the batch ended afterwards. The price of
// price buttons and the counters of the money and warehouse windows.
#pragma once

#include "engine/text/DigitalText.h"

class GameDigitalText : public DigitalText {
 public:
  using DigitalText::DigitalText;
  void Draw() override;
};
