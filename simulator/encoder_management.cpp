#include "simulator/encoder_management.h"

#include <algorithm>
#include <utility>

namespace sim {

namespace {

constexpr std::uint16_t kMaxSiteAddress = 0x3FF;
constexpr std::uint8_t kMaxEncoderAddress = 0x3F;
constexpr std::uint16_t kMaxPhaseTenths = 3599;

std::uint16_t Word(const std::vector<std::uint8_t>& data, std::size_t at) {
  return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
}

// Site addresses, two bytes each, 1 to 1023: 0 in a frame already reaches every encoder.
ResponseCode ApplySiteAddresses(const std::vector<std::uint8_t>& d, EncoderState* state) {
  if (d.size() % 2 != 0) return ResponseCode::kMelError;
  std::vector<std::uint16_t> addresses;
  for (std::size_t i = 0; i < d.size(); i += 2) {
    const std::uint16_t address = Word(d, i);
    if (address == 0 || address > kMaxSiteAddress) return ResponseCode::kOutOfRange;
    addresses.push_back(address);
  }
  state->site_addresses = std::move(addresses);
  return ResponseCode::kOk;
}

ResponseCode ApplyEncoderAddresses(const std::vector<std::uint8_t>& d, EncoderState* state) {
  for (const std::uint8_t address : d) {
    if (address == 0 || address > kMaxEncoderAddress) return ResponseCode::kOutOfRange;
  }
  state->encoder_addresses = d;
  return ResponseCode::kOk;
}

}  // namespace

bool IsSequencedGroup(std::uint8_t type_and_version) {
  // 0A basic tuning, 1A item number and slow labelling, 2A radiotext, 10A programme type name.
  // Clock time keeps to the minute's edge and free-format groups go when they come, so neither
  // has a place in the cycle.
  return type_and_version == 0x00 || type_and_version == 0x02 || type_and_version == 0x04 ||
         type_and_version == 0x14;
}

ResponseCode ApplyGroupSequence(const std::vector<std::uint8_t>& data, DataSet* set) {
  if (!std::all_of(data.begin(), data.end(), IsSequencedGroup)) return ResponseCode::kOutOfRange;
  set->group_sequence = data;
  ++set->sequence_revision;
  return ResponseCode::kOk;
}

ResponseCode ApplySlowLabels(const std::vector<std::uint8_t>& data, DataSet* set) {
  if (data.size() % 2 != 0) return ResponseCode::kMelError;
  std::vector<std::uint16_t> labels;
  for (std::size_t i = 0; i < data.size(); i += 2) {
    const std::uint16_t label = Word(data, i);
    // Variants 4 and 5 are not assigned; 0 (paging, ECC), 1 (TMC), 2 (paging), 3 (language),
    // 6 (broadcaster) and 7 (emergency warning) are.
    const unsigned variant = (label >> 12) & 0x07U;
    if (variant == 4 || variant == 5) return ResponseCode::kOutOfRange;
    labels.push_back(label);
  }
  set->slow_labels = std::move(labels);
  return ResponseCode::kOk;
}

ResponseCode ApplyManagement(const Element& element, EncoderState* state) {
  const std::vector<std::uint8_t>& d = element.data;
  switch (element.code) {
    case kRdsLevelCode: {
      const std::uint16_t level = Word(d, 0);
      if (level > kMaxLevelMv) return ResponseCode::kOutOfRange;
      state->level_mv = level;
      return ResponseCode::kOk;
    }
    case kRdsOnOffCode:
      if (d[0] > 1) return ResponseCode::kOutOfRange;
      state->rds_on = d[0] != 0;
      return ResponseCode::kOk;
    case kRdsPhaseCode: {
      // The pilot is the one reference this encoder has: reference input 0.
      const std::uint16_t word = Word(d, 0);
      const auto tenths = static_cast<std::uint16_t>(word & 0x1FFF);
      if ((word >> 13) != 0 || tenths > kMaxPhaseTenths) return ResponseCode::kOutOfRange;
      state->phase_tenths = tenths;
      return ResponseCode::kOk;
    }
    case kSiteAddressCode:
      return ApplySiteAddresses(d, state);
    case kEncoderAddressCode:
      return ApplyEncoderAddresses(d, state);
    case kCommunicationModeCode:
      if (d[0] > static_cast<std::uint8_t>(CommunicationMode::kEvery)) {
        return ResponseCode::kOutOfRange;
      }
      state->mode = static_cast<CommunicationMode>(d[0]);
      return ResponseCode::kOk;
    case kDataSetSelectCode:
      if (d[0] < 1 || d[0] > kDataSets) return ResponseCode::kDsnError;
      SelectDataSet(d[0], state);
      return ResponseCode::kOk;
    default:
      return ResponseCode::kUnknownMessage;
  }
}

void SelectDataSet(int number, EncoderState* state) {
  if (number == state->data_set) return;
  DataSet& on_air = *state;
  std::swap(on_air, state->other_set);
  state->data_set = number;
  // Revisions past both sets' own, so the transmitter sees every item as new.
  const DataSet& kept = state->other_set;
  on_air.ps_revision = std::max(on_air.ps_revision, kept.ps_revision) + 1;
  on_air.radiotext_revision = std::max(on_air.radiotext_revision, kept.radiotext_revision) + 1;
  on_air.af_revision = std::max(on_air.af_revision, kept.af_revision) + 1;
  on_air.ptyn_revision = std::max(on_air.ptyn_revision, kept.ptyn_revision) + 1;
  on_air.sequence_revision = std::max(on_air.sequence_revision, kept.sequence_revision) + 1;
}

}  // namespace sim
