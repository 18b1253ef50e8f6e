#include "uecp/response_code.h"

namespace uecp {

const char* ResponseCodeName(std::uint8_t code) {
  static const char* const kNames[] = {
      "OK",
      "CRC error",
      "message not received completely",
      "message unknown",
      "DSN error",
      "PSN error",
      "parameter out of range",
      "message element length error",
      "message field length error",
      "message not acceptable",
      "end message missing",
      "buffer overflow",
      "bad stuffing",
      "unexpected end of message",
  };
  if (code < sizeof kNames / sizeof kNames[0]) return kNames[code];
  return "unknown response code";
}

}  // namespace uecp
