// Builds one UECP frame with the installed UECP library and prints it as it goes on the serial
// line: the programme identification and the programme service name of a station, for the
// encoder with site address 1 and encoder address 2.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "uecp/uecp.h"

// The station's programme identification; its low byte 0xFE is the start byte, so the frame
// sends it stuffed as FD 01.
constexpr std::uint16_t kPiCode = 0xD3FE;

int main() {
  uecp::UecpFrame frame(/*site_address=*/1, /*encoder_address=*/2);
  // Data set 0 and programme service 0: the encoder's current data set, its first service.
  auto pi_element = std::make_unique<uecp::PiElement>(kPiCode, 0, 0);
  auto ps_element = std::make_unique<uecp::PsElement>("RADIO 1", 0, 0);
  if (!frame.AddElement(pi_element) || !frame.AddElement(ps_element)) {
    std::fputs("uecp-frame: the elements do not fit into one frame\n", stderr);
    return 1;
  }
  frame.Build();
  for (int i = 0; i < frame.StuffedLength(); ++i) {
    std::printf(i == 0 ? "%02X" : " %02X", frame.StuffedData()[i]);
  }
  std::printf("\n");
  return 0;
}
