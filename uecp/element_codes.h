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
constexpr std::uint8_t kMecRdsLevel = 0x0E;
constexpr std::uint8_t kMecAf = 0x13;
constexpr std::uint8_t kMecGroupSequence = 0x16;
constexpr std::uint8_t kMecRequest = 0x17;
constexpr std::uint8_t kMecAcknowledgement = 0x18;  // sent by encoders only
constexpr std::uint8_t kMecCtOnOff = 0x19;
constexpr std::uint8_t kMecSlowLabelling = 0x1A;
constexpr std::uint8_t kMecDataSetSelect = 0x1C;
constexpr std::uint8_t kMecRdsOnOff = 0x1E;
constexpr std::uint8_t kMecRdsPhase = 0x22;
constexpr std::uint8_t kMecSiteAddress = 0x23;
constexpr std::uint8_t kMecFreeFormatGroup = 0x24;
constexpr std::uint8_t kMecEncoderAddress = 0x27;
constexpr std::uint8_t kMecCommunicationMode = 0x2C;
constexpr std::uint8_t kMecPtyn = 0x3E;

}  // namespace uecp

#endif  // RDS_UECP_ELEMENT_CODES_H_
