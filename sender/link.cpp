#include "sender/link.h"

#include "platform/serial_api.h"
#include "serial/serial_port.h"

namespace sender {

std::unique_ptr<Link> OpenSerialLink(const LinkSettings& settings, std::string* error);
std::unique_ptr<Link> OpenIpLink(const LinkSettings& settings, std::string* error);

namespace {

// Splits "HOST:PORT" ("[::1]:4001" for IPv6); false when either part is missing or bad.
bool ParseHostPort(const std::string& text, std::string* host, std::uint16_t* port) {
  const std::size_t colon = text.rfind(':');
  if (colon == std::string::npos || colon == 0) return false;
  long number = 0;
  if (!ParseInteger(text.substr(colon + 1), 1, 65535, &number)) return false;
  *host = text.substr(0, colon);
  if (host->size() > 2 && host->front() == '[' && host->back() == ']') {
    *host = host->substr(1, host->size() - 2);
  }
  *port = static_cast<std::uint16_t>(number);
  return true;
}

}  // namespace

Parsed ParseLinkOption(Arguments* args, LinkSettings* settings, std::string* error) {
  const std::string name = args->Name();
  static const char* const kNames[] = {"--device", "--baud", "--parity", "--stop-bits",
                                       "--flow",   "--tcp",  "--udp"};
  bool mine = false;
  for (const char* known : kNames) mine = mine || name == known;
  if (!mine) return Parsed::kNotMine;
  std::string value;
  if (!args->TakeValue(&value, error)) return Parsed::kFailed;
  long number = 0;
  if (name == "--device") {
    if (value.empty()) {
      *error = "--device needs a device path";
      return Parsed::kFailed;
    }
    settings->device = value;
  } else if (name == "--baud") {
    if (!ParseInteger(value, 50, 4000000, &number)) {
      *error = "--baud needs a speed in bit/s from 50 to 4000000, not '" + value + "'";
      return Parsed::kFailed;
    }
    settings->baud = static_cast<std::uint32_t>(number);
  } else if (name == "--parity") {
    static const char* const kParities[] = {"none", "odd", "even", "mark", "space"};
    bool found = false;
    for (std::uint32_t i = 0; i < 5; ++i) {
      if (value == kParities[i]) {
        settings->parity = i;
        found = true;
      }
    }
    if (!found) {
      *error = "--parity needs none, odd, even, mark or space, not '" + value + "'";
      return Parsed::kFailed;
    }
  } else if (name == "--stop-bits") {
    if (value == "1") {
      settings->stop_bits = win::ONESTOPBIT;
    } else if (value == "1.5") {
      settings->stop_bits = win::ONE5STOPBITS;
    } else if (value == "2") {
      settings->stop_bits = win::TWOSTOPBITS;
    } else {
      *error = "--stop-bits needs 1, 1.5 or 2, not '" + value + "'";
      return Parsed::kFailed;
    }
  } else if (name == "--flow") {
    if (value == "none") {
      settings->flow = static_cast<std::uint32_t>(serial::FlowControl::kNone);
    } else if (value == "rtscts") {
      settings->flow = static_cast<std::uint32_t>(serial::FlowControl::kCtsRts);
    } else if (value == "xonxoff") {
      settings->flow = static_cast<std::uint32_t>(serial::FlowControl::kXonXoff);
    } else {
      *error = "--flow needs none, rtscts or xonxoff, not '" + value + "'";
      return Parsed::kFailed;
    }
  } else {
    const bool tcp = name == "--tcp";
    if (settings->kind != LinkSettings::Kind::kSerial) {
      *error = "give one of --tcp and --udp, once";
      return Parsed::kFailed;
    }
    if (!ParseHostPort(value, &settings->host, &settings->port)) {
      *error = name + " needs HOST:PORT with a port from 1 to 65535, not '" + value + "'";
      return Parsed::kFailed;
    }
    settings->kind = tcp ? LinkSettings::Kind::kTcp : LinkSettings::Kind::kUdp;
  }
  return Parsed::kTaken;
}

bool CheckLinkSettings(const LinkSettings& settings, std::string* error) {
  const LinkSettings serial_defaults;
  const bool serial_options = !settings.device.empty() || settings.baud != serial_defaults.baud ||
                              settings.parity != serial_defaults.parity ||
                              settings.stop_bits != serial_defaults.stop_bits ||
                              settings.flow != serial_defaults.flow;
  if (settings.kind != LinkSettings::Kind::kSerial && serial_options) {
    *error =
        "--device, --baud, --parity, --stop-bits and --flow are for a serial line, not for "
        "--tcp or --udp";
    return false;
  }
  return true;
}

std::unique_ptr<Link> OpenLink(const LinkSettings& settings, std::string* error) {
  if (settings.kind == LinkSettings::Kind::kSerial) return OpenSerialLink(settings, error);
  return OpenIpLink(settings, error);
}

const char kLinkOptionsHelp[] =
    "Line (default COM1, 9600 bit/s, 8 data bits, no parity, 2 stop bits):\n"
    "  --device PATH  --baud N  --parity none|odd|even|mark|space  --stop-bits 1|1.5|2\n"
    "  --flow none|rtscts|xonxoff\n"
    "  --tcp HOST:PORT   UECP over TCP (reconnects when the encoder drops the connection)\n"
    "  --udp HOST:PORT   UECP in UDP datagrams (no answers expected)\n";

}  // namespace sender
