#include "common/OggEncoder.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>

namespace tools {

namespace {

constexpr size_t kFeedFrames = 1024;

void Append(std::vector<uint8_t>& out, const ogg_page& page) {
  out.insert(out.end(), page.header, page.header + page.header_len);
  out.insert(out.end(), page.body, page.body + page.body_len);
}

// The libvorbis encoder state, torn down in the right order whatever happens.
struct Encoder {
  vorbis_info info;
  vorbis_comment comment;
  vorbis_dsp_state dsp;
  vorbis_block block;
  ogg_stream_state stream;
  bool analysing = false;
  bool streaming = false;

  Encoder() {
    vorbis_info_init(&info);
    vorbis_comment_init(&comment);
  }
  ~Encoder() {
    if (streaming) ogg_stream_clear(&stream);
    if (analysing) {
      vorbis_block_clear(&block);
      vorbis_dsp_clear(&dsp);
    }
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
  }
};

// Moves every finished packet into pages.
void Drain(Encoder& e, std::vector<uint8_t>& out) {
  while (vorbis_analysis_blockout(&e.dsp, &e.block) == 1) {
    vorbis_analysis(&e.block, nullptr);
    vorbis_bitrate_addblock(&e.block);
    ogg_packet packet;
    while (vorbis_bitrate_flushpacket(&e.dsp, &packet)) {
      ogg_stream_packetin(&e.stream, &packet);
      ogg_page page;
      while (ogg_stream_pageout(&e.stream, &page) != 0) Append(out, page);
    }
  }
}

}  // namespace

std::vector<uint8_t> EncodeOggVorbis(const float* samples, size_t frames, uint32_t channels, uint32_t rate,
                                     float quality, int serial) {
  std::vector<uint8_t> out;
  if (channels < 1 || channels > 2 || rate == 0) return out;
  Encoder e;
  if (vorbis_encode_init_vbr(&e.info, static_cast<long>(channels), static_cast<long>(rate), quality) != 0) return out;
  if (vorbis_analysis_init(&e.dsp, &e.info) != 0) return out;
  vorbis_block_init(&e.dsp, &e.block);
  e.analysing = true;
  ogg_stream_init(&e.stream, serial);
  e.streaming = true;

  ogg_packet id, comments, codebooks;
  vorbis_analysis_headerout(&e.dsp, &e.comment, &id, &comments, &codebooks);
  ogg_stream_packetin(&e.stream, &id);
  ogg_stream_packetin(&e.stream, &comments);
  ogg_stream_packetin(&e.stream, &codebooks);
  ogg_page page;
  while (ogg_stream_flush(&e.stream, &page) != 0) Append(out, page);

  for (size_t done = 0; done < frames;) {
    const size_t n = std::min(kFeedFrames, frames - done);
    float** buffer = vorbis_analysis_buffer(&e.dsp, static_cast<int>(n));
    for (size_t i = 0; i < n; ++i)
      for (uint32_t c = 0; c < channels; ++c) buffer[c][i] = samples[(done + i) * channels + c];
    vorbis_analysis_wrote(&e.dsp, static_cast<int>(n));
    Drain(e, out);
    done += n;
  }
  vorbis_analysis_wrote(&e.dsp, 0);  // end of stream
  Drain(e, out);
  while (ogg_stream_flush(&e.stream, &page) != 0) Append(out, page);
  return out;
}

}  // namespace tools
