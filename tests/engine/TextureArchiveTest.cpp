#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/datafile/DataFileReader.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "platform/encoding/Utf.h"
#include "platform/gfx/GfxSoftDevice.h"
#include "testsupport/ImageFiles.h"
#include "testsupport/ViewerRig.h"

namespace gfx = plat::gfx;
using viewertest::ViewerRig;

namespace {

std::vector<u8> Concat(std::vector<u8> a, const std::vector<u8>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

class TextureArchive : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(rig_.Open(64, 48), 0); }
  void TearDown() override { kis::CloseDataFile(reader_); }

  // Writes the sections and opens the archive.
  void Archive(const std::vector<std::vector<u8>>& sections) {
    const std::string path = rig_.Folder() + "/Data.dat";
    ASSERT_TRUE(imagefiles::WriteArchive(path, sections));
    const std::u16string name = plat::Utf8ToUtf16(path);
    reader_ = kis::OpenDataFileReaderW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1);
    ASSERT_NE(reader_, nullptr);
  }

  ViewerRig rig_;
  kis::DataFileReaderW* reader_ = nullptr;
};

TEST_F(TextureArchive, EntryTextureIsDrawnAndReloadedAfterANewDevice) {
  const std::vector<u32> pic = {0xFFFF0000u, 0xFF00FF00u, 0xFF0000FFu, 0xFFFFFFFFu};
  const std::vector<u8> image = imagefiles::Targa32(2, 2, pic);
  Archive({Concat(imagefiles::TextureHeader(1, u"grass"), image)});

  ASSERT_TRUE(reader_->OpenSection(1, 0));
  DXLTextures list(rig_.viewer.get());
  DXLTexture* found = reinterpret_cast<DXLTexture*>(1);
  ASSERT_TRUE(DXLReadTextureHeader(reader_, &list, &found));
  EXPECT_EQ(found, nullptr);  // kind 1: no lookup
  DXLTextureLoaderDataFile loader(reader_, reader_->GetSectionSize() - kTextureHeaderSize);
  EXPECT_FALSE(loader.HasFailed());
  EXPECT_EQ(reader_->GetPosition(), reader_->GetSectionSize());  // skipped past the image

  DXLTexture* texture = list.NewTexture();
  texture->SetAutoReload(true);
  texture->SetSource(&loader, true);
  texture->Load();
  ASSERT_TRUE(texture->IsReady());
  EXPECT_FALSE(texture->IsRestorable());  // built from memory
  EXPECT_EQ(DXLTextureLoaderDataFile::GetBufferCapacity(), DXLTextureLoaderDataFile::kFirstBuffer);

  ASSERT_EQ(rig_.viewer->BeginFrame(), 0);
  rig_.viewer->Clear(0xFF000000u);
  texture->SetFilter(0);
  ASSERT_TRUE(texture->Select(true));
  DXLQUAD quad;
  texture->MakeQuad(&quad, 7, 9, 0, false, false);
  rig_.viewer->DrawQuad(&quad);
  ASSERT_EQ(rig_.viewer->Present(), 0);
  gfx::SoftDevice* soft = rig_.Soft();
  EXPECT_EQ(soft->FramePixel(7, 9), 0xFFFF0000u);
  EXPECT_EQ(soft->FramePixel(8, 9), 0xFF00FF00u);
  EXPECT_EQ(soft->FramePixel(7, 10), 0xFF0000FFu);
  EXPECT_EQ(soft->FramePixel(8, 10), 0xFFFFFFFFu);
  EXPECT_EQ(soft->FramePixel(9, 10), 0xFF000000u);

  // A new device: the texture is suspended and read again from the archive.
  DXLDEVICESETTINGS s = rig_.Settings(64, 48, true);
  s.hardwareVertexProcessing = 0;
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  EXPECT_TRUE(texture->IsReady());
  EXPECT_FALSE(loader.HasFailed());
  EXPECT_TRUE(reader_->IsOk());
}

TEST_F(TextureArchive, HeadersAreCheckedAndReferencesLookedUp) {
  Archive({imagefiles::TextureHeader(0, u"GRASS"), imagefiles::TextureHeader(0, u"x", 76, 0x544E6D56u),
           imagefiles::TextureHeader(0, u"x", 75), std::vector<u8>(40, 0)});
  DXLTextures list(rig_.viewer.get());
  DXLTexture* grass = list.NewTexture();
  grass->SetName(u"grass");
  DXLTexture* out = nullptr;

  ASSERT_TRUE(reader_->OpenSection(1, 0));
  EXPECT_TRUE(DXLReadTextureHeader(reader_, &list, &out));
  EXPECT_EQ(out, grass);
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  reader_->Seek(0);
  EXPECT_TRUE(DXLReadTextureHeader(reader_, nullptr, &out));  // no list: no lookup
  EXPECT_EQ(out, nullptr);

  ASSERT_TRUE(reader_->OpenSection(2, 0));
  EXPECT_FALSE(DXLReadTextureHeader(reader_, &list, &out));  // magic
  ASSERT_TRUE(reader_->OpenSection(3, 0));
  EXPECT_FALSE(DXLReadTextureHeader(reader_, &list, &out));  // size word
  ASSERT_TRUE(reader_->OpenSection(4, 0));
  EXPECT_FALSE(DXLReadTextureHeader(reader_, &list, &out));  // too short
  EXPECT_EQ(out, nullptr);
  EXPECT_FALSE(DXLReadTextureHeader(nullptr, &list, &out));
}

TEST_F(TextureArchive, LoaderRefusesCountsBeyondTheEntryOrTheCap) {
  Archive({std::vector<u8>(100, 7)});
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  reader_->Seek(40);
  DXLTextureLoaderDataFile tooLong(reader_, 61);
  EXPECT_TRUE(tooLong.HasFailed());
  DXLTextureLoaderDataFile huge(reader_, 0xFFFFFFF0u);
  EXPECT_TRUE(huge.HasFailed());
  DXLTextureLoaderDataFile none(reader_, 0);
  EXPECT_TRUE(none.HasFailed());
  EXPECT_TRUE(reader_->IsOk());
  EXPECT_EQ(reader_->GetPosition(), 40u);  // nothing skipped

  DXLTexture texture(rig_.viewer.get());
  huge.LoadTexture(&texture);
  EXPECT_FALSE(texture.IsReady());
  EXPECT_EQ(DXLTextureLoaderDataFile::GetBufferCapacity(), 0u);  // nothing read

  reader_->CloseSection();
  DXLTextureLoaderDataFile noSection(reader_, 10);
  EXPECT_TRUE(noSection.HasFailed());
  DXLTextureLoaderDataFile noReader(nullptr, 10);
  EXPECT_TRUE(noReader.HasFailed());
}

TEST_F(TextureArchive, AnImageThatFailsIsNeverReadAgain) {
  Archive({std::vector<u8>(64, 0xEE)});
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  auto loader = std::make_unique<DXLTextureLoaderDataFile>(reader_, 64);
  ASSERT_FALSE(loader->HasFailed());
  DXLTexture texture(rig_.viewer.get());
  texture.SetAutoReload(true);
  texture.SetSource(loader.get(), true);
  texture.Load();
  EXPECT_FALSE(texture.IsReady());
  EXPECT_TRUE(loader->HasFailed());

  DXLDEVICESETTINGS s = rig_.Settings(64, 48, true);
  s.hardwareVertexProcessing = 0;
  ASSERT_EQ(rig_.viewer->ChangeDisplayMode(&s), 0);
  texture.Load();
  EXPECT_FALSE(texture.IsReady());

  EXPECT_EQ(DXLTextureLoaderDataFile::GetInstanceCount(), 1u);
  EXPECT_GT(DXLTextureLoaderDataFile::GetBufferCapacity(), 0u);
  texture.SetSource(nullptr, true);
  loader.reset();  // the last loader frees the shared buffer
  EXPECT_EQ(DXLTextureLoaderDataFile::GetBufferCapacity(), 0u);
}

TEST_F(TextureArchive, BufferGrowsInStepsForLargeImages) {
  // A 1024 x 300 image is over 1 MiB: the buffer rounds up to 256 KiB steps.
  const u32 w = 1024, h = 300;
  const std::vector<u8> image = imagefiles::Targa32(w, h, std::vector<u32>(w * h, 0xFF336699u));
  Archive({image});
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  DXLTextureLoaderDataFile loader(reader_, static_cast<u32>(image.size()));
  DXLTexture texture(rig_.viewer.get());
  loader.LoadTexture(&texture);
  ASSERT_TRUE(texture.IsReady());
  const u32 step = DXLTextureLoaderDataFile::kBufferStep;
  EXPECT_EQ(DXLTextureLoaderDataFile::GetBufferCapacity(), (static_cast<u32>(image.size()) + step - 1) / step * step);
}

TEST_F(TextureArchive, AnEntryLoadsFromAnyDirectoryWithoutMovingTheReader) {
  const std::string path = rig_.Folder() + "/Nested.dat";
  {
    const std::u16string name = plat::Utf8ToUtf16(path);
    kis::DataFileWriterW* w = kis::CreateDataFileWriterW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1, false);
    ASSERT_NE(w, nullptr);
    const std::vector<u8> image = imagefiles::Targa32(1, 1, {0xFF123456u});
    w->BeginDirectory(9, 0);
    w->BeginSection(1, 0);
    w->Write(image.data(), static_cast<u32>(image.size()));
    w->EndSection();
    w->EndDirectory();
    w->BeginSection(2, 0);
    w->Write("abcdefgh", 8);
    w->EndSection();
    ASSERT_TRUE(kis::CloseDataFile(w));
  }
  const std::u16string name = plat::Utf8ToUtf16(path);
  reader_ = kis::OpenDataFileReaderW(name.c_str(), imagefiles::kSig1, imagefiles::kSig2, 1);
  ASSERT_NE(reader_, nullptr);
  ASSERT_TRUE(reader_->EnterDirectory(9, 0));
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  DXLTextureLoaderDataFile loader(reader_, reader_->GetSectionSize());
  ASSERT_TRUE(reader_->CloseSection());
  ASSERT_TRUE(reader_->LeaveDirectory());

  // The reader sits in the root, half way through another section.
  char bytes[4];
  ASSERT_TRUE(reader_->OpenSection(2, 0));
  ASSERT_TRUE(reader_->Read(bytes, 4));
  DXLTexture texture(rig_.viewer.get());
  loader.LoadTexture(&texture);
  ASSERT_TRUE(texture.IsReady());
  EXPECT_EQ(reader_->GetOpenEntry()->id, 2u);
  EXPECT_EQ(reader_->GetPosition(), 4u);
  ASSERT_TRUE(reader_->Read(bytes, 4));
  EXPECT_EQ(std::string(bytes, 4), "efgh");
  EXPECT_TRUE(reader_->CloseSection());
  EXPECT_TRUE(reader_->EnterDirectory(9, 0));  // the root is still the current directory
}

TEST_F(TextureArchive, SideReadsRefuseForeignEntriesAndMissingBytes) {
  Archive({std::vector<u8>(16, 1)});
  ASSERT_TRUE(reader_->OpenSection(1, 0));
  const kis::DATAFILEENTRY* entry = reader_->GetOpenEntry();
  u8 buffer[32];
  kis::DATAFILEENTRY foreign = *entry;
  EXPECT_FALSE(reader_->ReadEntryBytes(&foreign, 0, buffer, 4));
  EXPECT_FALSE(reader_->ReadEntryBytes(entry, 10, buffer, 7));
  EXPECT_FALSE(reader_->ReadEntryBytes(entry, 17, buffer, 0));
  EXPECT_TRUE(reader_->ReadEntryBytes(entry, 12, buffer, 4));
  EXPECT_TRUE(reader_->IsOk());
  EXPECT_EQ(reader_->GetPosition(), 0u);
}

}  // namespace
