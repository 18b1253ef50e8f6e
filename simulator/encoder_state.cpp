#include "simulator/encoder_state.h"

#include <algorithm>

#include "simulator/civil_time.h"
#include "simulator/encoder_management.h"
#include "simulator/read_back.h"

namespace sim {

namespace {

constexpr int kAllDataSets = 0xFF;
constexpr std::uint8_t kAfFiller = 205;
constexpr std::uint8_t kAfLfMfFollows = 250;
constexpr std::uint8_t kAfCountBase = 224;
constexpr unsigned kRadiotextReplace = 0x0;  // buffer configuration 00
constexpr unsigned kRadiotextAppend = 0x2;   // buffer configuration 10

std::uint16_t Word(const std::vector<std::uint8_t>& data, std::size_t at) {
  return static_cast<std::uint16_t>(data[at] << 8 | data[at + 1]);
}

Name ToName(const std::vector<std::uint8_t>& data) {
  Name name;
  std::copy(data.begin(), data.end(), name.begin());
  return name;
}

ResponseCode ApplyRadiotext(const std::vector<std::uint8_t>& data, DataSet* state) {
  // MEL 0 carries no configuration: it empties the buffer, as a text-less 00 configuration does.
  // Bits 6..5: 00 flushes the buffer and sends this text, 10 adds it to the cyclic buffer; 01
  // and 11 are reserved, and an encoder that guessed at them would teach senders a dialect.
  const std::uint8_t config = data.empty() ? 0 : data[0];
  const unsigned buffer_mode = (config >> 5) & 0x03U;
  if ((config & 0x80U) || (buffer_mode != kRadiotextReplace && buffer_mode != kRadiotextAppend)) {
    return ResponseCode::kOutOfRange;
  }
  if (data.size() <= 1) {
    if (buffer_mode == kRadiotextAppend) return ResponseCode::kOutOfRange;  // nothing to append
    state->radiotexts.clear();
    ++state->radiotext_revision;
    return ResponseCode::kOk;
  }
  RadiotextEntry entry;
  entry.text.assign(data.begin() + 1, data.end());
  entry.transmissions = std::max(1, static_cast<int>((config >> 1) & 0x0FU));
  entry.ab_flag = (config & 0x01U) != 0;
  if (buffer_mode == kRadiotextReplace) state->radiotexts.clear();
  if (state->radiotexts.size() == kRadiotextBufferSize) return ResponseCode::kBufferOverflow;
  state->radiotexts.push_back(std::move(entry));
  ++state->radiotext_revision;
  return ResponseCode::kOk;
}

// Reads a method-A list (list header word, count code, codes, optional filler and a closing 0)
// and lays it out as the 0A groups send it.
ResponseCode ApplyAfList(const std::vector<std::uint8_t>& data, DataSet* state) {
  if (data.size() < 3) return ResponseCode::kMelError;
  const int count_code = data[2];
  if (count_code < kAfCountBase || count_code > kAfCountBase + 25) {
    return ResponseCode::kOutOfRange;
  }
  const int announced = count_code - kAfCountBase;
  std::vector<std::uint8_t> codes = {static_cast<std::uint8_t>(count_code)};
  int found = 0;
  for (std::size_t i = 3; i < data.size(); ++i) {
    const std::uint8_t code = data[i];
    if (code >= 1 && code <= 204) {
      codes.push_back(code);
      ++found;
    } else if (code == kAfLfMfFollows) {
      if (i + 1 == data.size() || data[i + 1] < 1 || data[i + 1] > 135) {
        return ResponseCode::kOutOfRange;
      }
      // The LF/MF marker and its code share one block.
      if (codes.size() % 2 != 0) codes.push_back(kAfFiller);
      codes.push_back(kAfLfMfFollows);
      codes.push_back(data[++i]);
      ++found;
    } else if (code != kAfFiller && !(code == 0 && i + 1 == data.size())) {
      // Fillers and the list's closing 0 carry nothing; any other code is not an AF code.
      return ResponseCode::kOutOfRange;
    }
  }
  if (found != announced) return ResponseCode::kOutOfRange;
  if (codes.size() % 2 != 0) codes.push_back(kAfFiller);
  state->af_codes = announced == 0 ? std::vector<std::uint8_t>{} : codes;
  state->af_element = data;
  ++state->af_revision;
  return ResponseCode::kOk;
}

ResponseCode ApplyRtc(const std::vector<std::uint8_t>& d, std::int64_t now_ms,
                      EncoderState* state) {
  const int year = 2000 + d[0];
  const int month = d[1];
  const int day = d[2];
  if (d[0] > 99 || month < 1 || month > 12 || day < 1 || d[3] > 23 || d[4] > 59 || d[5] > 59 ||
      d[6] > 99 || (d[7] & 0xC0U) || (d[7] & 0x1FU) > 28) {
    return ResponseCode::kOutOfRange;
  }
  const std::int64_t set_ms = DaysFromCivil(year, month, day) * 86400000LL +
                              (d[3] * 3600LL + d[4] * 60LL + d[5]) * 1000LL + d[6] * 10LL;
  // A day the month does not have (30 February) comes back as another date.
  if (CivilFromMilliseconds(set_ms).day != day) return ResponseCode::kOutOfRange;
  state->clock_offset_ms = set_ms - now_ms;
  const int half_hours = d[7] & 0x1F;
  state->local_offset_half_hours = (d[7] & 0x20U) ? -half_hours : half_hours;
  return ResponseCode::kOk;
}

ResponseCode ApplyFreeFormatGroup(const std::vector<std::uint8_t>& d, EncoderState* state) {
  if (d[0] > 0x1F || (d[1] & 0x80U)) return ResponseCode::kOutOfRange;
  if (state->group_queue.size() == kGroupQueueSize) return ResponseCode::kBufferOverflow;
  FreeFormatGroup group;
  group.type_and_version = d[0];
  group.block_b_bits = d[1] & 0x1F;
  group.block_c = Word(d, 2);
  group.block_d = Word(d, 4);
  state->group_queue.push_back(group);
  return ResponseCode::kOk;
}

// Elements of a programme service, applied to one data set.
ResponseCode ApplyToDataSet(const Element& element, DataSet* set) {
  const std::vector<std::uint8_t>& d = element.data;
  switch (element.code) {
    case kPiCode:
      set->pi = Word(d, 0);
      return ResponseCode::kOk;
    case kPsCode:
      set->ps = ToName(d);
      ++set->ps_revision;
      return ResponseCode::kOk;
    case kTaTpCode:
      if (d[0] > 0x03) return ResponseCode::kOutOfRange;
      set->tp = (d[0] & 0x02U) != 0;
      set->ta = (d[0] & 0x01U) != 0;
      return ResponseCode::kOk;
    case kDiCode:
      if (d[0] > 0x0F) return ResponseCode::kOutOfRange;
      set->di = d[0];
      return ResponseCode::kOk;
    case kMsCode:
      if (d[0] > 0x01) return ResponseCode::kOutOfRange;
      set->music = d[0] != 0;
      return ResponseCode::kOk;
    case kPinCode:
      set->pin = Word(d, 0);
      return ResponseCode::kOk;
    case kPtyCode:
      if (d[0] > 31) return ResponseCode::kOutOfRange;
      set->pty = d[0];
      return ResponseCode::kOk;
    case kRadiotextCode:
      return ApplyRadiotext(d, set);
    case kAfCode:
      return ApplyAfList(d, set);
    case kPtynCode: {
      const Name name = ToName(d);
      if (name != set->ptyn) set->ptyn_ab = !set->ptyn_ab;
      set->ptyn = name;
      ++set->ptyn_revision;
      return ResponseCode::kOk;
    }
    case kGroupSequenceCode:
      return ApplyGroupSequence(d, set);
    case kSlowLabellingCode:
      return ApplySlowLabels(d, set);
    default:
      return ResponseCode::kUnknownMessage;
  }
}

// Elements of the encoder as a whole.
ResponseCode ApplyToEncoder(const Element& element, std::int64_t now_ms, EncoderState* state) {
  const std::vector<std::uint8_t>& d = element.data;
  switch (element.code) {
    case kRtcCorrectionCode:
      // A signed correction of the encoder clock in milliseconds.
      state->clock_offset_ms += static_cast<std::int16_t>(Word(d, 0));
      return ResponseCode::kOk;
    case kRtcCode:
      return ApplyRtc(d, now_ms, state);
    case kCtOnOffCode:
      if (d[0] > 0x01) return ResponseCode::kOutOfRange;
      state->ct_on = d[0] != 0;
      return ResponseCode::kOk;
    case kFreeFormatGroupCode:
      return ApplyFreeFormatGroup(d, state);
    default:
      return ApplyManagement(element, state);
  }
}

// DSN 0 is the data set on air, 1 and 2 each set, 255 both; PSN 0 or 1 the one programme
// service a data set holds.
ResponseCode ApplyOne(const Element& element, std::int64_t now_ms, EncoderState* state,
                      ApplyResult* result) {
  if (!HasKnownShape(element)) {
    return IsKnownCode(element.code) ? ResponseCode::kMelError : ResponseCode::kUnknownMessage;
  }
  if (element.code == kRequestCode) {
    result->requested = true;
    return ReadBack(element.data, *state, now_ms, &result->answer);
  }
  if (!element.has_service) return ApplyToEncoder(element, now_ms, state);
  if (element.psn > 1) return ResponseCode::kPsnError;
  if (element.dsn == 0 || element.dsn == state->data_set) return ApplyToDataSet(element, state);
  if (element.dsn <= kDataSets) return ApplyToDataSet(element, &state->other_set);
  if (element.dsn != kAllDataSets) return ResponseCode::kDsnError;
  const ResponseCode code = ApplyToDataSet(element, state);
  return code != ResponseCode::kOk ? code : ApplyToDataSet(element, &state->other_set);
}

}  // namespace

ApplyResult ApplyElements(const std::vector<Element>& elements, std::int64_t now_ms,
                          EncoderState* state) {
  EncoderState next = *state;
  ApplyResult result;
  for (std::size_t i = 0; i < elements.size(); ++i) {
    const ResponseCode code = ApplyOne(elements[i], now_ms, &next, &result);
    if (code != ResponseCode::kOk) {
      result.code = code;
      result.element = i;
      result.answer.clear();
      return result;
    }
  }
  *state = std::move(next);
  return result;
}

}  // namespace sim
