#include "decoder/receiver_report.h"

namespace decoder {

ReceiverReport::ReceiverReport(ReportSink& sink, bool flush_every_group, std::size_t buffer_size)
    : sink_(sink), flush_every_group_(flush_every_group), writer_(sink, buffer_size) {}

void ReceiverReport::OnBlock(const ReportedBlock& block) {
  writer_.Prefix(block.position + 1, block.block);
  if (block.status == BlockStatus::kCorrected) {
    writer_.CorrectedOffsetField(block.offset);
  } else {
    writer_.OffsetField(block.offset);
  }
  groups_.DecodeBlock(block.offset, static_cast<std::uint16_t>(block.block >> 10), writer_);
  writer_.EndLine();
  // A failed flush is kept in failed_, which the run checks after every group.
  if (flush_every_group_ && block.slot == 3) static_cast<void>(Flush());
}

void ReceiverReport::OnSkip(std::int64_t position, std::int64_t bits) {
  writer_.SkipLine(position + 1, bits);
  if (flush_every_group_) static_cast<void>(Flush());  // kept in failed_, as above
}

bool ReceiverReport::Flush() {
  if (!writer_.Flush() || !sink_.Flush()) failed_ = true;
  return !failed_;
}

}  // namespace decoder
