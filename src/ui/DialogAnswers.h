// The answer ids of message dialogs: the command ids of their answer
// buttons, which the dialog's opener receives.
#pragma once

#include "base/Types.h"

constexpr u32 kAnswerOk = 0x40000001u;
constexpr u32 kAnswerCancel = 0x40000002u;
constexpr u32 kAnswerYes = 0x40000003u;
constexpr u32 kAnswerNo = 0x40000004u;
