#include "tools/capture_gen/station.h"

#include <utility>

namespace capture {

namespace {
constexpr std::uint64_t kGroupsPerMinute = 688;  // 1187.5 bit/s × 60 s / 104 bits
constexpr std::size_t kRadiotextLength = 64;
constexpr int kFiller = 205;

std::uint16_t Chars(const std::string& text, std::size_t at) {
  const auto hi = static_cast<unsigned char>(at < text.size() ? text[at] : ' ');
  const auto lo = static_cast<unsigned char>(at + 1 < text.size() ? text[at + 1] : ' ');
  return static_cast<std::uint16_t>((hi << 8) | lo);
}
}  // namespace

Station::Station(StationConfig config) : config_(std::move(config)) {
  config_.ps.resize(8, ' ');
  if (config_.radiotexts.empty()) config_.radiotexts.emplace_back();
  for (std::string& text : config_.radiotexts) {
    if (text.size() > kRadiotextLength) text.resize(kRadiotextLength);
  }
}

rds::Group Station::NextGroup() {
  const std::uint64_t n = group_++;
  if (n % kGroupsPerMinute == kGroupsPerMinute - 1) return ClockTime();
  if (n % 5 == 4) return Radiotext();
  // A group the decoder only names: 10A, programme type name.
  if (n % 97 == 50) {
    return Make(rds::BlockB(10, false, config_.tp != 0, config_.pty, 0), Chars("POP MUSI", 0),
                Chars("POP MUSI", 2));
  }
  return BasicTuning();
}

void Station::AppendNextGroup(std::string& out) { rds::AppendGroupBits(NextGroup(), &out); }

rds::Group Station::BasicTuning() {
  const int segment = ps_segment_;
  ps_segment_ = (ps_segment_ + 1) & 3;
  const int di_bit = (config_.di >> (3 - segment)) & 1;  // d3 goes with segment 0
  const int low5 = (config_.ta << 4) | (config_.music << 3) | (di_bit << 2) | segment;
  // Method A list: the count code first, then the frequencies two by two, filler at the end.
  std::vector<int> list;
  list.push_back(224 + static_cast<int>(config_.af_codes.size()));
  list.insert(list.end(), config_.af_codes.begin(), config_.af_codes.end());
  if (list.size() % 2 != 0) list.push_back(kFiller);
  const int first = list[af_index_ % list.size()];
  const int second = list[(af_index_ + 1) % list.size()];
  af_index_ = (af_index_ + 2) % list.size();
  return Make(rds::BlockB(0, false, config_.tp != 0, config_.pty, low5),
              static_cast<std::uint16_t>((first << 8) | second),
              Chars(config_.ps, 2 * static_cast<std::size_t>(segment)));
}

rds::Group Station::Radiotext() {
  const std::string& text = config_.radiotexts[text_index_];
  const int flag = static_cast<int>(text_index_ & 1);
  const bool version_b = flag == 1;  // the second text goes out in 2B groups
  const std::size_t per_group = version_b ? 2 : 4;
  // Sixteen segments address 64 characters in 2A groups but only 32 in 2B groups; a longer text
  // is cut there rather than wrapping its segment address into the A/B flag. A text that ends
  // early is closed by its CR; only the segments up to there are sent.
  const std::size_t capacity = 16 * per_group;
  const std::size_t used = text.size() < capacity ? text.size() : capacity;
  const auto segments = static_cast<int>((used + per_group - 1) / per_group);
  const int segment = text_segment_ % (segments == 0 ? 1 : segments);
  const int low5 = (flag << 4) | segment;
  const std::size_t at = per_group * static_cast<std::size_t>(segment);
  const std::uint16_t b = rds::BlockB(2, version_b, config_.tp != 0, config_.pty, low5);
  const rds::Group group = version_b ? Make(b, config_.pi, Chars(text, at))
                                     : Make(b, Chars(text, at), Chars(text, at + 2));
  if (++text_segment_ >= segments) {
    text_segment_ = 0;
    text_index_ = (text_index_ + 1) % config_.radiotexts.size();
  }
  return group;
}

rds::Group Station::ClockTime() {
  const rds::Group group =
      rds::ClockTimeGroup(config_.pi, config_.tp != 0, config_.pty, config_.clock);
  rds::ClockTime& ct = config_.clock;
  if (++ct.minute == 60) {
    ct.minute = 0;
    if (++ct.hour == 24) {
      ct.hour = 0;
      ++ct.mjd;
    }
  }
  return group;
}

}  // namespace capture
