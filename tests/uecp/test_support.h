// Helpers shared by the UECP tests.
#ifndef RDS_TESTS_UECP_TEST_SUPPORT_H_
#define RDS_TESTS_UECP_TEST_SUPPORT_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "uecp/message_element.h"
#include "uecp/uecp_frame.h"

namespace uecp_test {

using Bytes = std::vector<std::uint8_t>;

// Encodes the element and returns its encoded bytes.
inline Bytes Encoded(uecp::MessageElement& element) {
  const std::uint8_t* start = element.Encode();
  if (start == nullptr) return {};
  return Bytes(start, start + element.EncodedLength());
}

inline Bytes Stuffed(const uecp::UecpFrame& frame) {
  return Bytes(frame.StuffedData(), frame.StuffedData() + frame.StuffedLength());
}

// An element case: how to make it and the bytes it must encode to.
struct ElementCase {
  const char* name;
  std::function<uecp::MessageElement*()> make;
  Bytes bytes;
};

// An element with freely chosen header fields and `data_length` data bytes 0xA0, 0xA1, ...
// that counts its destructions.
class TestElement : public uecp::MessageElement {
 public:
  TestElement(std::uint8_t code, std::uint16_t dsn, std::uint16_t psn, std::uint16_t mel,
              std::uint16_t data_length, std::uint8_t fill_from = 0xA0)
      : fill_from_(fill_from) {
    SetHeader(code, dsn, psn, mel);
    SetDataLength(data_length);
    AllocateBuffer();
  }
  ~TestElement() override { ++destroyed; }
  std::uint8_t* Encode() override {
    std::uint8_t* out = MessageElement::Encode();
    for (int i = 0; i < DataLength(); ++i) {
      out[i] = static_cast<std::uint8_t>(fill_from_ == 0xFF ? 0xFF : fill_from_ + i);
    }
    return Buffer();
  }
  static inline int destroyed = 0;

 private:
  std::uint8_t fill_from_;
};

}  // namespace uecp_test

#endif  // RDS_TESTS_UECP_TEST_SUPPORT_H_
