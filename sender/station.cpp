#include "sender/station.h"

namespace sender {

bool Station::Send(const SendRequest& request) {
  std::vector<PlannedFrame> frames = PlanFrames(request, &radiotext_);
  for (PlannedFrame& frame : frames) {
    const ExchangeRecord record = exchanger_.Exchange(&frame);
    if (!report_->Add(record, link_->Label())) return false;
    if (report_->LineFailed()) return false;
  }
  return true;
}

}  // namespace sender
