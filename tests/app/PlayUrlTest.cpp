// "play.url": the encodings it may come in, the sizes it may have, and the
// addresses it may hold; only a web address reaches the opener, never a
// file, a script or a second line, and what happened is in the log.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PlayUrl.h"
#include "platform/os/PlatformServices.h"
#include "platform/os/UrlOpener.h"
#include "testsupport/LogCapture.h"
#include "testsupport/TempFolder.h"

namespace {

std::string Decode(const std::string& bytes) {
  return DecodePlayUrl(reinterpret_cast<const u8*>(bytes.data()), bytes.size());
}

std::vector<std::string> gOpened;
bool Record(const std::string& url) {
  gOpened.push_back(url);
  return true;
}

TEST(PlayUrl, DecodesByItsFirstBytesAndKeepsOnlyWebAddresses) {
  EXPECT_EQ(Decode("https://example.org/farm"), "https://example.org/farm");
  EXPECT_EQ(Decode("  \thttp://example.org/a?b=c\r\n\r\n"), "http://example.org/a?b=c");
  EXPECT_EQ(Decode("\xEF\xBB\xBFHTTPS://example.org"), "HTTPS://example.org");
  EXPECT_EQ(Decode(std::string("\xFF\xFEh\0t\0t\0p\0:\0/\0/\0x\0", 18)), "http://x");
  EXPECT_EQ(Decode("http://example.org/caf\xE9"), "") << "not ASCII (1252 e-acute)";
  EXPECT_EQ(Decode(std::string("http://x\0 garbage", 17)), "http://x") << "ends at a nul";
  for (const std::string& refused :
       {std::string(""), std::string("\xEF\xBB\xBF"), std::string("\xFE\xFF\0h", 4),
        std::string("\xFF\xFE\0\0h\0\0\0", 8), std::string("\0\0\xFE\xFFh", 5), std::string("file:///etc/passwd"),
        std::string("javascript:x"), std::string("http://a\nhttp://b"), std::string("http://a b"),
        std::string("http://"), std::string("ftp://example.org"), std::string("http://a\x7f"),
        std::string("https://a") + std::string(kPlayUrlMaxBytes, ' ')})
    EXPECT_EQ(Decode(refused), "") << refused.substr(0, 40);
  EXPECT_EQ(Decode("http://" + std::string(kPlayUrlMaxBytes - 7, 'a')).size(), kPlayUrlMaxBytes);
}

// The file beside the program: none, nothing usable, an address; only the
// last reaches the opener, and each case is one line of the log.
TEST(PlayUrl, OnlyAWebAddressInTheFileReachesTheOpener) {
  LogCapture log;
  TempFolder folder;
  gOpened.clear();
  {
    plat::PlatformServicesScope installed({.urlOpenHook = &Record});
    const std::string program = folder.Path() + "/";
    EXPECT_FALSE(OpenPlayUrl(program));
    EXPECT_TRUE(log.Has("play.url: none") || log.Text().find("play.url") != std::string::npos) << log.Text();
    for (const char* bad : {"file:///etc/passwd", "javascript:x", "http://a\nhttp://b", ""}) {
      folder.Put("play.url", bad);
      EXPECT_FALSE(OpenPlayUrl(program)) << bad;
    }
    EXPECT_TRUE(gOpened.empty());
    EXPECT_NE(log.Text().find("nothing to open"), std::string::npos) << log.Text();
    folder.Put("play.url", "https://example.org/more-farms\n");
    EXPECT_TRUE(OpenPlayUrl(program));
    EXPECT_EQ(gOpened, std::vector<std::string>{"https://example.org/more-farms"});
    EXPECT_NE(log.Text().find("opened https://example.org/more-farms"), std::string::npos) << log.Text();
  }
  EXPECT_FALSE(plat::OpenWebAddress("file:///bin/sh")) << "refused before any program starts";
}

}  // namespace
