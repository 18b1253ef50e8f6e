// Elements that steer the encoder itself rather than a programme service: the RDS output's
// level, phase and on/off switch, the data set on air, and how the encoder answers. None carries
// a DSN, PSN or MEL: each is its element code followed by its data.
#ifndef RDS_UECP_MANAGEMENT_ELEMENTS_H_
#define RDS_UECP_MANAGEMENT_ELEMENTS_H_

#include <cstdint>

#include "uecp/message_element.h"

namespace uecp {

// RDS level, MEC 0x0E: the subcarrier's output level in mV, 0 to 8191 (masked to 13 bits).
class RdsLevelElement : public MessageElement {
 public:
  explicit RdsLevelElement(std::uint16_t level_mv);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t level_mv_;
};

// RDS phase, MEC 0x22: the subcarrier's phase against a reference input (bits 15..13, 0 to 7;
// 0 is the pilot) in tenths of a degree (bits 12..0, 0 to 3599). Both are masked, not checked.
class RdsPhaseElement : public MessageElement {
 public:
  RdsPhaseElement(std::uint8_t reference, std::uint16_t phase_tenths_of_degree);
  std::uint8_t* Encode() override;

 private:
  std::uint16_t word_;
};

// RDS on/off, MEC 0x1E: 1 puts RDS on air, 0 takes it off. Sent unchanged.
class RdsOnOffElement : public MessageElement {
 public:
  explicit RdsOnOffElement(std::uint8_t on_off);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t on_off_;
};

// Data set select, MEC 0x1C: the data set (DSN 1 to 255) the encoder puts on air. Sent unchanged.
class DataSetSelectElement : public MessageElement {
 public:
  explicit DataSetSelectElement(std::uint8_t data_set_number);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t data_set_number_;
};

// Communication mode, MEC 0x2C. Sent unchanged.
enum CommunicationMode : std::uint8_t {
  kOneWay = 0,               // the encoder never answers
  kRequestedResponse = 1,    // it answers requests only
  kSpontaneousResponse = 2,  // it answers every message
};

class CommunicationModeElement : public MessageElement {
 public:
  explicit CommunicationModeElement(std::uint8_t mode);
  std::uint8_t* Encode() override;

 private:
  std::uint8_t mode_;
};

}  // namespace uecp

#endif  // RDS_UECP_MANAGEMENT_ELEMENTS_H_
