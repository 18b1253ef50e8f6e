#include "sender/management_options.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "uecp/address_elements.h"
#include "uecp/management_elements.h"
#include "uecp/sequence_elements.h"

namespace sender {
namespace {

using ElementPointer = std::unique_ptr<uecp::MessageElement>;

std::string NotValid(const std::string& option, const std::string& value, const char* needs) {
  return option + " needs " + needs + ", not '" + value + "'";
}

std::vector<std::string> Items(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  for (;;) {
    const std::size_t comma = list.find(',', start);
    items.push_back(list.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) return items;
    start = comma + 1;
  }
}

// "0A", "10B": the group type × 2 + version byte of a group sequence.
bool ParseGroupType(const std::string& text, std::uint8_t* code) {
  if (text.size() < 2) return false;
  const char version = text.back();
  long type = 0;
  if ((version != 'A' && version != 'B') ||
      !ParseInteger(text.substr(0, text.size() - 1), 0, 15, &type)) {
    return false;
  }
  *code = static_cast<std::uint8_t>(type * 2 + (version == 'B' ? 1 : 0));
  return true;
}

// "ecc=0xE2", "language=0x09" or a whole label word "0x30E2".
bool ParseLabel(const std::string& text, std::uint16_t* label) {
  long value = 0;
  if (text.rfind("ecc=", 0) == 0 && ParseInteger(text.substr(4), 0, 0xFF, &value)) {
    *label = uecp::SlowLabellingElement::CountryCodeLabel(static_cast<std::uint8_t>(value));
    return true;
  }
  if (text.rfind("language=", 0) == 0 && ParseInteger(text.substr(9), 0, 0xFF, &value)) {
    *label = uecp::SlowLabellingElement::LanguageLabel(static_cast<std::uint8_t>(value));
    return true;
  }
  if (!ParseInteger(text, 0, 0xFFFF, &value)) return false;
  *label = static_cast<std::uint16_t>(value);
  return true;
}

}  // namespace

const std::vector<std::string>& ManagementOptionNames() {
  static const std::vector<std::string> kNames = {
      "--rds-level",         "--rds-phase",      "--rds",
      "--data-set",          "--comm-mode",      "--site-addresses",
      "--encoder-addresses", "--group-sequence", "--slow-labelling"};
  return kNames;
}

bool AddManagementElement(const std::string& name, const std::string& value, std::uint16_t dsn,
                          std::uint16_t psn, SendRequest* request, std::string* error) {
  auto add = [request, &value](const char* element, std::function<ElementPointer()> make) {
    request->elements.push_back(
        {element, value, [make = std::move(make)](RadiotextFlag*) { return make(); }});
  };
  long number = 0;
  if (name == "--rds-level") {
    if (!ParseInteger(value, 0, 8191, &number)) {
      *error = NotValid(name, value, "an output level in mV from 0 to 8191");
      return false;
    }
    const auto level = static_cast<std::uint16_t>(number);
    add("RDS level", [=] { return std::make_unique<uecp::RdsLevelElement>(level); });
  } else if (name == "--rds-phase") {
    // DEGREES against the pilot, or REFERENCE:DEGREES.
    const std::size_t colon = value.find(':');
    long reference = 0;
    double degrees = 0;
    if ((colon != std::string::npos && !ParseInteger(value.substr(0, colon), 0, 7, &reference)) ||
        !ParseDecimal(colon == std::string::npos ? value : value.substr(colon + 1), 0, 359.9,
                      &degrees)) {
      *error = NotValid(name, value, "degrees from 0 to 359.9, or REFERENCE:DEGREES (0-7)");
      return false;
    }
    const auto tenths = static_cast<std::uint16_t>(std::lround(degrees * 10));
    const auto input = static_cast<std::uint8_t>(reference);
    add("RDS phase", [=] { return std::make_unique<uecp::RdsPhaseElement>(input, tenths); });
  } else if (name == "--rds") {
    bool on = false;
    if (!ParseOnOff(value, &on)) {
      *error = NotValid(name, value, "on or off");
      return false;
    }
    add("RDS on/off",
        [=] { return std::make_unique<uecp::RdsOnOffElement>(static_cast<std::uint8_t>(on)); });
  } else if (name == "--data-set") {
    if (!ParseInteger(value, 1, 255, &number)) {
      *error = NotValid(name, value, "a data set number from 1 to 255");
      return false;
    }
    const auto data_set = static_cast<std::uint8_t>(number);
    add("data set", [=] { return std::make_unique<uecp::DataSetSelectElement>(data_set); });
  } else if (name == "--comm-mode") {
    static const char* const kModes[] = {"one-way", "requested", "spontaneous"};
    int mode = -1;
    for (int i = 0; i < 3; ++i) {
      if (value == kModes[i] || value == std::to_string(i)) mode = i;
    }
    if (mode < 0) {
      *error = NotValid(name, value, "one-way, requested or spontaneous");
      return false;
    }
    add("communication mode", [=] {
      return std::make_unique<uecp::CommunicationModeElement>(static_cast<std::uint8_t>(mode));
    });
  } else if (name == "--site-addresses" || name == "--encoder-addresses") {
    const bool site = name == "--site-addresses";
    std::vector<std::uint16_t> addresses;
    for (const std::string& item : Items(value)) {
      if (!ParseInteger(item, 1, site ? 1023 : 63, &number)) {
        *error = NotValid(name, value,
                          site ? "site addresses from 1 to 1023, comma-separated"
                               : "encoder addresses from 1 to 63, comma-separated");
        return false;
      }
      addresses.push_back(static_cast<std::uint16_t>(number));
    }
    if (addresses.size() > uecp::kMaxAddressesPerElement) {
      *error = name + ": at most 8 addresses";
      return false;
    }
    if (site) {
      add("site addresses", [=] { return std::make_unique<uecp::SiteAddressElement>(addresses); });
    } else {
      const std::vector<std::uint8_t> encoders(addresses.begin(), addresses.end());
      add("encoder addresses",
          [=] { return std::make_unique<uecp::EncoderAddressElement>(encoders); });
    }
  } else if (name == "--group-sequence") {
    std::vector<std::uint8_t> groups;
    for (const std::string& item : Items(value)) {
      std::uint8_t code = 0;
      if (!ParseGroupType(item, &code)) {
        *error = NotValid(name, value, "group types such as 0A,0A,2A,10A");
        return false;
      }
      groups.push_back(code);
    }
    if (groups.size() > uecp::kMaxGroupSequence) {
      *error = name + ": at most 64 groups";
      return false;
    }
    add("group sequence",
        [=] { return std::make_unique<uecp::GroupSequenceElement>(groups, dsn); });
  } else {
    std::vector<std::uint16_t> labels;
    for (const std::string& item : Items(value)) {
      std::uint16_t label = 0;
      if (!ParseLabel(item, &label)) {
        *error = NotValid(name, value, "labels ecc=0xE2, language=0x09 or words 0xNNNN");
        return false;
      }
      labels.push_back(label);
    }
    if (labels.size() > uecp::kMaxSlowLabels) {
      *error = name + ": at most 8 labels";
      return false;
    }
    add("slow labelling",
        [=] { return std::make_unique<uecp::SlowLabellingElement>(labels, dsn, psn); });
  }
  return true;
}

const char kManagementOptionsHelp[] =
    "Encoder (also in send and scripts):\n"
    "  --rds on|off  --rds-level MV  --rds-phase [REF:]DEGREES  --data-set N\n"
    "  --comm-mode one-way|requested|spontaneous  --site-addresses LIST\n"
    "  --encoder-addresses LIST  --group-sequence 0A,2A,...\n"
    "  --slow-labelling ecc=0xE2,language=0x09,0xNNNN\n";

}  // namespace sender
