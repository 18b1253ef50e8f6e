// Fuzz target: the station view on arbitrary groups, as a block layer might hand over from a
// noisy capture (any information words, any blocks missing).
//
// The first byte chooses the region (Europe, North America, or decided by the ECC); every 9 bytes
// after it are one group: four information words, high byte first, then a byte whose bits 0..3
// mark blocks A..D missing and bit 4 says the third block carried offset C'. Whatever arrives,
// every JSON line must be one whole JSON object that names the PI or the group type, no line may
// hold a raw control character (texts from the air are escaped), and the summary must be valid
// UTF-8 with no control character but its line breaks.
#include <cstddef>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>

#include "decoder/byte_io.h"
#include "decoder/station/json_group_writer.h"
#include "decoder/station/station_summary.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr std::size_t kBytesPerGroup = 9;

bool ValidUtf8WithoutControls(const std::string& text) {
  std::size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<unsigned char>(text[i]);
    std::size_t extra = 0;
    if (lead < 0x80) {
      if ((lead < 0x20 && lead != '\n') || lead == 0x7F) return false;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
    } else {
      return false;  // the RDS character set needs no more than three bytes
    }
    if (i + extra >= text.size() && extra > 0) return false;
    for (std::size_t k = 1; k <= extra; ++k) {
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    }
    i += 1 + extra;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const auto region = static_cast<decoder::Region>(data[0] % 3);
  decoder::StringSink json;
  decoder::JsonGroupWriter writer(json, region);
  decoder::StationSummary summary(region);
  std::size_t groups = 0;
  for (std::size_t at = 1; at + kBytesPerGroup <= size; at += kBytesPerGroup, ++groups) {
    decoder::ReceivedGroup group;
    const std::uint8_t flags = data[at + 8];
    for (std::size_t block = 0; block < 4; ++block) {
      const bool missing = (flags >> block) & 1;
      group.status[block] = missing ? decoder::BlockStatus::kMissing : decoder::BlockStatus::kClean;
      group.info[block] =
          missing
              ? 0
              : static_cast<std::uint16_t>(data[at + 2 * block] << 8 | data[at + 2 * block + 1]);
    }
    group.third_is_c_prime = (flags >> 4) & 1;
    group.first_bit = static_cast<std::int64_t>(groups) * 104;
    writer.OnGroup(group);
    summary.OnGroup(group);
  }
  fuzz::Require(!writer.Failed(), "a write to a string never fails");

  const std::string& text = json.Text();
  fuzz::Require(text.empty() || text.back() == '\n', "the JSON ends with a whole line");
  fuzz::Require(ValidUtf8WithoutControls(text), "JSON lines are UTF-8 without raw controls");
  std::istringstream lines(text);
  std::size_t count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    const nlohmann::json object = nlohmann::json::parse(line, nullptr, false);
    fuzz::Require(object.is_object(), "every line is one JSON object");
    fuzz::Require(object.contains("pi") || object.contains("group"), "a line names PI or group");
  }
  fuzz::Require(count <= groups, "at most one line per group");

  decoder::ReceptionStats stats;
  stats.bits = static_cast<std::int64_t>(groups) * 104;
  fuzz::Require(ValidUtf8WithoutControls(summary.Text(stats)), "the summary is clean UTF-8");
  return 0;
}
