// Reads typed values from a fuzzer's input bytes, front to back. Past the end every value is 0,
// so a target never has to check the length and a short input still drives a whole run.
#ifndef RDS_FUZZ_FUZZ_INPUT_H_
#define RDS_FUZZ_FUZZ_INPUT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

namespace fuzz {

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool Empty() const { return position_ >= size_; }
  std::size_t Remaining() const { return Empty() ? 0 : size_ - position_; }

  std::uint8_t U8() { return Empty() ? 0 : data_[position_++]; }
  std::uint16_t U16() {
    const unsigned high = U8();
    return static_cast<std::uint16_t>(high << 8 | U8());
  }
  std::uint32_t U32() {
    const std::uint32_t high = U16();
    return high << 16 | U16();
  }
  // A value in [low, high], spread over the whole range.
  int Between(int low, int high) {
    const auto span = static_cast<std::uint32_t>(high - low) + 1u;
    return low + static_cast<int>(U32() % span);
  }
  float Float() {
    const std::uint32_t bits = U32();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }
  // A text of up to max_length bytes, its length taken from the input; may hold any byte but 0.
  std::string Text(std::size_t max_length) {
    std::string text(U8() % (max_length + 1), '\0');
    for (char& c : text) c = static_cast<char>(U8());
    return text.substr(0, text.find('\0'));
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_;
  std::size_t position_ = 0;
};

}  // namespace fuzz

#endif  // RDS_FUZZ_FUZZ_INPUT_H_
