#include "sender/feed.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/sleep.h"
#include "sender/element_options.h"
#include "sender/station.h"

namespace sender {
namespace {

using Clock = std::chrono::steady_clock;

// How often a followed file is looked at: a song title a fifth of a second late is not noticed.
constexpr int kFollowPollMs = 200;

// Lines as they come, from wherever; Poll gives what arrived within wait_ms.
class LineSource {
 public:
  virtual ~LineSource() = default;
  // False once no line can come any more.
  virtual bool Poll(int wait_ms, std::deque<std::string>* lines) = 0;
};

std::string WithoutLineEnd(std::string line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
  return line;
}

// Standard input is read by a thread of its own: a blocking read is the one way to wait for a
// line on every system, and the feed must meanwhile keep its interval.
class InputSource : public LineSource {
 public:
  explicit InputSource(std::FILE* in) {
    // The reader ends with the input; a feed stopped before that ends the process with it. It
    // shares nothing with this object but the state it holds a reference to.
    std::thread([in, state = state_] { ReadAll(in, state); }).detach();
  }

  bool Poll(int wait_ms, std::deque<std::string>* lines) override {
    std::unique_lock<std::mutex> lock(state_->mutex);
    state_->arrived.wait_for(lock, std::chrono::milliseconds(wait_ms),
                             [this] { return !state_->lines.empty() || state_->ended; });
    while (!state_->lines.empty()) {
      lines->push_back(std::move(state_->lines.front()));
      state_->lines.pop_front();
    }
    return !state_->ended;
  }

 private:
  struct Shared {
    std::mutex mutex;
    std::condition_variable arrived;
    std::deque<std::string> lines;
    bool ended = false;
  };

  static void ReadAll(std::FILE* in, const std::shared_ptr<Shared>& state) {
    std::string line;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, in) != nullptr) {
      line += buffer;
      if (line.back() != '\n') continue;
      std::lock_guard<std::mutex> lock(state->mutex);
      state->lines.push_back(WithoutLineEnd(line));
      state->arrived.notify_one();
      line.clear();
    }
    std::lock_guard<std::mutex> lock(state->mutex);
    if (!line.empty()) state->lines.push_back(WithoutLineEnd(line));
    state->ended = true;
    state->arrived.notify_one();
  }

  std::shared_ptr<Shared> state_ = std::make_shared<Shared>();
};

// A file that grows, as a playout system's log: the last complete line present at the start
// (the song on air now), then every line appended. A file that shrinks was rotated or
// truncated, and is read again from its start. Opened anew at each look, so a file replaced
// under the same name is found.
class FollowSource : public LineSource {
 public:
  explicit FollowSource(std::string path) : path_(std::move(path)) {}

  [[nodiscard]] bool Start(std::string* error) {
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) {
      *error = "cannot open " + path_ + " to follow";
      return false;
    }
    std::string last;
    std::string line;
    char buffer[1024];
    long complete_end = 0;
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
      line += buffer;
      if (line.back() != '\n') continue;
      last = WithoutLineEnd(line);
      line.clear();
      complete_end = std::ftell(file);
    }
    std::fclose(file);
    position_ = complete_end;
    if (!last.empty()) first_ = last;
    return true;
  }

  bool Poll(int wait_ms, std::deque<std::string>* lines) override {
    if (!first_.empty()) {
      lines->push_back(first_);
      first_.clear();
      return true;
    }
    win::Sleep(static_cast<win::DWORD>(wait_ms < kFollowPollMs ? wait_ms : kFollowPollMs));
    std::FILE* file = std::fopen(path_.c_str(), "rb");
    if (file == nullptr) return true;  // between a rotation's rename and the new file
    std::fseek(file, 0, SEEK_END);
    if (std::ftell(file) < position_) position_ = 0;
    std::fseek(file, position_, SEEK_SET);
    std::string line;
    char buffer[1024];
    while (std::fgets(buffer, sizeof buffer, file) != nullptr) {
      line += buffer;
      if (line.back() != '\n') continue;  // a line still being written waits for its end
      lines->push_back(WithoutLineEnd(line));
      line.clear();
      position_ = std::ftell(file);
    }
    std::fclose(file);
    return true;
  }

 private:
  std::string path_;
  long position_ = 0;
  std::string first_;
};

std::string FromTemplate(const std::string& text_template, const std::string& line) {
  std::string text;
  std::size_t at = 0;
  for (;;) {
    const std::size_t mark = text_template.find("{line}", at);
    text += text_template.substr(at, mark - at);
    if (mark == std::string::npos) return text;
    text += line;
    at = mark + 6;
  }
}

}  // namespace

Parsed ParseFeedOption(Arguments* args, FeedSettings* settings, std::string* error) {
  const std::string name = args->Name();
  std::string value;
  if (name == "--follow" || name == "--template" || name == "--min-interval") {
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
    if (name == "--follow") {
      if (value.empty()) {
        *error = "--follow needs a file name";
        return Parsed::kFailed;
      }
      settings->follow = value;
    } else if (name == "--template") {
      if (value.find("{line}") == std::string::npos) {
        *error = "--template needs {line} where the line goes, as in 'Now: {line}'";
        return Parsed::kFailed;
      }
      settings->text_template = value;
    } else if (!ParseDecimal(value, 0, 3600, &settings->min_interval_seconds)) {
      *error = "--min-interval needs seconds from 0 to 3600, not '" + value + "'";
      return Parsed::kFailed;
    }
    return Parsed::kTaken;
  }
  // The radiotext's own settings and the frame's address apply to every text.
  static const char* const kPassed[] = {"--rt-repeat", "--rt-buffer", "--dsn",
                                        "--psn",       "--site",      "--encoder"};
  for (const char* passed : kPassed) {
    if (name != passed) continue;
    if (!args->TakeValue(&value, error)) return Parsed::kFailed;
    settings->element_words.push_back(name);
    settings->element_words.push_back(value);
    return Parsed::kTaken;
  }
  if (name == "--truncate") {
    if (!args->TakeFlag(error)) return Parsed::kFailed;
    settings->element_words.push_back(name);
    return Parsed::kTaken;
  }
  return Parsed::kNotMine;
}

const char kFeedOptionsHelp[] =
    "Feed (radiotext from each line):\n"
    "  --follow FILE        follow a growing file (the last line at once, then new ones)\n"
    "                       instead of reading standard input\n"
    "  --template TEXT      the radiotext around the line, e.g. 'Now: {line}'\n"
    "  --min-interval S     at most one text per S seconds, the newest wins (default 2)\n"
    "  --truncate  --rt-repeat N  --rt-buffer replace|append  --dsn --psn --site --encoder\n";

bool RunFeed(const FeedSettings& settings, Station* station, std::FILE* in, std::FILE* err,
             int* skipped) {
  std::unique_ptr<LineSource> source;
  if (settings.follow.empty()) {
    source = std::make_unique<InputSource>(in);
  } else {
    auto follow = std::make_unique<FollowSource>(settings.follow);
    std::string error;
    if (!follow->Start(&error)) {
      std::fprintf(err, "tamsel: %s\n", error.c_str());
      ++*skipped;
      return true;
    }
    source = std::move(follow);
  }
  const auto interval = std::chrono::duration_cast<Clock::duration>(
      std::chrono::duration<double>(settings.min_interval_seconds));
  Clock::time_point last_sent{};
  bool sent_any = false;
  bool has_pending = false;
  SendRequest pending;
  std::deque<std::string> lines;
  int line_number = 0;
  bool open = true;
  while (open || has_pending) {
    int wait_ms = 100;
    if (has_pending) {
      const auto due = last_sent + interval;
      if (!sent_any || Clock::now() >= due) {
        if (!station->Send(pending)) return false;
        has_pending = false;
        sent_any = true;
        last_sent = Clock::now();
        continue;
      }
      wait_ms = static_cast<int>(
          std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count() + 1);
    }
    if (!open) {
      win::Sleep(static_cast<win::DWORD>(wait_ms));
      continue;
    }
    lines.clear();
    open = source->Poll(wait_ms, &lines);
    for (const std::string& line : lines) {
      ++line_number;
      if (line.empty()) continue;
      std::vector<std::string> words = settings.element_words;
      words.emplace_back("--rt");
      words.push_back(FromTemplate(settings.text_template, line));
      Arguments args(words);
      ElementOptionParser parser;
      std::string error;
      SendRequest request;
      while (!args.AtEnd() && parser.Parse(&args, &error) == Parsed::kTaken) {
      }
      if (!error.empty() || !parser.Finish(&request, &error)) {
        std::fprintf(err, "tamsel: feed line %d skipped: %s\n", line_number, error.c_str());
        ++*skipped;
        continue;
      }
      // The newest line replaces one still waiting for its turn.
      pending = std::move(request);
      has_pending = true;
    }
  }
  return true;
}

}  // namespace sender
