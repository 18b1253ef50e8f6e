// A station's sending side for the commands: one open line, one exchange engine and one report,
// through which every request of a command, a script or a feed goes in order.
#ifndef RDS_SENDER_STATION_H_
#define RDS_SENDER_STATION_H_

#include <memory>

#include "sender/element_options.h"
#include "sender/exchange.h"
#include "sender/exchange_report.h"
#include "sender/link.h"

namespace sender {

class Station {
 public:
  Station(std::unique_ptr<Link> link, const ExchangeSettings& settings, ExchangeReport* report)
      : link_(std::move(link)), exchanger_(link_.get(), settings), report_(report) {}

  // Sends the request's frames in order; false once the line has failed or the output cannot
  // be written, when going on makes no sense.
  [[nodiscard]] bool Send(const SendRequest& request);

  Link* link() { return link_.get(); }
  Exchanger* exchanger() { return &exchanger_; }

 private:
  std::unique_ptr<Link> link_;
  Exchanger exchanger_;
  ExchangeReport* report_;
  RadiotextFlag radiotext_;
};

}  // namespace sender

#endif  // RDS_SENDER_STATION_H_
