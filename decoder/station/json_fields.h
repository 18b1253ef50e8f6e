// Fills a JSON object field by field in the storage the same kind of line used last time: when a
// group type's fields come back in the same order, strings, arrays and nested objects keep their
// memory and writing a line allocates nothing. A field that differs from last time's at its
// position ends the reuse: it and the rest are made anew.
#ifndef RDS_DECODER_STATION_JSON_FIELDS_H_
#define RDS_DECODER_STATION_JSON_FIELDS_H_

#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>

namespace decoder {

class JsonFields {
 public:
  using Json = nlohmann::ordered_json;

  // `object` must hold a JSON object; its fields past the last one set go when this ends.
  explicit JsonFields(Json& object) : object_(object.get_ref<Json::object_t&>()) {}
  ~JsonFields();
  JsonFields(const JsonFields&) = delete;
  JsonFields& operator=(const JsonFields&) = delete;

  void Set(const char* key, bool value);
  void Set(const char* key, int value);
  void Set(const char* key, const char* value);
  void Set(const char* key, const std::string& value);
  // A nested object, filled through the returned fields, which must end before the next field
  // of this object is set.
  JsonFields Object(const char* key);
  // An empty array to push values into.
  Json& Array(const char* key);
  bool Empty() const { return count_ == 0; }

 private:
  Json& Slot(const char* key, Json::value_t type);

  Json::object_t& object_;
  std::size_t count_ = 0;
};

}  // namespace decoder

#endif  // RDS_DECODER_STATION_JSON_FIELDS_H_
