#include "sender/script.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "platform/sleep.h"
#include "sender/station.h"

namespace sender {
namespace {

// A script's longest wait: a day.
constexpr double kMaxWaitSeconds = 86400;

bool ParseLine(const std::vector<std::string>& words, std::size_t block_start, ScriptStep* step,
               std::string* error) {
  const std::string& command = words[0];
  if (command == "wait") {
    step->kind = ScriptStep::Kind::kWait;
    if (words.size() != 2 || !ParseDecimal(words[1], 0, kMaxWaitSeconds, &step->seconds)) {
      *error = "wait needs one number of seconds from 0 to 86400";
      return false;
    }
    return true;
  }
  if (command == "repeat") {
    step->kind = ScriptStep::Kind::kRepeat;
    step->block_start = block_start;
    if (words.size() > 2 ||
        (words.size() == 2 && !ParseInteger(words[1], 1, 1000000000, &step->runs))) {
      *error = "repeat takes nothing, or a number of runs from 1 up";
      return false;
    }
    return true;
  }
  const bool explicit_send = command == "send";
  if (!explicit_send && command.rfind("--", 0) != 0) {
    *error = "unknown command '" + command + "' (send, wait or repeat)";
    return false;
  }
  step->kind = ScriptStep::Kind::kSend;
  std::vector<std::string> options(words.begin() + (explicit_send ? 1 : 0), words.end());
  Arguments args(options);
  ElementOptionParser parser;
  while (!args.AtEnd()) {
    const std::string name = args.Name();
    switch (parser.Parse(&args, error)) {
      case Parsed::kTaken:
        continue;
      case Parsed::kFailed:
        return false;
      case Parsed::kNotMine:
        *error = "'" + name + "' is no element option" +
                 (name == "--tcp" || name == "--udp" || name == "--device"
                      ? " (the line to the encoder is chosen on the command line)"
                      : "");
        return false;
    }
  }
  return parser.Finish(&step->request, error);
}

}  // namespace

bool ParseScript(const std::string& name, const std::string& text, std::vector<ScriptStep>* steps,
                 std::string* error) {
  steps->clear();
  std::istringstream lines(text);
  std::string line;
  int number = 0;
  std::size_t block_start = 0;
  int endless_repeat_line = 0;
  while (std::getline(lines, line)) {
    ++number;
    std::vector<std::string> words;
    std::string reason;
    ScriptStep step;
    step.line = number;
    const bool parsed = SplitWords(line, &words, &reason) &&
                        (words.empty() || ParseLine(words, block_start, &step, &reason));
    if (!parsed) {
      *error = name;
      *error += ":" + std::to_string(number) + ": " + reason;
      return false;
    }
    if (words.empty()) continue;
    if (endless_repeat_line != 0) {
      *error = name + ":" + std::to_string(number) + ": never reached: the repeat on line " +
               std::to_string(endless_repeat_line) + " goes on without end";
      return false;
    }
    steps->push_back(std::move(step));
    if (steps->back().kind == ScriptStep::Kind::kRepeat) {
      block_start = steps->size();
      if (steps->back().runs == 0) endless_repeat_line = number;
    }
  }
  if (steps->empty()) {
    *error = name + ": nothing to send";
    return false;
  }
  return true;
}

bool LoadScript(const std::string& path, std::vector<ScriptStep>* steps, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream text;
  if (!file || !(text << file.rdbuf())) {
    // An empty file reads as a failed copy; it is a script with nothing in it.
    std::ifstream probe(path);
    if (!probe) {
      *error = "cannot read the script " + path;
      return false;
    }
  }
  return ParseScript(path, text.str(), steps, error);
}

bool RunScript(const std::vector<ScriptStep>& steps, Station* station) {
  std::vector<long> runs_done(steps.size(), 0);
  std::size_t index = 0;
  while (index < steps.size()) {
    const ScriptStep& step = steps[index];
    switch (step.kind) {
      case ScriptStep::Kind::kSend:
        if (!station->Send(step.request)) return false;
        break;
      case ScriptStep::Kind::kWait:
        win::Sleep(static_cast<win::DWORD>(std::lround(step.seconds * 1000)));
        break;
      case ScriptStep::Kind::kRepeat:
        if (step.runs == 0 || ++runs_done[index] < step.runs) {
          index = step.block_start;
          continue;
        }
        runs_done[index] = 0;
        break;
    }
    ++index;
  }
  return true;
}

}  // namespace sender
