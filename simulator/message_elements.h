// The message field of a UECP frame split into its elements. This layer knows each element
// code's header layout (whether DSN, PSN and MEL bytes follow the code) and data length, but not
// what the data means: that is the encoder state's business.
#ifndef RDS_SIMULATOR_MESSAGE_ELEMENTS_H_
#define RDS_SIMULATOR_MESSAGE_ELEMENTS_H_

#include <cstdint>
#include <vector>

#include "simulator/response_code.h"
#include "uecp/element_codes.h"

namespace sim {

// The element codes this encoder understands.
enum ElementCode : std::uint8_t {
  kPiCode = uecp::kMecPi,
  kPsCode = uecp::kMecPs,
  kTaTpCode = uecp::kMecTaTp,
  kDiCode = uecp::kMecDi,
  kMsCode = uecp::kMecMs,
  kPinCode = uecp::kMecPin,
  kPtyCode = uecp::kMecPty,
  kRtcCorrectionCode = uecp::kMecRtcCorrection,
  kRadiotextCode = uecp::kMecRt,
  kRtcCode = uecp::kMecRtc,
  kRdsLevelCode = uecp::kMecRdsLevel,
  kAfCode = uecp::kMecAf,
  kGroupSequenceCode = uecp::kMecGroupSequence,
  kRequestCode = uecp::kMecRequest,
  kAckCode = uecp::kMecAcknowledgement,  // sent by the encoder only
  kCtOnOffCode = uecp::kMecCtOnOff,
  kSlowLabellingCode = uecp::kMecSlowLabelling,
  kDataSetSelectCode = uecp::kMecDataSetSelect,
  kRdsOnOffCode = uecp::kMecRdsOnOff,
  kRdsPhaseCode = uecp::kMecRdsPhase,
  kSiteAddressCode = uecp::kMecSiteAddress,
  kFreeFormatGroupCode = uecp::kMecFreeFormatGroup,
  kEncoderAddressCode = uecp::kMecEncoderAddress,
  kCommunicationModeCode = uecp::kMecCommunicationMode,
  kPtynCode = uecp::kMecPtyn,
};

struct Element {
  std::uint8_t code = 0;
  bool has_service = false;  // DSN and PSN bytes follow the code (the group sequence: DSN only)
  std::uint8_t dsn = 0;
  std::uint8_t psn = 0;
  std::vector<std::uint8_t> data;  // the data bytes (behind the MEL byte, if the element has one)

  bool operator==(const Element& other) const {
    return code == other.code && has_service == other.has_service && dsn == other.dsn &&
           psn == other.psn && data == other.data;
  }
};

struct ParsedMessage {
  ResponseCode code = ResponseCode::kOk;
  std::size_t failed_at = 0;  // byte offset of the element that failed
  std::vector<Element> elements;
};

// Splits a message field into elements. Any fault refuses the whole message: an element code
// not in the table (unknown message), a length byte that is not allowed for its element or runs
// past the field (MEL error), a fixed-size element cut off by the end of the field (unexpected
// end of message).
ParsedMessage ParseMessage(const std::uint8_t* field, std::size_t size);

// Whether an element has a known code, the header bytes of that code and a data length the code
// allows: true for every element ParseMessage returns.
bool HasKnownShape(const Element& element);
bool IsKnownCode(std::uint8_t code);
// Whether an element of this code carries a PSN byte behind its DSN.
bool HasPsn(std::uint8_t code);

}  // namespace sim

#endif  // RDS_SIMULATOR_MESSAGE_ELEMENTS_H_
