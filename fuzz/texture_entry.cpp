// A texture entry of an archive must load or fail cleanly whatever its bytes:
// the input becomes one section (header, then image), which is read through
// the entry header, the archive loader and the utility library's decoder into
// a texture of a headless device. The byte count is what follows the header,
// one more for inputs of odd length, so counts that lie are tried as well.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "FuzzViewer.h"
#include "ScratchFile.h"
#include "base/datafile/DataFileReader.h"
#include "base/datafile/DataFileWriter.h"
#include "engine/DXLImageDecoder.h"
#include "engine/DXLTexture.h"
#include "engine/DXLTextureLoaderDataFile.h"
#include "engine/DXLTextures.h"
#include "engine/DXLWindowViewer.h"
#include "platform/encoding/Utf.h"
#include "platform/headless/Session.h"
#include "platform/os/WindowSystem.h"

namespace {

struct World {
  plat::headless::Session session;
  plat::PlatformServicesScope installed{session.Services()};
  DXLWindowViewer viewer;
  DXLTextures list{&viewer};
  std::u16string path;
  World() {
    fuzzviewer::Open(viewer);
    list.NewTexture()->SetName(u"grass");
    path = plat::Utf8ToUtf16(fuzzscratch::Path("texture", ".dat"));
  }
};

World& TheWorld() {
  static World world;
  return world;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  World& world = TheWorld();
  // The bytes decoded on their own.
  plat::gfx::DecodedImage image;
  if (DXLDecodeImage(data, size, &image) &&
      (image.pitch < image.width || image.rows < image.height || image.argb.size() != size_t{image.pitch} * image.rows))
    __builtin_trap();

  kis::DataFileWriterW* writer = kis::CreateDataFileWriterW(world.path.c_str(), 1, 2, 1, false);
  if (!writer) return 0;
  writer->BeginSection(1, 0);
  if (size > 0) writer->Write(data, static_cast<u32>(size));
  writer->EndSection();
  if (!kis::CloseDataFile(writer)) return 0;

  kis::DataFileReaderW* reader = kis::OpenDataFileReaderW(world.path.c_str(), 1, 2, 1);
  if (!reader) return 0;
  if (reader->OpenSection(1, 0)) {
    DXLTexture* named = nullptr;
    const bool header = DXLReadTextureHeader(reader, &world.list, &named);
    if (!header) reader->Seek(0);
    const u32 at = reader->GetPosition();
    const u32 count = static_cast<u32>(size) - at + static_cast<u32>(size & 1);
    DXLTexture texture(&world.viewer);
    {
      DXLTextureLoaderDataFile loader(reader, count);
      texture.SetSource(&loader, true);
      texture.Load();
      if (texture.IsReady() && (texture.GetWidth() < texture.GetImageWidth() || texture.GetWidth() <= 0))
        __builtin_trap();
      texture.SetSource(nullptr, true);
    }
  }
  kis::CloseDataFile(reader);
  return 0;
}
