// UECP message element codes (MEC) of the elements this library builds.
#ifndef RDS_UECP_ELEMENT_CODES_H_
#define RDS_UECP_ELEMENT_CODES_H_

#include <cstdint>

namespace uecp {

constexpr std::uint8_t kMecPi = 0x01;
constexpr std::uint8_t kMecPs = 0x02;
constexpr std::uint8_t kMecTaTp = 0x03;
constexpr std::uint8_t kMecDi = 0x04;
constexpr std::uint8_t kMecMs = 0x05;
constexpr std::uint8_t kMecPin = 0x06;
constexpr std::uint8_t kMecPty = 0x07;
constexpr std::uint8_t kMecRtcCorrection = 0x09;
constexpr std::uint8_t kMecRt = 0x0A;
constexpr std::uint8_t kMecRtc = 0x0D;
constexpr std::uint8_t kMecAf = 0x13;
constexpr std::uint8_t kMecCtOnOff = 0x19;
constexpr std::uint8_t kMecFreeFormatGroup = 0x24;
constexpr std::uint8_t kMecPtyn = 0x3E;

}  // namespace uecp

#endif  // RDS_UECP_ELEMENT_CODES_H_
