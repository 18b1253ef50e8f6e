#include "simulator/message_elements.h"

namespace sim {

namespace {

struct Layout {
  std::uint8_t code;
  bool has_service;     // DSN and PSN
  bool has_length;      // MEL, with data length = MEL
  std::uint8_t size;    // fixed data length, or the largest MEL allowed
  bool has_psn = true;  // with has_service: a PSN byte follows the DSN
};

constexpr Layout kLayouts[] = {
    {kPiCode, true, false, 2},
    {kPsCode, true, false, 8},
    {kTaTpCode, true, false, 1},
    {kDiCode, true, false, 1},
    {kMsCode, true, false, 1},
    {kPinCode, true, false, 2},
    {kPtyCode, true, false, 1},
    {kRtcCorrectionCode, false, false, 2},
    {kRadiotextCode, true, true, 65},  // configuration byte and up to 64 characters
    {kRtcCode, false, false, 8},
    {kAfCode, true, true, 55},  // list header word, count code, 25 LF/MF pairs, filler, end
    {kCtOnOffCode, false, false, 1},
    {kFreeFormatGroupCode, false, false, 6},
    {kPtynCode, true, false, 8},
    {kRdsLevelCode, false, false, 2},
    {kGroupSequenceCode, true, true, 64, false},  // up to 64 group types, DSN only
    {kRequestCode, false, true, 3},               // requested code, its DSN and PSN
    {kSlowLabellingCode, true, true, 16},         // up to 8 block 3 words
    {kDataSetSelectCode, false, false, 1},
    {kRdsOnOffCode, false, false, 1},
    {kRdsPhaseCode, false, false, 2},
    {kSiteAddressCode, false, true, 16},  // up to 8 site addresses of two bytes
    {kEncoderAddressCode, false, true, 8},
    {kCommunicationModeCode, false, false, 1},
};

const Layout* FindLayout(std::uint8_t code) {
  for (const Layout& layout : kLayouts) {
    if (layout.code == code) return &layout;
  }
  return nullptr;
}

}  // namespace

bool IsKnownCode(std::uint8_t code) { return FindLayout(code) != nullptr; }

bool HasPsn(std::uint8_t code) {
  const Layout* layout = FindLayout(code);
  return layout != nullptr && layout->has_service && layout->has_psn;
}

bool HasKnownShape(const Element& element) {
  const Layout* layout = FindLayout(element.code);
  if (layout == nullptr || layout->has_service != element.has_service) return false;
  return layout->has_length ? element.data.size() <= layout->size
                            : element.data.size() == layout->size;
}

ParsedMessage ParseMessage(const std::uint8_t* field, std::size_t size) {
  ParsedMessage result;
  std::size_t pos = 0;
  auto refuse = [&](ResponseCode code, std::size_t at) {
    result.code = code;
    result.failed_at = at;
    result.elements.clear();
    return result;
  };
  while (pos < size) {
    const std::size_t start = pos;
    const Layout* layout = FindLayout(field[pos++]);
    if (layout == nullptr) return refuse(ResponseCode::kUnknownMessage, start);
    Element element;
    element.code = layout->code;
    element.has_service = layout->has_service;
    if (layout->has_service) {
      const std::size_t header = layout->has_psn ? 2 : 1;
      if (size - pos < header) return refuse(ResponseCode::kUnexpectedEnd, start);
      element.dsn = field[pos];
      element.psn = layout->has_psn ? field[pos + 1] : 0;
      pos += header;
    }
    std::size_t length = layout->size;
    if (layout->has_length) {
      if (pos == size) return refuse(ResponseCode::kUnexpectedEnd, start);
      length = field[pos++];
      if (length > layout->size || length > size - pos) {
        return refuse(ResponseCode::kMelError, start);
      }
    } else if (length > size - pos) {
      return refuse(ResponseCode::kUnexpectedEnd, start);
    }
    element.data.assign(field + pos, field + pos + length);
    pos += length;
    result.elements.push_back(std::move(element));
  }
  return result;
}

}  // namespace sim
