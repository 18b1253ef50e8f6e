// The element options of `tamsel send` (and of each `send` line of a script): what they name
// becomes UECP message elements, packed in order into as few frames as hold them.
#ifndef RDS_SENDER_ELEMENT_OPTIONS_H_
#define RDS_SENDER_ELEMENT_OPTIONS_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "sender/arguments.h"
#include "uecp/message_element.h"
#include "uecp/uecp_frame.h"

namespace sender {

// The radiotext A/B flag over a run: receivers clear their display when it changes, so each new
// text toggles it and a repeated text keeps it.
struct RadiotextFlag {
  bool b = false;
  bool any_sent = false;
  std::string last_text;

  // The flag for this text (toggled when the text is new) and remembers the text.
  bool Next(const std::string& text);
};

// One element a command names. It is made when its frame is built, so that a clock element in a
// script that waits carries the time it is sent.
struct NamedElement {
  std::string name;   // "PS", "RT", ...
  std::string value;  // for reports: the text or value as sent
  std::function<std::unique_ptr<uecp::MessageElement>(RadiotextFlag*)> make;
};

struct SendRequest {
  std::uint16_t site_address = 0;
  std::uint16_t encoder_address = 0;
  std::vector<NamedElement> elements;
};

// Collects element options word by word; Finish turns them into a request.
class ElementOptionParser {
 public:
  // kNotMine for a word that is no element option.
  [[nodiscard]] Parsed Parse(Arguments* args, std::string* error);
  // Checks every value and makes the request; false (with which option and why) on any bad
  // value, and then nothing is to be sent.
  [[nodiscard]] bool Finish(SendRequest* request, std::string* error) const;
  [[nodiscard]] bool Empty() const { return options_.empty(); }

 private:
  std::vector<std::pair<std::string, std::string>> options_;  // name, value ("" for a flag)
};

// A frame ready to go and the elements it carries.
struct PlannedFrame {
  std::unique_ptr<uecp::UecpFrame> frame;
  std::vector<std::pair<std::string, std::string>> elements;  // name, value
};

// Makes the request's elements and packs them, in order, into frames of at most 255 message
// bytes: an element that does not fit starts the next frame.
std::vector<PlannedFrame> PlanFrames(const SendRequest& request, RadiotextFlag* radiotext);

// The help lines of the element options.
extern const char kElementOptionsHelp[];

}  // namespace sender

#endif  // RDS_SENDER_ELEMENT_OPTIONS_H_
