#pragma once

// The light half of the JSON layer: record headers include this to declare
// their readJson/toJson pair without pulling in the whole JSON library.

#include <nlohmann/json_fwd.hpp>

#include <stdexcept>

namespace quorelle {

using Json = nlohmann::json;

// Names the type a value-returning reader makes. A record whose defaults are
// costly (a random id, the current time) declares
// `T readJson(const Json&, JsonType<T>)`, which builds it from the document
// alone, instead of `void readJson(const Json&, T&)`; the generic readers
// (json::value) take either.
template <typename T>
struct JsonType {};

namespace json {
// The value a JSON element holds (model/JsonCodec.h).
template <typename T>
T value(const Json& j);
}  // namespace json

// Thrown by readers when a document breaks the storage rules: a required key
// missing or null, a value of the wrong JSON type, an unknown enumeration
// value, a malformed date or UUID. The whole document is then rejected.
class JsonDecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace quorelle
