// Differential coding of the RDS data channel. The transmitter sends each source bit as a change
// (1) or no change (0) of the output level, so a receiver that locks its carrier 180° off still
// reads the same data after undoing it.
#ifndef RDS_RDSCORE_DIFFERENTIAL_H_
#define RDS_RDSCORE_DIFFERENTIAL_H_

namespace rds {

class DifferentialEncoder {
 public:
  // The output bit for the next source bit.
  int Next(int bit) {
    level_ ^= bit & 1;
    return level_;
  }

 private:
  int level_ = 0;
};

class DifferentialDecoder {
 public:
  // The source bit for the next received level.
  int Next(int level) {
    const int bit = (level ^ previous_) & 1;
    previous_ = level & 1;
    return bit;
  }

 private:
  int previous_ = 0;
};

}  // namespace rds

#endif  // RDS_RDSCORE_DIFFERENTIAL_H_
