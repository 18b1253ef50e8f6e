#include "sender/commands.h"

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "sender/element_options.h"
#include "sender/exchange.h"
#include "sender/exchange_report.h"
#include "sender/exit_codes.h"
#include "sender/feed.h"
#include "sender/get_command.h"
#include "sender/link.h"
#include "sender/management_options.h"
#include "sender/script.h"
#include "sender/station.h"

namespace sender {
namespace {

const char* const kCommands[] = {"send", "run", "feed", "get"};

std::string CommandUsage() {
  return std::string(
             "Usage: tamsel send [LINE] [ANSWERS] ELEMENTS...\n"
             "       tamsel run [LINE] [ANSWERS] SCRIPT\n"
             "       tamsel feed [LINE] [ANSWERS] [FEED OPTIONS]\n"
             "       tamsel get [LINE] [ANSWERS] ELEMENT...\n"
             "Sends UECP frames to an RDS encoder and shows each answer: ACK, NACK <code>\n"
             "<reason>, TEXT '<answer>', SENT (no answer expected), NO ANSWER.\n"
             "\n") +
         kLinkOptionsHelp + "\n" + kExchangeOptionsHelp + "\n" + kElementOptionsHelp + "\n" +
         kManagementOptionsHelp + "\n" + kFeedOptionsHelp + "\n" + kGetHelp +
         "\n"
         "A script has one command a line: [send] ELEMENTS..., wait SECONDS, repeat [N];\n"
         "# starts a comment. Details: docs/tamsel.md.\n"
         "\n"
         "Exit codes: 0 all answered, 3 line cannot be opened, 4 some frames unanswered,\n"
         "5 line failed, 6 output failed, 7 some frames refused (NACK), 64 wrong command\n"
         "line, 65 bad script or feed line.\n";
}

int UsageError(std::FILE* err, const std::string& command, const std::string& message) {
  std::fprintf(err, "tamsel %s: %s\nTry 'tamsel %s --help'.\n", command.c_str(), message.c_str(),
               command.c_str());
  return kExitUsage;
}

struct CommandLine {
  std::string command;
  bool help = false;
  LinkSettings link;
  ExchangeSettings exchange;
  ElementOptionParser elements;
  FeedSettings feed;
  GetRequest get;
  std::vector<std::string> positional;
};

// The options every command takes, then the command's own; false with the reason.
bool Parse(int argc, const char* const* argv, CommandLine* line, std::string* error) {
  line->command = argv[1];
  Arguments args(std::vector<std::string>(argv + 2, argv + argc));
  while (!args.AtEnd()) {
    const std::string name = args.Name();
    if (name == "--help" || name == "-h") {
      line->help = true;
      if (!args.TakeFlag(error)) return false;
      continue;
    }
    Parsed parsed = ParseLinkOption(&args, &line->link, error);
    if (parsed == Parsed::kNotMine) parsed = ParseExchangeOption(&args, &line->exchange, error);
    if (parsed == Parsed::kNotMine && line->command == "send") {
      parsed = line->elements.Parse(&args, error);
    }
    if (parsed == Parsed::kNotMine && line->command == "feed") {
      parsed = ParseFeedOption(&args, &line->feed, error);
    }
    if (parsed == Parsed::kNotMine && line->command == "get") {
      parsed = ParseGetOption(&args, &line->get, error);
    }
    if (parsed == Parsed::kFailed) return false;
    if (parsed == Parsed::kTaken) continue;
    if (name.size() > 1 && name[0] == '-') {
      *error = "unknown option '" + name + "'";
      return false;
    }
    line->positional.push_back(args.TakeWord());
  }
  if (line->help) return true;
  if (line->command == "run" && line->positional.size() != 1) {
    *error = "run needs one script file";
    return false;
  }
  if (line->command == "get") {
    if (line->positional.empty()) {
      *error = "get needs the elements to ask for, e.g. ps rt";
      return false;
    }
    for (const std::string& name : line->positional) {
      if (!AddGetElement(name, &line->get, error)) return false;
    }
  } else if (line->command != "run" && !line->positional.empty()) {
    *error = "unexpected argument '" + line->positional.front() + "'";
    return false;
  }
  return CheckLinkSettings(line->link, error);
}

}  // namespace

bool IsCommand(int argc, const char* const* argv) {
  return argc >= 2 && std::any_of(std::begin(kCommands), std::end(kCommands),
                                  [&](const char* c) { return std::strcmp(argv[1], c) == 0; });
}

int RunCommand(int argc, const char* const* argv, std::FILE* in, std::FILE* out, std::FILE* err) {
  CommandLine line;
  std::string error;
  if (!Parse(argc, argv, &line, &error)) return UsageError(err, argv[1], error);
  if (line.help) {
    std::fputs(CommandUsage().c_str(), out);
    return kExitDone;
  }

  // Everything is checked before the line is opened: a bad value sends nothing.
  SendRequest request;
  std::vector<ScriptStep> script;
  if (line.command == "send" && !line.elements.Finish(&request, &error)) {
    return UsageError(err, line.command, error);
  }
  if (line.command == "run" && !LoadScript(line.positional.front(), &script, &error)) {
    std::fprintf(err, "tamsel: %s\n", error.c_str());
    return kExitBadInput;
  }

  if (line.command == "feed" && !line.feed.follow.empty()) {
    std::FILE* followed = std::fopen(line.feed.follow.c_str(), "rb");
    if (followed == nullptr) {
      std::fprintf(err, "tamsel: cannot open %s to follow\n", line.feed.follow.c_str());
      return kExitBadInput;
    }
    std::fclose(followed);
  }

  std::unique_ptr<Link> link = OpenLink(line.link, &error);
  if (link == nullptr) {
    std::fprintf(err, "tamsel: %s\n", error.c_str());
    return kExitPortFailed;
  }
  if (line.command == "get") {
    // A request is answered by its value: without waiting for answers there is nothing to get.
    ExchangeSettings settings = line.exchange;
    settings.ack = 1;
    Exchanger exchanger(link.get(), settings);
    return RunGet(line.get, &exchanger, link->Label(), settings.json, out, err);
  }
  ExchangeReport report(out, err, line.exchange.json);
  Station station(std::move(link), line.exchange, &report);
  int skipped = 0;
  if (line.command == "send") {
    static_cast<void>(station.Send(request));
  } else if (line.command == "run") {
    static_cast<void>(RunScript(script, &station));
  } else {
    static_cast<void>(RunFeed(line.feed, &station, in, err, &skipped));
  }
  const int code = report.ExitCode();
  if (code == kExitDone && skipped != 0) return kExitBadInput;
  return code;
}

}  // namespace sender
