// Linear-interpolation sample-rate converter for interleaved float frames,
// fed in pieces of any size (a stream decoded block by block gives the same
// output as the whole sound at once). Output frame j lies at input position
// j x inRate / outRate, counted in 32.32 fixed point so long sounds do not
// drift; past the last input frame the last frame is held.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace plat::audio {

class LinearResampler {
 public:
  // Rates above 0; channels 1 or 2.
  LinearResampler(uint32_t inRate, uint32_t outRate, uint32_t channels);

  // Appends to out every output frame that the input so far determines.
  void Push(const float* in, size_t frames, std::vector<float>* out);
  // Appends the output frames that remain once the input has ended.
  void Finish(std::vector<float>* out);
  // Forgets the input so far (a stream started again).
  void Reset();

 private:
  uint64_t step_;        // input frames per output frame, 32.32
  uint64_t position_ = 0;  // of the next output frame, from the held frame, 32.32
  uint32_t channels_;
  bool holding_ = false;  // held_ has the last input frame
  float held_[2] = {0, 0};
};

}  // namespace plat::audio
