#pragma once

// The strict JSON conventions every stored record follows. Include this only
// from .cpp files: it brings in the whole JSON library.
//
//  - keys are the field names; a required key that is missing, null or of the
//    wrong JSON type fails the whole document;
//  - optional keys read as absent when missing or null, but a present value of
//    the wrong type still fails;
//  - no silent conversions: 1.5 is not an integer, "1" is not a number;
//  - unknown keys are ignored;
//  - enumerations are their raw strings, UUIDs 36 characters (either case on
//    reading, upper case on writing), dates ISO-8601 with whole seconds,
//    written in UTC within the years 0000 to 9999 (see Date).

#include "model/Date.h"
#include "model/Json.h"
#include "model/RawEnum.h"
#include "model/Uuid.h"

#include <nlohmann/json.hpp>

#include <array>
#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorelle {

// ---- readers: one overload per value type ---------------------------------

void readJson(const Json& j, bool& out);
void readJson(const Json& j, std::string& out);
void readJson(const Json& j, std::int64_t& out);
void readJson(const Json& j, double& out);
void readJson(const Json& j, Uuid& out);
void readJson(const Json& j, Date& out);

// A RawEnum reads from its raw value; any other string fails.
template <typename Cases, typename Self>
void readJson(const Json& j, RawEnum<Cases, Self>& out) {
    if (!j.is_string()) throw JsonDecodeError("expected a string");
    const auto& raw = j.get_ref<const std::string&>();
    auto found = Self::fromRawValue(raw);
    if (!found) throw JsonDecodeError("unknown value \"" + raw + "\"");
    out = *found;
}

template <typename T>
void readJson(const Json& j, std::vector<T>& out) {
    if (!j.is_array()) throw JsonDecodeError("expected an array");
    std::vector<T> items;
    items.reserve(j.size());
    for (const auto& element : j) items.push_back(json::value<T>(element));
    out = std::move(items);
}

// ---- writers ---------------------------------------------------------------

inline Json toJson(bool v) { return v; }
inline Json toJson(const std::string& v) { return v; }
inline Json toJson(std::int64_t v) { return v; }
inline Json toJson(double v) { return v; }
Json toJson(const Uuid& v);
Json toJson(const Date& v);

template <typename Cases, typename Self>
Json toJson(const RawEnum<Cases, Self>& value) {
    return std::string(value.rawValue());
}

template <typename T>
Json toJson(const std::vector<T>& items) {
    Json array = Json::array();
    for (const auto& item : items) array.push_back(toJson(item));
    return array;
}

namespace json {

const Json& requireObject(const Json& j);

// The element at `key` of an object; null when the key is missing or holds
// JSON null.
const Json* present(const Json& object, const char* key);

// The value a JSON element holds, made by its type's reader; a record's
// defaults are not made when the document supplies every field.
template <typename T>
T value(const Json& j) {
    if constexpr (requires { { readJson(j, JsonType<T>{}) } -> std::same_as<T>; }) {
        return readJson(j, JsonType<T>{});
    } else {
        T read{};
        readJson(j, read);
        return read;
    }
}

// The value of the element found at `key`; a failure names the key.
template <typename T>
T valueAt(const Json& element, const char* key) {
    try {
        return value<T>(element);
    } catch (const JsonDecodeError& e) {
        throw JsonDecodeError(std::string("key \"") + key + "\": " + e.what());
    }
}

// A required key: missing or null fails.
template <typename T>
T req(const Json& object, const char* key) {
    const Json* element = present(object, key);
    if (!element) throw JsonDecodeError(std::string("missing key \"") + key + "\"");
    return valueAt<T>(*element, key);
}

// An optional key: missing or null is absent; a wrong type still fails.
template <typename T>
std::optional<T> opt(const Json& object, const char* key) {
    const Json* element = present(object, key);
    if (!element) return std::nullopt;
    return valueAt<T>(*element, key);
}

// A key of a loose document, such as a message a page posts: its value when
// the key is there with a value T is read from, otherwise nothing; a value of
// another type ("1" for a number) is nothing too. Never throws.
template <typename T>
std::optional<T> lenient(const Json& object, const char* key) {
    const Json* element = object.is_object() ? present(object, key) : nullptr;
    if (!element) return std::nullopt;
    try {
        return value<T>(*element);
    } catch (const JsonDecodeError&) {
        return std::nullopt;
    }
}

// A key with a default of its record's own: missing or null gives `fallback`.
template <typename T>
T orDefault(const Json& object, const char* key, T fallback) {
    auto value = opt<T>(object, key);
    return value ? std::move(*value) : std::move(fallback);
}

template <typename T>
void put(Json& object, const char* key, const T& value) {
    object[key] = toJson(value);
}

// Written only when present.
template <typename T>
void putOptional(Json& object, const char* key, const std::optional<T>& value) {
    if (value) object[key] = toJson(*value);
}

// Enumerations stored as raw strings.
template <typename E, std::size_t N>
using EnumTable = std::array<std::pair<E, std::string_view>, N>;

template <typename E, std::size_t N>
std::string_view enumName(E value, const EnumTable<E, N>& table) {
    for (const auto& [candidate, name] : table)
        if (candidate == value) return name;
    return {};
}

template <typename E, std::size_t N>
std::optional<E> enumFromName(std::string_view raw, const EnumTable<E, N>& table) {
    for (const auto& [value, name] : table)
        if (name == raw) return value;
    return std::nullopt;
}

template <typename E, std::size_t N>
void readEnum(const Json& j, E& out, const EnumTable<E, N>& table) {
    if (!j.is_string()) throw JsonDecodeError("expected a string");
    const auto& raw = j.get_ref<const std::string&>();
    auto found = enumFromName(raw, table);
    if (!found) throw JsonDecodeError("unknown value \"" + raw + "\"");
    out = *found;
}

// A whole document: nothing unless every byte of the text belongs to it
// (comments, trailing commas, invalid UTF-8, a NUL byte anywhere and anything
// after the document are rejected; a BOM is skipped).
std::optional<Json> parse(std::string_view text);

// Sorted keys, two-space indentation; the same value always gives the same bytes.
std::string dumpPretty(const Json& j);
std::string dumpCompact(const Json& j);

// Reads a whole document into a record; nothing when it is not JSON or breaks
// the record's rules.
template <typename T>
std::optional<T> decode(std::string_view text) {
    auto document = parse(text);
    if (!document) return std::nullopt;
    try {
        return value<T>(*document);
    } catch (const JsonDecodeError&) {
        return std::nullopt;
    }
}

}  // namespace json
}  // namespace quorelle
