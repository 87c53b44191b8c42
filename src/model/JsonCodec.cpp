#include "model/JsonCodec.h"

#include <limits>

namespace quorelle {

void readJson(const Json& j, bool& out) {
    if (!j.is_boolean()) throw JsonDecodeError("expected true or false");
    out = j.get<bool>();
}

void readJson(const Json& j, std::string& out) {
    if (!j.is_string()) throw JsonDecodeError("expected a string");
    out = j.get_ref<const std::string&>();
}

void readJson(const Json& j, std::int64_t& out) {
    // Only the parser's integer forms: a number written with a fraction or an
    // exponent, or one beyond the integer range (which the parser keeps as a
    // rounded double), is not an integer.
    if (j.is_number_unsigned()) {
        auto u = j.get<std::uint64_t>();
        if (u > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()))
            throw JsonDecodeError("integer out of range");
        out = static_cast<std::int64_t>(u);
        return;
    }
    if (j.is_number_integer()) {
        out = j.get<std::int64_t>();
        return;
    }
    throw JsonDecodeError("expected an integer");
}

void readJson(const Json& j, double& out) {
    if (!j.is_number()) throw JsonDecodeError("expected a number");
    out = j.get<double>();
}

void readJson(const Json& j, Uuid& out) {
    if (!j.is_string()) throw JsonDecodeError("expected a UUID string");
    auto id = Uuid::parse(j.get_ref<const std::string&>());
    if (!id) throw JsonDecodeError("malformed UUID");
    out = *id;
}

void readJson(const Json& j, Date& out) {
    if (!j.is_string()) throw JsonDecodeError("expected a date string");
    auto date = Date::parseIso8601(j.get_ref<const std::string&>());
    if (!date) throw JsonDecodeError("malformed date");
    out = *date;
}

Json toJson(const Uuid& v) { return v.toString(); }

Json toJson(const Date& v) { return v.iso8601(); }

namespace json {

const Json& requireObject(const Json& j) {
    if (!j.is_object()) throw JsonDecodeError("expected an object");
    return j;
}

const Json* present(const Json& object, const char* key) {
    auto it = requireObject(object).find(key);
    return it == object.end() || it->is_null() ? nullptr : &*it;
}

std::optional<Json> parse(std::string_view text) {
    // The parser takes a NUL byte for the end of its input, and would read
    // "[]\0[...]" (a file a power cut left NUL bytes in, say) as "[]". JSON
    // has no place for a raw NUL, so a text holding one is no document.
    if (text.find('\0') != std::string_view::npos) return std::nullopt;
    Json document = Json::parse(text.begin(), text.end(), nullptr, false, false);
    if (document.is_discarded()) return std::nullopt;
    return document;
}

std::string dumpPretty(const Json& j) { return j.dump(2, ' ', false, Json::error_handler_t::replace); }

std::string dumpCompact(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

}  // namespace json
}  // namespace quorelle
