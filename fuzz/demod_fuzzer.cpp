// Fuzz target: the demodulator on arbitrary samples, as a broken recording or a raw stream of the
// wrong format might deliver them.
//
// The first byte chooses the sample rate (128 to 384 kHz in steps), whether soft correction runs
// and how the rest is read: signed 16-bit samples, or 32-bit floats, which may be NaN, infinite
// or huge. Whatever arrives, the demodulator must not crash or run into undefined behaviour, and
// it may only write '0' and '1', at most one bit per bit period of the samples fed (and the few
// its filters hold back at the end).
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "demod/demodulator.h"
#include "fuzz/fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::uint8_t mode = data[0];
  demod::DemodulatorOptions options;
  options.sample_rate = 128000.0 + (mode & 0x1F) * 8000.0;  // up to 376 kHz
  options.soft_correct = (mode & 0x20) != 0;
  const bool floats = (mode & 0x40) != 0;
  ++data;
  --size;

  std::vector<float> samples;
  if (floats) {
    for (std::size_t i = 0; i + 4 <= size; i += 4) {
      float value;
      std::memcpy(&value, data + i, 4);
      samples.push_back(value);
    }
  } else {
    for (std::size_t i = 0; i + 2 <= size; i += 2) {
      const auto value = static_cast<std::int16_t>(data[i] | data[i + 1] << 8);
      samples.push_back(static_cast<float>(value) / 32768.0F);
    }
  }
  // Short inputs hold too few samples to reach the low rate; repeat them to a tenth of a second
  // so that the loops, the symbol clock and the block tracker see them.
  if (!samples.empty()) {
    const std::size_t wanted = static_cast<std::size_t>(options.sample_rate / 10);
    for (std::size_t i = 0; samples.size() < wanted; ++i) samples.push_back(samples[i]);
  }

  demod::Demodulator demodulator(options);
  std::string bits;
  const std::size_t piece = 1 + static_cast<std::size_t>(mode % 4093);
  for (std::size_t at = 0; at < samples.size(); at += piece) {
    const std::size_t n = samples.size() - at < piece ? samples.size() - at : piece;
    demodulator.Process(samples.data() + at, n, &bits);
  }
  demodulator.Finish(&bits);

  fuzz::Require(bits.find_first_not_of("01") == std::string::npos, "bits are '0' or '1'");
  const double bit_periods = static_cast<double>(samples.size()) * 1187.5 / options.sample_rate;
  fuzz::Require(static_cast<double>(bits.size()) <= bit_periods + 64, "no more bits than time");
  return 0;
}
