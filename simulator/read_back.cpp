#include "simulator/read_back.h"

#include <cstdlib>

#include "simulator/civil_time.h"
#include "simulator/message_elements.h"

namespace sim {

namespace {

constexpr std::uint8_t kAppendConfiguration = 0x40;  // buffer configuration 10

void PutWord(std::uint16_t word, std::vector<std::uint8_t>* out) {
  out->push_back(static_cast<std::uint8_t>(word >> 8));
  out->push_back(static_cast<std::uint8_t>(word & 0xFF));
}

void PutRtc(const EncoderState& state, std::int64_t now_ms, std::vector<std::uint8_t>* out) {
  const std::int64_t clock_ms = now_ms + state.clock_offset_ms;
  const CivilTime t = CivilFromMilliseconds(clock_ms);
  const std::int64_t in_second = ((clock_ms % 1000) + 1000) % 1000;
  const int half_hours = std::abs(state.local_offset_half_hours);
  *out = {kRtcCode,
          static_cast<std::uint8_t>(t.year % 100),
          static_cast<std::uint8_t>(t.month),
          static_cast<std::uint8_t>(t.day),
          static_cast<std::uint8_t>(t.hour),
          static_cast<std::uint8_t>(t.minute),
          static_cast<std::uint8_t>(t.second),
          static_cast<std::uint8_t>(in_second / 10),
          static_cast<std::uint8_t>((state.local_offset_half_hours < 0 ? 0x20 : 0) | half_hours)};
}

// Each text of the buffer as the element that puts it there: the first replaces the buffer, the
// others are added to it.
void PutRadiotexts(const DataSet& set, std::uint8_t dsn, std::uint8_t psn,
                   std::vector<std::uint8_t>* out) {
  if (set.radiotexts.empty()) {
    *out = {kRadiotextCode, dsn, psn, 0};
    return;
  }
  for (std::size_t i = 0; i < set.radiotexts.size(); ++i) {
    const RadiotextEntry& entry = set.radiotexts[i];
    const auto configuration =
        static_cast<std::uint8_t>((i == 0 ? 0 : kAppendConfiguration) |
                                  (entry.transmissions & 0x0F) << 1 | (entry.ab_flag ? 1 : 0));
    out->insert(out->end(), {kRadiotextCode, dsn, psn,
                             static_cast<std::uint8_t>(1 + entry.text.size()), configuration});
    out->insert(out->end(), entry.text.begin(), entry.text.end());
  }
}

// Elements of a programme service, from the data set the request names.
bool PutServiceElement(std::uint8_t code, const DataSet& set, std::uint8_t dsn, std::uint8_t psn,
                       std::vector<std::uint8_t>* out) {
  const std::uint8_t header[] = {code, dsn, psn};
  out->assign(header, header + (HasPsn(code) ? 3 : 2));
  switch (code) {
    case kPiCode:
      PutWord(set.pi, out);
      return true;
    case kPsCode:
      out->insert(out->end(), set.ps.begin(), set.ps.end());
      return true;
    case kTaTpCode:
      out->push_back(static_cast<std::uint8_t>((set.tp ? 2 : 0) | (set.ta ? 1 : 0)));
      return true;
    case kDiCode:
      out->push_back(set.di);
      return true;
    case kMsCode:
      out->push_back(set.music ? 1 : 0);
      return true;
    case kPinCode:
      PutWord(set.pin, out);
      return true;
    case kPtyCode:
      out->push_back(set.pty);
      return true;
    case kPtynCode:
      out->insert(out->end(), set.ptyn.begin(), set.ptyn.end());
      return true;
    case kRadiotextCode:
      out->clear();
      PutRadiotexts(set, dsn, psn, out);
      return true;
    case kAfCode:
      out->push_back(static_cast<std::uint8_t>(set.af_element.size()));
      out->insert(out->end(), set.af_element.begin(), set.af_element.end());
      return true;
    case kGroupSequenceCode:
      out->push_back(static_cast<std::uint8_t>(set.group_sequence.size()));
      out->insert(out->end(), set.group_sequence.begin(), set.group_sequence.end());
      return true;
    case kSlowLabellingCode:
      out->push_back(static_cast<std::uint8_t>(2 * set.slow_labels.size()));
      for (const std::uint16_t label : set.slow_labels) PutWord(label, out);
      return true;
    default:
      return false;
  }
}

bool PutEncoderElement(std::uint8_t code, const EncoderState& state, std::int64_t now_ms,
                       std::vector<std::uint8_t>* out) {
  *out = {code};
  switch (code) {
    case kRtcCode:
      PutRtc(state, now_ms, out);
      return true;
    case kCtOnOffCode:
      out->push_back(state.ct_on ? 1 : 0);
      return true;
    case kRdsLevelCode:
      PutWord(state.level_mv, out);
      return true;
    case kRdsOnOffCode:
      out->push_back(state.rds_on ? 1 : 0);
      return true;
    case kRdsPhaseCode:
      PutWord(state.phase_tenths, out);  // reference input 0, the pilot
      return true;
    case kSiteAddressCode:
      out->push_back(static_cast<std::uint8_t>(2 * state.site_addresses.size()));
      for (const std::uint16_t address : state.site_addresses) PutWord(address, out);
      return true;
    case kEncoderAddressCode:
      out->push_back(static_cast<std::uint8_t>(state.encoder_addresses.size()));
      out->insert(out->end(), state.encoder_addresses.begin(), state.encoder_addresses.end());
      return true;
    case kCommunicationModeCode:
      out->push_back(static_cast<std::uint8_t>(state.mode));
      return true;
    case kDataSetSelectCode:
      out->push_back(static_cast<std::uint8_t>(state.data_set));
      return true;
    default:
      return false;
  }
}

}  // namespace

ResponseCode ReadBack(const std::vector<std::uint8_t>& request, const EncoderState& state,
                      std::int64_t now_ms, std::vector<std::uint8_t>* answer) {
  if (request.empty()) return ResponseCode::kMelError;  // nothing requested
  const std::uint8_t code = request[0];
  const std::uint8_t dsn = request.size() > 1 ? request[1] : 0;
  const std::uint8_t psn = request.size() > 2 ? request[2] : 0;
  std::vector<std::uint8_t> element;
  if (IsKnownCode(code) && (HasPsn(code) || code == kGroupSequenceCode)) {
    if (psn > 1) return ResponseCode::kPsnError;
    const DataSet* set = nullptr;
    if (dsn == 0 || dsn == state.data_set) {
      set = &state;
    } else if (dsn <= kDataSets) {
      set = &state.other_set;
    } else {
      return ResponseCode::kDsnError;
    }
    if (!PutServiceElement(code, *set, dsn, psn, &element)) return ResponseCode::kOutOfRange;
  } else if (!PutEncoderElement(code, state, now_ms, &element)) {
    // The clock correction, free-format groups, requests and acknowledgements hold no value.
    return ResponseCode::kOutOfRange;
  }
  answer->insert(answer->end(), element.begin(), element.end());
  return ResponseCode::kOk;
}

}  // namespace sim
