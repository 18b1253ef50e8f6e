// One run of the receiver's block layer over an input: a counted capture (the format of the fixed
// report) or a live bit stream, with the report, any number of group listeners, and the reception
// figures afterwards.
#ifndef RDS_DECODER_RECEIVER_RUN_H_
#define RDS_DECODER_RECEIVER_RUN_H_

#include <vector>

#include "decoder/block_receiver.h"
#include "decoder/byte_io.h"
#include "decoder/exit_code.h"
#include "decoder/received_group.h"

namespace decoder {

struct ReceiverRunOptions {
  ReceiverConfig receiver;  // plain or receiver mode, longest burst, guards
  bool stream = false;      // a live bit stream (stream_bits.h) instead of a counted capture
  // Pass the report on after every group and every input piece, for a reader at a pipe or
  // terminal; otherwise only after every input piece of a stream and at the end.
  bool flush_every_group = false;
};

// Decodes `input`. `report` (may be null) gets a line for every block and skipped stretch; every
// listener gets every group, the last one included; `stats` (may be null) gets the figures of the
// run, also when it fails. A stream is decoded piece by piece as Read returns it. Exit codes:
// kDone; kBadCount (counted capture only); kNoSync when no synchronisation was ever found (the
// report is then empty); kFileError when reading or writing failed; kNoMemory.
[[nodiscard]] ExitCode RunReceiver(const ReceiverRunOptions& options, ByteSource& input,
                                   ReportSink* report, const std::vector<GroupListener*>& listeners,
                                   ReceptionStats* stats);

}  // namespace decoder

#endif  // RDS_DECODER_RECEIVER_RUN_H_
