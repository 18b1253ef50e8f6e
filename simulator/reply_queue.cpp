#include "simulator/reply_queue.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace sim {

ReplyQueue::Result ReplyQueue::Push(const std::vector<std::uint8_t>& bytes) {
  if (!Flush()) return Result::kFailed;
  if (Pending() + bytes.size() > limit_) return Result::kFull;
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
  return Flush() ? Result::kOk : Result::kFailed;
}

bool ReplyQueue::Flush() {
  while (sent_ < bytes_.size()) {
    const std::uint8_t* data = bytes_.data() + sent_;
    const std::size_t size = bytes_.size() - sent_;
    const ssize_t n = socket_ ? send(fd_, data, size, MSG_NOSIGNAL) : write(fd_, data, size);
    if (n > 0) {
      sent_ += static_cast<std::size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) break;
    return false;
  }
  if (sent_ == bytes_.size()) {
    Clear();
  } else if (sent_ > bytes_.size() / 2) {
    // Keep the buffer from growing with a slow reader: drop what went out once it is the bulk.
    bytes_.erase(bytes_.begin(), bytes_.begin() + static_cast<std::ptrdiff_t>(sent_));
    sent_ = 0;
  }
  return true;
}

}  // namespace sim
