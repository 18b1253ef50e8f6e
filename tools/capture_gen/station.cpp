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
  if (config_.radiotexts.empty()) config_.radiotexts.push_back("");
  for (std::string& text : config_.radiotexts) {
    if (text.size() > kRadiotextLength) text.resize(kRadiotextLength);
  }
}

void Station::AppendNextGroup(std::string& out) {
  const std::uint64_t n = group_++;
  if (n % kGroupsPerMinute == kGroupsPerMinute - 1) {
    AppendClockTime(out);
  } else if (n % 5 == 4) {
    AppendRadiotext(out);
  } else if (n % 97 == 50) {
    // A group the decoder only names: 10A, programme type name.
    AppendGroup(out, config_.pi, BlockB(10, 0, config_.tp, config_.pty, 0), Chars("POP MUSI", 0),
                Chars("POP MUSI", 2));
  } else {
    AppendBasicTuning(out);
  }
}

void Station::AppendBasicTuning(std::string& out) {
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
  AppendGroup(out, config_.pi, BlockB(0, 0, config_.tp, config_.pty, low5),
              static_cast<std::uint16_t>((first << 8) | second),
              Chars(config_.ps, 2 * static_cast<std::size_t>(segment)));
}

void Station::AppendRadiotext(std::string& out) {
  const std::string& text = config_.radiotexts[text_index_];
  const int flag = static_cast<int>(text_index_ & 1);
  // A text that ends early is closed by its CR; only the segments up to there are sent.
  const std::size_t used = text.size() < kRadiotextLength ? text.size() : kRadiotextLength;
  const bool version_b = flag == 1;  // the second text goes out in 2B groups
  const std::size_t per_group = version_b ? 2 : 4;
  const auto segments = static_cast<int>((used + per_group - 1) / per_group);
  const int segment = text_segment_ % (segments == 0 ? 1 : segments);
  const int low5 = (flag << 4) | segment;
  const std::size_t at = per_group * static_cast<std::size_t>(segment);
  if (version_b) {
    AppendGroup(out, config_.pi, BlockB(2, 1, config_.tp, config_.pty, low5), config_.pi,
                Chars(text, at));
  } else {
    AppendGroup(out, config_.pi, BlockB(2, 0, config_.tp, config_.pty, low5), Chars(text, at),
                Chars(text, at + 2));
  }
  if (++text_segment_ >= segments) {
    text_segment_ = 0;
    text_index_ = (text_index_ + 1) % config_.radiotexts.size();
  }
}

void Station::AppendClockTime(std::string& out) {
  int low5 = 0;
  std::uint16_t c = 0;
  std::uint16_t d = 0;
  ClockTimeWords(config_.clock, &low5, &c, &d);
  AppendGroup(out, config_.pi, BlockB(4, 0, config_.tp, config_.pty, low5), c, d);
  ClockTime& ct = config_.clock;
  if (++ct.minute == 60) {
    ct.minute = 0;
    if (++ct.hour == 24) {
      ct.hour = 0;
      ++ct.mjd;
    }
  }
}

}  // namespace capture
