// `tamsel feed`: a live radiotext feed. Each line read (standard input, or lines appended to a
// file with --follow) becomes the radiotext, through a template such as "Now: {line}". Each new
// text toggles the A/B flag so receivers clear the old one, and no more than one text goes out
// per --min-interval: lines that come faster wait, and the newest wins, as a playout system
// announcing songs in a burst expects.
#ifndef RDS_SENDER_FEED_H_
#define RDS_SENDER_FEED_H_

#include <cstdio>
#include <string>
#include <vector>

#include "sender/arguments.h"

namespace sender {

struct FeedSettings {
  std::string follow;  // the file to follow; empty for standard input
  std::string text_template = "{line}";
  double min_interval_seconds = 2.0;
  std::vector<std::string> element_words;  // --truncate, --rt-repeat, ... for every text
};

// Parses --follow, --template, --min-interval and the radiotext options every text takes.
[[nodiscard]] Parsed ParseFeedOption(Arguments* args, FeedSettings* settings, std::string* error);
extern const char kFeedOptionsHelp[];

class Station;

// Feeds until standard input ends (with --follow: until tamsel is stopped). Returns false when
// the station stopped; *skipped counts lines that were no valid radiotext (each reported on err).
[[nodiscard]] bool RunFeed(const FeedSettings& settings, Station* station, std::FILE* in,
                           std::FILE* err, int* skipped);

}  // namespace sender

#endif  // RDS_SENDER_FEED_H_
