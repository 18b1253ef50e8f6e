// `tamsel get ELEMENT...`: asks the encoder for the values it holds (message request, element
// 0x17), one request a frame so each answer is matched by its SQC, and prints them in words or
// as JSON.
#ifndef RDS_SENDER_GET_COMMAND_H_
#define RDS_SENDER_GET_COMMAND_H_

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "sender/arguments.h"
#include "sender/exchange.h"

namespace sender {

struct GetRequest {
  struct Item {
    std::string name;  // as given
    std::uint8_t code = 0;
    bool addressed = false;  // the element has a data set and programme service number
  };
  std::vector<Item> items;
  long dsn = 0;
  long psn = 0;
  long site = 0;
  long encoder = 0;
};

// Parses --dsn, --psn, --site, --encoder.
[[nodiscard]] Parsed ParseGetOption(Arguments* args, GetRequest* request, std::string* error);
// Takes an element name ("ps", "rt", "tatp", "0x0A", ...); false with the reason.
[[nodiscard]] bool AddGetElement(const std::string& name, GetRequest* request, std::string* error);

extern const char kGetHelp[];

// Asks for each element in turn and prints what the encoder holds; returns the exit code.
int RunGet(const GetRequest& request, Exchanger* exchanger, const std::string& link_label,
           bool json, std::FILE* out, std::FILE* err);

}  // namespace sender

#endif  // RDS_SENDER_GET_COMMAND_H_
