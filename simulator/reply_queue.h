// Reply bytes on their way to one sender. Writing never waits: what the line does not take at
// once stays queued and goes out when the line has room, so a sender that stops reading cannot
// stall the encoder's loop, its air or the other senders. The queue is bounded: a sender that
// leaves more than the bound unread is not reading at all.
#ifndef RDS_SIMULATOR_REPLY_QUEUE_H_
#define RDS_SIMULATOR_REPLY_QUEUE_H_

#include <cstddef>
#include <cstdint>
#include <vector>

namespace sim {

// About 6500 unread acknowledgements on top of what the system itself buffers.
constexpr std::size_t kMaxPendingReplyBytes = std::size_t{64} * 1024;

class ReplyQueue {
 public:
  // fd must be non-blocking; socket says whether to write with send() so that a peer that has
  // gone raises no SIGPIPE.
  ReplyQueue(int fd, bool socket, std::size_t limit = kMaxPendingReplyBytes)
      : fd_(fd), socket_(socket), limit_(limit) {}

  enum class Result {
    kOk,      // sent, or queued within the bound
    kFull,    // the bytes would take the queue past its bound; nothing of them was queued
    kFailed,  // the line failed (errno tells why)
  };

  // Queues bytes behind what already waits and writes as much as the line takes now.
  Result Push(const std::vector<std::uint8_t>& bytes);
  // Writes what waits, as far as the line takes it; false when the line failed (errno).
  [[nodiscard]] bool Flush();

  bool Empty() const { return Pending() == 0; }
  std::size_t Pending() const { return bytes_.size() - sent_; }
  void Clear() {
    bytes_.clear();
    sent_ = 0;
  }

 private:
  int fd_;
  bool socket_;
  std::size_t limit_;
  std::vector<std::uint8_t> bytes_;
  std::size_t sent_ = 0;  // bytes at the front of bytes_ that have gone out
};

}  // namespace sim

#endif  // RDS_SIMULATOR_REPLY_QUEUE_H_
