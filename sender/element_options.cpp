#include "sender/element_options.h"

#include <algorithm>
#include <cstdio>
#include <set>

#include "sender/element_values.h"
#include "sender/management_options.h"
#include "uecp/uecp.h"

namespace sender {
namespace {

using ElementPointer = std::unique_ptr<uecp::MessageElement>;

constexpr std::uint8_t kMecFreeFormatGroup = uecp::kMecFreeFormatGroup;
constexpr std::uint8_t kMecRtc = uecp::kMecRtc;

const std::set<std::string> kValueOptions = {"--pi",
                                             "--callsign",
                                             "--ps",
                                             "--pty",
                                             "--ptyn",
                                             "--tp",
                                             "--ta",
                                             "--ms",
                                             "--di",
                                             "--pin",
                                             "--af",
                                             "--rt",
                                             "--rt-ab",
                                             "--rt-buffer",
                                             "--rt-repeat",
                                             "--rtc",
                                             "--rtc-correction",
                                             "--ct",
                                             "--ct-group",
                                             "--group",
                                             "--dsn",
                                             "--psn",
                                             "--site",
                                             "--encoder"};
const std::set<std::string> kFlagOptions = {"--truncate"};

std::string NotValid(const std::string& option, const std::string& value, const char* needs) {
  return option + " needs " + needs + ", not '" + value + "'";
}

std::string Hex(unsigned value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

// Settings that apply to every element of the command, whichever order the words come in.
struct CommandSettings {
  long dsn = 0;
  long psn = 0;
  long site = 0;
  long encoder = 0;
  bool truncate = false;
  int rt_ab = -1;  // -1: toggled for each new text
  long rt_buffer = 0;
  long rt_repeat = 0;
  int tp = -1;  // -1: not given
  int ta = -1;
};

bool ReadSettings(const std::vector<std::pair<std::string, std::string>>& options,
                  CommandSettings* settings, std::string* error) {
  for (const auto& [name, value] : options) {
    bool on = false;
    if (name == "--dsn" && !ParseInteger(value, 0, 255, &settings->dsn)) {
      *error = NotValid(name, value, "a data set number from 0 to 255");
    } else if (name == "--psn" && !ParseInteger(value, 0, 255, &settings->psn)) {
      *error = NotValid(name, value, "a programme service number from 0 to 255");
    } else if (name == "--site" && !ParseInteger(value, 0, 1023, &settings->site)) {
      *error = NotValid(name, value, "a site address from 0 to 1023");
    } else if (name == "--encoder" && !ParseInteger(value, 0, 63, &settings->encoder)) {
      *error = NotValid(name, value, "an encoder address from 0 to 63");
    } else if (name == "--truncate") {
      settings->truncate = true;
    } else if (name == "--rt-ab") {
      if (value == "a" || value == "A") {
        settings->rt_ab = 0;
      } else if (value == "b" || value == "B") {
        settings->rt_ab = 1;
      } else if (value != "toggle") {
        *error = NotValid(name, value, "A, B or toggle");
      }
    } else if (name == "--rt-buffer") {
      if (value == "replace") {
        settings->rt_buffer = 0;
      } else if (value == "append") {
        // Bits 6..5 of the configuration byte: 00 replaces the buffer, 10 appends to it.
        settings->rt_buffer = 2;
      } else {
        *error = NotValid(name, value, "replace or append");
      }
    } else if (name == "--rt-repeat" && !ParseInteger(value, 0, 15, &settings->rt_repeat)) {
      *error = NotValid(name, value, "a number of transmissions from 0 to 15");
    } else if (name == "--tp" || name == "--ta") {
      if (!ParseOnOff(value, &on)) {
        *error = NotValid(name, value, "on or off");
      } else {
        (name == "--tp" ? settings->tp : settings->ta) = on ? 1 : 0;
      }
    }
    if (!error->empty()) return false;
  }
  return true;
}

}  // namespace

bool RadiotextFlag::Next(const std::string& text) {
  if (any_sent && text != last_text) b = !b;
  any_sent = true;
  last_text = text;
  return b;
}

Parsed ElementOptionParser::Parse(Arguments* args, std::string* error) {
  const std::string name = args->Name();
  std::string value;
  if (kFlagOptions.count(name) != 0) {
    if (!args->TakeFlag(error)) return Parsed::kFailed;
  } else if (kValueOptions.count(name) != 0 ||
             std::find(ManagementOptionNames().begin(), ManagementOptionNames().end(), name) !=
                 ManagementOptionNames().end()) {
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
  } else {
    return Parsed::kNotMine;
  }
  options_.emplace_back(name, value);
  return Parsed::kTaken;
}

bool ElementOptionParser::Finish(SendRequest* request, std::string* error) const {
  error->clear();
  CommandSettings settings;
  if (!ReadSettings(options_, &settings, error)) return false;
  request->site_address = static_cast<std::uint16_t>(settings.site);
  request->encoder_address = static_cast<std::uint16_t>(settings.encoder);
  request->elements.clear();
  const auto dsn = static_cast<std::uint16_t>(settings.dsn);
  const auto psn = static_cast<std::uint16_t>(settings.psn);
  auto add = [request](std::string name, std::string shown,
                       std::function<ElementPointer(RadiotextFlag*)> make) {
    request->elements.push_back({std::move(name), std::move(shown), std::move(make)});
  };
  bool ta_tp_added = false;

  for (const auto& [name, given] : options_) {
    std::string value = given;
    long number = 0;
    bool on = false;
    if (name == "--pi") {
      // PI codes are always written in hexadecimal, with or without 0x.
      const std::string hex = value.rfind("0x", 0) == 0 ? value : "0x" + value;
      if (!ParseInteger(hex, 1, 0xFFFF, &number)) {
        *error = NotValid(name, value, "a hexadecimal code from 0001 to FFFF");
        return false;
      }
      const auto pi = static_cast<std::uint16_t>(number);
      add("PI", Hex(pi, 4),
          [=](RadiotextFlag*) { return std::make_unique<uecp::PiElement>(pi, dsn, psn); });
    } else if (name == "--callsign") {
      std::string letters = value;
      const std::uint16_t pi =
          letters.size() == 4 ? uecp::rbds_callsign_to_pi(letters.data()) : std::uint16_t{0};
      bool letters_only = true;
      for (const char c : letters) letters_only = letters_only && c >= 'A' && c <= 'Z';
      if (pi == 0 || !letters_only) {
        *error = NotValid(name, value, "a four-letter RBDS call sign beginning with K or W");
        return false;
      }
      add("PI", Hex(pi, 4) + " (" + letters + ")",
          [=](RadiotextFlag*) { return std::make_unique<uecp::PiElement>(pi, dsn, psn); });
    } else if (name == "--ps" || name == "--ptyn") {
      if (!CheckRdsText(name, &value, uecp::kNameLength, settings.truncate, error)) return false;
      if (name == "--ps") {
        add("PS", value, [=](RadiotextFlag*) {
          return std::make_unique<uecp::PsElement>(value.c_str(), dsn, psn);
        });
      } else {
        add("PTYN", value, [=](RadiotextFlag*) {
          return std::make_unique<uecp::PtynElement>(value.c_str(), dsn, psn);
        });
      }
    } else if (name == "--pty") {
      std::uint8_t type = 0;
      if (!ParseProgrammeType(value, &type)) {
        *error = NotValid(name, value, "a programme type from 0 to 31 or its name");
        return false;
      }
      add("PTY", std::to_string(type) + " " + ProgrammeTypeName(type),
          [=](RadiotextFlag*) { return std::make_unique<uecp::PtyElement>(type, dsn, psn); });
    } else if (name == "--tp" || name == "--ta") {
      // One element carries both flags; a flag not given goes out as off.
      if (ta_tp_added) continue;
      ta_tp_added = true;
      const auto flags =
          static_cast<std::uint8_t>((settings.tp == 1 ? 2 : 0) | (settings.ta == 1 ? 1 : 0));
      add("TA/TP",
          std::string("TP=") + (settings.tp == 1 ? "on" : "off") +
              " TA=" + (settings.ta == 1 ? "on" : "off"),
          [=](RadiotextFlag*) { return std::make_unique<uecp::TaTpElement>(flags, dsn, psn); });
    } else if (name == "--ms") {
      int music = -1;
      if (value == "music" || value == "1") music = 1;
      if (value == "speech" || value == "0") music = 0;
      if (music < 0) {
        *error = NotValid(name, value, "music or speech");
        return false;
      }
      add("MS", music == 1 ? "music" : "speech", [=](RadiotextFlag*) {
        return std::make_unique<uecp::MsElement>(static_cast<std::uint8_t>(music), dsn, psn);
      });
    } else if (name == "--di") {
      if (!ParseInteger(value, 0, 15, &number)) {
        *error = NotValid(name, value, "the four decoder-information bits as 0 to 15");
        return false;
      }
      const auto bits = static_cast<std::uint8_t>(number);
      add("DI", std::to_string(bits),
          [=](RadiotextFlag*) { return std::make_unique<uecp::DiElement>(bits, dsn, psn); });
    } else if (name == "--pin") {
      std::uint16_t code = 0;
      if (!ParseProgrammeItem(value, &code)) {
        *error = NotValid(name, value, "DAY,HH:MM (day 1-31) or 0xNNNN");
        return false;
      }
      add("PIN", Hex(code, 4),
          [=](RadiotextFlag*) { return std::make_unique<uecp::PinElement>(code, dsn, psn); });
    } else if (name == "--af") {
      std::vector<float> frequencies;
      if (!ParseFrequencies(value, &frequencies, error)) return false;
      add("AF", value, [=](RadiotextFlag*) {
        return std::make_unique<uecp::AfElement>(0, static_cast<std::uint8_t>(frequencies.size()),
                                                 frequencies.data(), dsn, psn);
      });
    } else if (name == "--rt") {
      if (!CheckRdsText(name, &value, uecp::kMaxRadiotextLength, settings.truncate, error)) {
        return false;
      }
      const int fixed_flag = settings.rt_ab;
      const auto repeat = static_cast<std::uint8_t>(settings.rt_repeat);
      const auto buffer = static_cast<std::uint8_t>(settings.rt_buffer << 5);
      add("RT", value, [=](RadiotextFlag* flag) {
        const bool b = fixed_flag < 0 ? flag->Next(value) : fixed_flag == 1;
        return std::make_unique<uecp::RtElement>(value.c_str(), repeat, buffer,
                                                 static_cast<std::uint8_t>(b ? 1 : 0), dsn, psn);
      });
    } else if (name == "--rtc") {
      if (value == "now") {
        add("RTC", "now", [](RadiotextFlag*) { return std::make_unique<uecp::RtcElement>(); });
      } else {
        std::vector<std::uint8_t> bytes;
        if (!ParseClockTime(value, &bytes, error)) return false;
        add("RTC", value,
            [=](RadiotextFlag*) { return std::make_unique<uecp::RawElement>(kMecRtc, bytes); });
      }
    } else if (name == "--rtc-correction") {
      if (!ParseInteger(value, -32768, 32767, &number)) {
        *error = NotValid(name, value, "milliseconds from -32768 to 32767");
        return false;
      }
      const auto correction = static_cast<std::uint16_t>(number & 0xFFFF);
      add("RTC correction", std::to_string(number) + " ms",
          [=](RadiotextFlag*) { return std::make_unique<uecp::RtcCorrectionElement>(correction); });
    } else if (name == "--ct") {
      if (!ParseOnOff(value, &on)) {
        *error = NotValid(name, value, "on or off");
        return false;
      }
      add("CT on/off", on ? "on" : "off", [=](RadiotextFlag*) {
        return std::make_unique<uecp::CtOnOffElement>(static_cast<std::uint8_t>(on ? 1 : 0));
      });
    } else if (name == "--ct-group") {
      if (value != "now") {
        *error = NotValid(name, value, "now");
        return false;
      }
      add("CT group", "now",
          [](RadiotextFlag*) { return std::make_unique<uecp::CtGroupElement>(); });
    } else if (std::find(ManagementOptionNames().begin(), ManagementOptionNames().end(), name) !=
               ManagementOptionNames().end()) {
      if (!AddManagementElement(name, value, dsn, psn, request, error)) return false;
    } else if (name == "--group") {
      std::vector<std::uint8_t> bytes;
      if (!ParseHexBytes(value, &bytes) || bytes.size() != 6) {
        *error =
            NotValid(name, value,
                     "six bytes in hex: group type and version, buffer configuration and "
                     "block B bits, block C, block D (e.g. 0x30:00:1234:5678 as 300012345678)");
        return false;
      }
      add("group", value, [=](RadiotextFlag*) {
        return std::make_unique<uecp::RawElement>(kMecFreeFormatGroup, bytes);
      });
    }
  }
  if (request->elements.empty()) {
    *error = "nothing to send: name at least one element (--ps, --rt, --pi, ...)";
    return false;
  }
  return true;
}

std::vector<PlannedFrame> PlanFrames(const SendRequest& request, RadiotextFlag* radiotext) {
  std::vector<PlannedFrame> frames;
  for (const NamedElement& named : request.elements) {
    ElementPointer element = named.make(radiotext);
    if (frames.empty() || !frames.back().frame->AddElement(element)) {
      // Every single element fits an empty frame: the largest, radiotext, takes 67 bytes.
      frames.push_back(
          {std::make_unique<uecp::UecpFrame>(request.site_address, request.encoder_address), {}});
      if (!frames.back().frame->AddElement(element)) continue;
    }
    frames.back().elements.emplace_back(named.name, named.value);
  }
  return frames;
}

const char kElementOptionsHelp[] =
    "Elements (send, and each line of a script):\n"
    "  --pi 0xNNNN | --callsign KXYZ   programme identification (RBDS call sign)\n"
    "  --ps TEXT  --ptyn TEXT          programme service / programme type name (8)\n"
    "  --truncate                      cut texts that are too long instead of refusing\n"
    "  --pty N|NAME  --ms music|speech  --di 0-15  --tp on|off  --ta on|off\n"
    "  --pin DAY,HH:MM|0xNNNN          programme item number\n"
    "  --af LIST                       alternative frequencies: 88.1,107.5 (MHz), 1440 (kHz)\n"
    "  --rt TEXT [--rt-ab A|B|toggle] [--rt-buffer replace|append] [--rt-repeat 0-15]\n"
    "  --rtc now|YYYY-MM-DDThh:mm[:ss[.ff]](Z|+hh:mm)  --rtc-correction MS\n"
    "  --ct on|off  --ct-group now     clock time on or off; one clock-time group now\n"
    "  --group HEX                     a free-format group: 6 bytes in hex\n"
    "  --dsn N  --psn N  --site N  --encoder N   data set, service, frame address\n";

}  // namespace sender
