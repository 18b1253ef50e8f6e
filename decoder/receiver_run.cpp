#include "decoder/receiver_run.h"

#include <algorithm>
#include <cstdint>
#include <new>
#include <optional>

#include "decoder/bit_line.h"
#include "decoder/receiver_report.h"
#include "decoder/stream_bits.h"

namespace decoder {

namespace {

constexpr std::size_t kPiece = std::size_t{1} << 16;
// Zero bits behind a counted capture, as its reader yields them: a block A found in the last bits
// still has the block after it checked for a B.
constexpr std::int64_t kPadding = std::int64_t{2} * kBlockBits;
// The fixed report's end: no block starting this close to the end of a counted capture is
// reported, save the one that found synchronisation.
constexpr std::int64_t kUnreportedTail = 77;

ExitCode DecodeStream(ByteSource& input, BlockReceiver& receiver, ReceiverReport* report,
                      ReceptionStats* stats) {
  std::vector<char> bytes(kPiece);
  std::vector<std::uint8_t> bits(kPiece);
  StreamBits parser;
  for (;;) {
    const std::size_t n = input.Read(bytes.data(), bytes.size());
    if (n == 0) break;
    receiver.Push(bits.data(), parser.Convert(bytes.data(), n, bits.data()));
    // Each piece is what a live source had to give: show its groups now.
    if (report != nullptr && !report->Flush()) break;
  }
  receiver.Finish(receiver.Position());
  stats->erased_bits = parser.Erasures();
  return input.Failed() ? ExitCode::kFileError : ExitCode::kDone;
}

ExitCode DecodeCounted(BitLine& line, std::int64_t count, BlockReceiver& receiver,
                       const ReceiverReport* report) {
  const std::vector<std::uint8_t> zeros(kPiece);
  std::int64_t position = 0;
  while (position < count && !receiver.Done()) {
    // Past the last '1' only zero bits follow, whose blocks name no offset but E.
    if (line.Complete() && position > line.LastOne() + kPadding && receiver.Searching()) break;
    const char* chars = nullptr;
    const std::size_t held = line.Piece(position, &chars);
    const auto n = static_cast<std::size_t>(std::min<std::int64_t>(
        static_cast<std::int64_t>(held != 0 ? held : kPiece), count - position));
    if (held != 0) {
      receiver.PushChars(chars, n);
    } else {
      receiver.Push(zeros.data(), n);
    }
    position += static_cast<std::int64_t>(n);
    line.Release(position);
    if (line.Failed()) return ExitCode::kFileError;
    if (report != nullptr && report->Failed()) break;
  }
  if (!receiver.Done() && !line.Failed()) receiver.Push(zeros.data(), kPadding);
  receiver.Finish(count);
  return line.Failed() ? ExitCode::kFileError : ExitCode::kDone;
}

ExitCode Run(const ReceiverRunOptions& options, ByteSource& input, ReportSink* report_sink,
             const std::vector<GroupListener*>& listeners, ReceptionStats* stats) {
  std::optional<ReceiverReport> report;
  if (report_sink != nullptr) report.emplace(*report_sink, options.flush_every_group);
  ReceiverReport* observer = report ? &*report : nullptr;
  ReceiverConfig config = options.receiver;

  ExitCode code = ExitCode::kDone;
  bool synchronised = false;
  if (options.stream) {
    BlockReceiver receiver(config, observer, listeners);
    code = DecodeStream(input, receiver, observer, stats);
    synchronised = receiver.EverSynchronised();
    const std::int64_t erased = stats->erased_bits;
    *stats = receiver.Stats();
    stats->erased_bits = erased;
  } else {
    BitLine line(input);
    std::int32_t count = 0;
    if (!line.ReadCount(&count)) return ExitCode::kFileError;
    if (count < 1) return ExitCode::kBadCount;
    line.Begin(count);
    config.report_limit = std::int64_t{count} - kUnreportedTail;
    BlockReceiver receiver(config, observer, listeners);
    code = DecodeCounted(line, count, receiver, observer);
    synchronised = receiver.EverSynchronised();
    *stats = receiver.Stats();
  }
  const bool written = observer == nullptr || observer->Flush();
  if (code != ExitCode::kDone || !written) return ExitCode::kFileError;
  return synchronised ? ExitCode::kDone : ExitCode::kNoSync;
}

}  // namespace

ExitCode RunReceiver(const ReceiverRunOptions& options, ByteSource& input, ReportSink* report,
                     const std::vector<GroupListener*>& listeners, ReceptionStats* stats) {
  ReceptionStats ignored;
  ReceptionStats* figures = stats != nullptr ? stats : &ignored;
  *figures = ReceptionStats{};
  try {
    return Run(options, input, report, listeners, figures);
  } catch (const std::bad_alloc&) {
    return ExitCode::kNoMemory;
  }
}

}  // namespace decoder
