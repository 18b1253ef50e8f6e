// rds-demod's exit codes (docs/rds-demod.md lists them with their messages).
#ifndef RDS_DEMOD_EXIT_CODE_H_
#define RDS_DEMOD_EXIT_CODE_H_

namespace demod {

enum ExitCode : int {
  kDone = 0,
  kIoError = 1,     // input cannot be opened or read, output cannot be created or written
  kNotAudio = 2,    // not an audio file libsndfile reads, or no samples in it
  kBadRate = 3,     // sample rate outside 128000 … 384000 Hz
  kTruncated = 4,   // the input breaks off (cut file, half a sample at the end of a stream)
  kOutputFull = 5,  // 99999998 bits written to a file: the count line holds no more
  kUsage = 64,      // wrong command line
};

}  // namespace demod

#endif  // RDS_DEMOD_EXIT_CODE_H_
