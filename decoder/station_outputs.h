// The station view's outputs of a run: JSON lines per group (--json) and the station summary at
// the end (--summary), each to a file or standard output. The files are opened before decoding
// starts, so that a path that cannot be written fails at once rather than after a long capture.
#ifndef RDS_DECODER_STATION_OUTPUTS_H_
#define RDS_DECODER_STATION_OUTPUTS_H_

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "decoder/byte_io.h"
#include "decoder/received_group.h"
#include "decoder/station/json_group_writer.h"
#include "decoder/station/station_summary.h"

namespace decoder {

struct StationOutputOptions {
  bool json = false;
  std::string json_path = "-";
  bool summary = false;
  std::string summary_path = "-";
  bool north_america = false;  // RBDS names and call signs whatever the ECC says
  bool live = false;  // a live stream: JSON lines to a pipe or terminal go out group by group
};

class StationOutputs {
 public:
  explicit StationOutputs(StationOutputOptions options);
  ~StationOutputs();
  StationOutputs(const StationOutputs&) = delete;
  StationOutputs& operator=(const StationOutputs&) = delete;

  // Opens the files; false with the reason in *error when one cannot be created.
  [[nodiscard]] bool Open(std::string* error);
  // The listeners to hand the block layer.
  std::vector<GroupListener*> Listeners();
  // Writes the summary and closes the files; false with the reason in *error when any of it could
  // not be written.
  [[nodiscard]] bool Finish(const ReceptionStats& stats, std::string* error);

 private:
  struct Output {
    std::string path;
    std::FILE* file = nullptr;
    std::unique_ptr<FileSink> sink;

    [[nodiscard]] bool Open(std::string* error);
    [[nodiscard]] bool Close();
  };
  // Passes each JSON line on at once, for a reader at a pipe.
  class FlushingJson : public GroupListener {
   public:
    FlushingJson(JsonGroupWriter& writer, ReportSink& sink) : writer_(writer), sink_(sink) {}
    void OnGroup(const ReceivedGroup& group) override {
      writer_.OnGroup(group);
      // A failed flush leaves the stream's error flag set, which Finish reports.
      static_cast<void>(sink_.Flush());
    }

   private:
    JsonGroupWriter& writer_;
    ReportSink& sink_;
  };

  StationOutputOptions options_;
  Output json_out_;
  Output summary_out_;
  std::unique_ptr<JsonGroupWriter> json_;
  std::unique_ptr<FlushingJson> flushing_json_;
  std::unique_ptr<StationSummary> summary_;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_OUTPUTS_H_
