#include "decoder/station_outputs.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "decoder/live_source.h"

namespace decoder {

namespace {

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

}  // namespace

bool StationOutputs::Output::Open(std::string* error) {
  file = path == "-" ? stdout : std::fopen(path.c_str(), "w");
  if (file == nullptr) {
    *error = "cannot create " + Quoted(path) + ": " + std::strerror(errno);
    return false;
  }
  sink = std::make_unique<FileSink>(file);
  return true;
}

bool StationOutputs::Output::Close() {
  if (file == nullptr) return true;
  bool ok = std::fflush(file) == 0 && std::ferror(file) == 0;
  if (file != stdout && std::fclose(file) != 0) ok = false;
  file = nullptr;
  return ok;
}

StationOutputs::StationOutputs(StationOutputOptions options) : options_(std::move(options)) {
  json_out_.path = options_.json_path;
  summary_out_.path = options_.summary_path;
}

// Finish closes both outputs and reports a failure; here they are only closed when a run ends
// early, which already has its error to report.
StationOutputs::~StationOutputs() {
  static_cast<void>(json_out_.Close());
  static_cast<void>(summary_out_.Close());
}

bool StationOutputs::Open(std::string* error) {
  const Region region = options_.north_america ? Region::kNorthAmerica : Region::kAuto;
  if (options_.json) {
    if (!json_out_.Open(error)) return false;
    json_ = std::make_unique<JsonGroupWriter>(*json_out_.sink, region);
    if (options_.live && IsLive(json_out_.file))
      flushing_json_ = std::make_unique<FlushingJson>(*json_, *json_out_.sink);
  }
  if (options_.summary) {
    // Standard output may already carry JSON lines; the summary then follows them.
    if (summary_out_.path == "-" && json_out_.file == stdout) {
      summary_out_.file = stdout;
      summary_out_.sink = std::make_unique<FileSink>(stdout);
    } else if (!summary_out_.Open(error)) {
      return false;
    }
    summary_ = std::make_unique<StationSummary>(region);
  }
  return true;
}

std::vector<GroupListener*> StationOutputs::Listeners() {
  std::vector<GroupListener*> listeners;
  if (flushing_json_) {
    listeners.push_back(flushing_json_.get());
  } else if (json_) {
    listeners.push_back(json_.get());
  }
  if (summary_) listeners.push_back(summary_.get());
  return listeners;
}

bool StationOutputs::Finish(const ReceptionStats& stats, std::string* error) {
  bool json_ok = json_ == nullptr || !json_->Failed();
  if (json_ != nullptr && summary_out_.file != json_out_.file)
    json_ok = json_out_.Close() && json_ok;
  if (!json_ok) {
    *error = "cannot write the JSON lines to " + Quoted(json_out_.path);
    return false;
  }
  if (summary_ != nullptr &&
      (!summary_->Write(stats, *summary_out_.sink) || !summary_out_.Close())) {
    *error = "cannot write the summary to " + Quoted(summary_out_.path);
    return false;
  }
  return json_out_.Close();
}

}  // namespace decoder
