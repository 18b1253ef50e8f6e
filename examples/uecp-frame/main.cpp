// Builds one UECP frame with the installed UECP library and prints it as it goes on the serial
// line: the programme identification and the programme service name of a station, for the
// encoder with site address 1 and encoder address 2.
#include <cstdio>
#include <memory>

#include "uecp/uecp.h"

int main() {
  uecp::UecpFrame frame(/*site_address=*/1, /*encoder_address=*/2);
  // Data set 0 and programme service 0: the encoder's current data set, its first service.
  auto pi = std::make_unique<uecp::PiElement>(0xD3FE, 0, 0);
  auto ps = std::make_unique<uecp::PsElement>("RADIO 1", 0, 0);
  if (!frame.AddElement(pi) || !frame.AddElement(ps)) {
    std::fputs("uecp-frame: the elements do not fit into one frame\n", stderr);
    return 1;
  }
  frame.Build();
  // PI 0xD3FE holds a 0xFE, which the frame sends stuffed as FD 01.
  for (int i = 0; i < frame.StuffedLength(); ++i) {
    std::printf(i == 0 ? "%02X" : " %02X", frame.StuffedData()[i]);
  }
  std::printf("\n");
  return 0;
}
