// Fuzz target: the sender's frame reader on whatever an encoder (or a line) sends back.
//
// The first byte sets the size of the pieces the stream arrives in (as reads return them); the
// rest is the stream. Besides "no crash, no leak, no undefined behaviour":
// - every good frame carries at most 255 message bytes, and the reference framing of its
//   address, SQC and message is exactly the bytes it came from;
// - nothing is invented or lost: frames, damaged frames and text account for every byte read,
//   but for a frame still open at the end;
// - the pieces do not matter: the stream read whole gives the same items.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "fuzz/uecp_reference.h"
#include "uecp/frame_reader.h"

namespace {

using fuzz::Require;

struct Reading {
  std::vector<uecp::StreamItem> items;
  std::size_t accounted = 0;
  bool open_frame = false;
};

Reading Read(const std::uint8_t* data, std::size_t size, std::size_t piece) {
  uecp::FrameReader reader;
  for (std::size_t at = 0; at < size; at += piece) {
    reader.Feed(data + at, piece < size - at ? piece : size - at);
  }
  reader.FlushText();
  Reading reading;
  reading.open_frame = reader.InFrame();
  uecp::StreamItem item;
  while (reader.Next(&item)) {
    if (item.kind == uecp::StreamItem::Kind::kFrame) {
      const uecp::ReadFrame& frame = item.frame;
      Require(frame.message.size() <= 255, "a frame's message field holds at most 255 bytes");
      const auto address =
          static_cast<std::uint16_t>(frame.site_address << 6 | frame.encoder_address);
      reading.accounted +=
          fuzz::ReferenceFrame(address, frame.sequence_counter, frame.message).size();
    } else {
      reading.accounted += item.bytes.size();
    }
    reading.items.push_back(std::move(item));
  }
  return reading;
}

bool SameItems(const Reading& a, const Reading& b) {
  if (a.items.size() != b.items.size()) return false;
  for (std::size_t i = 0; i < a.items.size(); ++i) {
    const uecp::StreamItem& x = a.items[i];
    const uecp::StreamItem& y = b.items[i];
    if (x.kind != y.kind || x.bytes != y.bytes || x.problem != y.problem ||
        x.frame.message != y.frame.message ||
        x.frame.sequence_counter != y.frame.sequence_counter) {
      return false;
    }
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  const std::size_t piece = data[0] == 0 ? 1 : data[0];
  const Reading pieces = Read(data + 1, size - 1, piece);
  const Reading whole = Read(data + 1, size - 1, size);
  Require(pieces.accounted <= size - 1, "the reader invents no bytes");
  Require(pieces.open_frame || pieces.accounted == size - 1, "every byte read is accounted for");
  Require(SameItems(pieces, whole), "the pieces a stream arrives in do not change what is read");
  return 0;
}
