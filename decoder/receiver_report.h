// The report of the receiver's block layer: the fixed report's line for every block, named and
// decoded as the block layer judged it, a '*' in the offset field of a corrected block, and a line
// of its own for every stretch skipped while synchronisation was searched for.
#ifndef RDS_DECODER_RECEIVER_REPORT_H_
#define RDS_DECODER_RECEIVER_REPORT_H_

#include <cstddef>
#include <cstdint>

#include "decoder/block_receiver.h"
#include "decoder/byte_io.h"
#include "decoder/fast_writer.h"
#include "decoder/group_decoder.h"

namespace decoder {

class ReceiverReport : public BlockObserver {
 public:
  // With `flush_every_group`, the report is passed on after each group's last block, so that a
  // reader at the other end of a pipe sees every group as it arrives.
  ReceiverReport(ReportSink& sink, bool flush_every_group,
                 std::size_t buffer_size = std::size_t{1} << 20);

  void OnBlock(const ReportedBlock& block) override;
  void OnSkip(std::int64_t position, std::int64_t bits) override;

  // Writes out what is buffered and flushes the sink; false once anything failed.
  [[nodiscard]] bool Flush();
  bool Failed() const { return failed_ || writer_.Failed(); }

 private:
  ReportSink& sink_;
  bool flush_every_group_;
  bool failed_ = false;
  FastReportWriter writer_;
  GroupDecoder<FastReportWriter> groups_;
};

}  // namespace decoder

#endif  // RDS_DECODER_RECEIVER_REPORT_H_
