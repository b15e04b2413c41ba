#include <gtest/gtest.h>

#include <string>

#include "engine/DXLErrors.h"
#include "engine/DXLLog.h"

namespace {

std::string Name(u32 code) {
  char buffer[64];
  return DXLGetErrorName(static_cast<i32>(code), buffer, sizeof(buffer));
}

TEST(ErrorNames, EveryLoggedCodeHasANameAndADescription) {
  // Device, utility library, input and general codes that reach the log.
  const u32 codes[] = {0x80004005u, 0x8007000Eu, 0x80070057u, 0x88760868u, 0x88760869u, 0x8876086Au,
                       0x8876086Cu, 0x88760827u, 0x8876017Cu, 0x88760B59u, 0x8007001Eu, 0x8007000Cu,
                       0x80070005u, 0x80040154u, 0x800700AAu, 0x80004002u, 0x80070006u};
  for (u32 code : codes) {
    char description[256];
    DXLGetErrorDescription(static_cast<i32>(code), description, sizeof(description));
    EXPECT_NE(Name(code).rfind("0x", 0), 0u) << std::hex << code;
    EXPECT_STRNE(description, "Unknown result code.") << std::hex << code;
  }
  EXPECT_EQ(Name(0x88760868u), "D3DERR_DEVICELOST");
  EXPECT_EQ(Name(0), "S_OK");
}

TEST(ErrorNames, UnknownCodesAndSmallBuffers) {
  EXPECT_EQ(Name(0x80001234u), "0x80001234");
  char description[64];
  EXPECT_STREQ(DXLGetErrorDescription(0x1234, description, sizeof(description)), "Unknown result code.");
  char tiny[4];
  EXPECT_STREQ(DXLGetErrorName(static_cast<i32>(0x80004005u), tiny, sizeof(tiny)), "E_F");
  EXPECT_EQ(DXLGetErrorName(0, nullptr, 10), nullptr);
}

}  // namespace
