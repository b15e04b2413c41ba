// The game's quad drawing on the game viewer (ResourceServices): one current
// draw texture bound lazily, so runs of quads from one sheet draw without
// state changes; one current blend-state record that, while set, replaces
// each texture's own draw state; DrawQuad, which feeds the sprite batch
// while it collects; the screen borders; the game fonts by number; the
// frame of an animation on the frame clock; and the places told under the
// developer switch "Places".
//
// Callers bracket a draw with their own state:
//   const DXLDRAWSTATE* previous = SetBlendState(&own); ...; SetBlendState(previous);
#pragma once

#include <string>

#include "base/Types.h"
#include "engine/DXLDrawTypes.h"
#include "engine/DXLFrameSeq.h"

class DXLTexture;
class KGEFont;
class SpriteBatch;

// Makes the texture current (null unbinds). The current texture again does
// nothing while the viewer still has it bound (something drawing past this
// record may have bound another or none); otherwise the old one is deselected (clearing the viewer's texture
// when the new one is not ready), a set blend-state record is applied when no
// texture was current, and the new texture selects itself, with its own draw
// state only while no record is set.
void BindDrawTexture(DXLTexture* texture);
void UnbindDrawTexture();
DXLTexture* GetDrawTexture();
// Stores the record (null allowed) and returns the previous one. With a
// texture current it applies at once: the record, or for null the texture's
// own draw state.
const DXLDRAWSTATE* SetBlendState(const DXLDRAWSTATE* record);
const DXLDRAWSTATE* GetBlendState();

// One quad with the current texture and states; into the sprite batch while
// it collects. Null draws nothing.
void DrawQuad(const DXLQUAD* quad);
// The screen-border pieces under an identity world transform; nothing when
// there are none.
void DrawScreenBorders();
// The game viewer's transform made the game area's: its place on the
// screen and its scale (identity when the game fills the screen). What
// draws in game coordinates starts from it, never from the identity.
void LoadGameAreaTransform();

// With the developer switch "Places" on (ResourceServices::tellPlaces), the
// log line "Placed WHAT X Y W H": where something a player may click is
// drawn, the rectangle given in game coordinates told in the frame's pixels
// (the window's own while it shows the frame unscaled), for a robot that
// plays the game through the display. Off, nothing is written. TellGone:
// "Gone WHAT", for a placed thing that is no longer there.
void TellPlace(const std::string& what, const DXLRECT& rect);
void TellGone(const std::string& what);

// 0 and numbers above 9: null; 1 to 4 the current language's fonts; 5 to 9
// the game font table.
KGEFont* GetGameFont(u32 number);

// Sets and returns the sequence's current frame for the frame clock, the
// sequence's elapsed word holding its start time.
u32 UpdateAnimFrame(DXLFRAMESEQ* seq);

SpriteBatch& GetSpriteBatch();
