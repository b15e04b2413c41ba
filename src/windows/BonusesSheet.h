// BonusesSheet - where the bonuses window and the level window cut their
// pictures from the sprite "bonuses_wnd" of sprite set 1; the data builder
// draws the sheet by the same numbers, so each rectangle is written once.
//
//   - the three slot columns, 63 x 268 at x 0, 64 and 128: four state
//     frames of 67 downwards (disabled, normal, hover, pressed);
//   - the slot plate at (0, 270), 140 x 79, with caps of 38;
//   - the window's frame at (196, 0), 64 x 88, a nine-slice with borders
//     24, 28, 20 and 20;
//   - the closing piece below the last panel at (196, 92), 64 x 6, caps of 8;
//   - a panel's face: seven frames of 637 x 45 downwards from (0, 352), 46
//     apart, each cut in five pieces 5, 210, 20, 364 and 38 wide; two runs
//     of state frames: an unchecked panel's four (disabled, normal, hover,
//     pressed), then a checked one's three (normal, hover, pressed); in
//     every face a dark socket where a chosen panel's check mark stands
//     (its top-left at kCheckX, kCheckY), so the mark, tinted with the face,
//     reads against it in every state.
#pragma once

#include "base/Types.h"

namespace bonuses_sheet {

constexpr i32 kWidth = 640;
constexpr i32 kHeight = 680;

constexpr i32 kSlotWidth = 63;
constexpr i32 kSlotHeight = 67;  // a state frame
constexpr i32 kSlotStates = 4;
constexpr i32 kSlotStep = 64;    // from one slot column to the next

constexpr i32 kPlateX = 0, kPlateY = 270, kPlateWidth = 140, kPlateHeight = 79, kPlateCaps = 38;

constexpr i32 kFrameX = 196, kFrameY = 0, kFrameWidth = 64, kFrameHeight = 88;
constexpr i32 kFrameLeft = 24, kFrameRight = 28, kFrameTop = 20, kFrameBottom = 20;

constexpr i32 kClosingX = 196, kClosingY = 92, kClosingWidth = 64, kClosingHeight = 6, kClosingCaps = 8;

constexpr i32 kFaceY = 352;
constexpr i32 kFaceStep = 46;
constexpr i32 kFaceWidth = 637;
constexpr i32 kFaceHeight = 45;
constexpr i32 kFacePieces = 5;
constexpr i32 kFacePieceWidths[kFacePieces] = {5, 210, 20, 364, 38};
constexpr i32 kFaceFrames = 7;
constexpr i32 kFaceCheckedFrames = 4;  // the checked run's first frame
constexpr i32 kCheckX = kFaceWidth - 43, kCheckY = 7;
constexpr i32 kCheckWidth = 24, kCheckHeight = 22;  // the mark "small_green_check" of the icon set

// A panel's face frame for its state (0 disabled, 1 normal, 2 hover, 3
// pressed) and check: a checked panel shows its normal frame while disabled.
constexpr i32 FaceFrame(u32 state, bool checked) {
  const i32 base = static_cast<i32>(state & 3);
  return checked ? kFaceCheckedFrames + (base <= 1 ? 0 : base - 1) : base;
}

static_assert(kFaceY + (kFaceFrames - 1) * kFaceStep + kFaceHeight <= kHeight);
static_assert(kFacePieceWidths[0] + kFacePieceWidths[1] + kFacePieceWidths[2] + kFacePieceWidths[3] +
                  kFacePieceWidths[4] == kFaceWidth);

}  // namespace bonuses_sheet
