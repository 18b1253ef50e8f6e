// A made-up FM station's RDS data as an encoder would schedule it: programme service name and
// alternative frequencies in 0A groups, two radiotexts (A/B flag 0 in 2A groups, flag 1 in 2B),
// clock time 4A once every 688 groups (about a minute on air), and now and then a group of another
// type.
#ifndef RDS_TOOLS_STATION_H_
#define RDS_TOOLS_STATION_H_

#include <cstdint>
#include <string>
#include <vector>

#include "rdscore/group.h"

namespace capture {

struct StationConfig {
  std::uint16_t pi = 0xD3A1;
  int pty = 10;
  int tp = 1;
  int ta = 0;
  int music = 1;
  int di = 0x9;  // stereo, dynamic PTY
  std::string ps = "BROVIK  ";
  std::vector<std::string> radiotexts = {"Now playing: the RDS test tone, decoded byte for byte\r",
                                         "Traffic on the ring road is moving freely again"};
  std::vector<int> af_codes = {1, 55, 91, 204, 150};  // FM codes 1..204
  rds::ClockTime clock = {60652, 17, 45, 2};
};

class Station {
 public:
  explicit Station(StationConfig config);

  // The next group on air.
  rds::Group NextGroup();

  // Appends the next group's 104 bits as characters.
  void AppendNextGroup(std::string& out);

 private:
  rds::Group Make(std::uint16_t b, std::uint16_t c, std::uint16_t d) const {
    return rds::Group{{config_.pi, b, c, d}};
  }
  rds::Group BasicTuning();
  rds::Group Radiotext();
  rds::Group ClockTime();

  StationConfig config_;
  std::uint64_t group_ = 0;
  int ps_segment_ = 0;
  std::size_t af_index_ = 0;
  std::size_t text_index_ = 0;
  int text_segment_ = 0;
};

}  // namespace capture

#endif  // RDS_TOOLS_STATION_H_
