#include "decoder/station/json_fields.h"

#include <cstring>

namespace decoder {

JsonFields::~JsonFields() {
  while (object_.size() > count_) object_.pop_back();
}

JsonFields::Json& JsonFields::Slot(const char* key, Json::value_t type) {
  // ordered_map's operator[] looks up keys; the vector's own elements are reached by iterator.
  const auto at = object_.begin() + static_cast<std::ptrdiff_t>(count_);
  if (count_ < object_.size() && std::strcmp(at->first.c_str(), key) == 0) {
    ++count_;
    if (at->second.type() != type) at->second = Json(type);
    return at->second;
  }
  while (object_.size() > count_) object_.pop_back();
  object_.emplace_back(key, Json(type));
  ++count_;
  return object_.back().second;
}

void JsonFields::Set(const char* key, bool value) {
  Slot(key, Json::value_t::boolean).get_ref<Json::boolean_t&>() = value;
}

void JsonFields::Set(const char* key, int value) {
  Slot(key, Json::value_t::number_integer).get_ref<Json::number_integer_t&>() = value;
}

void JsonFields::Set(const char* key, const char* value) {
  Slot(key, Json::value_t::string).get_ref<Json::string_t&>() = value;
}

void JsonFields::Set(const char* key, const std::string& value) {
  Slot(key, Json::value_t::string).get_ref<Json::string_t&>() = value;
}

JsonFields JsonFields::Object(const char* key) {
  return JsonFields(Slot(key, Json::value_t::object));
}

JsonFields::Json& JsonFields::Array(const char* key) {
  Json& array = Slot(key, Json::value_t::array);
  array.get_ref<Json::array_t&>().clear();
  return array;
}

}  // namespace decoder
