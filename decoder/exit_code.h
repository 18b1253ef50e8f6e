// The outcome of a run, which is also the program's exit code.
#ifndef RDS_DECODER_EXIT_CODE_H_
#define RDS_DECODER_EXIT_CODE_H_

namespace decoder {

enum class ExitCode : int {
  kDone = 0,
  kFileError = 1,  // a file cannot be opened, created, read or written
  kBadCount = 2,   // the bit count on the first line is below 1
  kNoMemory = 3,
  kNoSync = 4,  // the input ended without a block A followed by a block B; the report stays empty
  kUsage = 64,
};

}  // namespace decoder

#endif  // RDS_DECODER_EXIT_CODE_H_
