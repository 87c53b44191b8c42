#include "model/Date.h"

#include <glib.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace quorelle {
namespace {

// Days since 1970-01-01 of a proleptic Gregorian civil date, and back
// (H. Hinnant's algorithms).
std::int64_t daysFromCivil(std::int64_t y, unsigned m, unsigned d) {
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const auto yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

struct Civil {
    std::int64_t year;
    unsigned month, day;
};

Civil civilFromDays(std::int64_t z) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const auto doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    const unsigned d = doy - (153 * mp + 2) / 5 + 1;
    const unsigned m = mp < 10 ? mp + 3 : mp - 9;
    return {static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2), m, d};
}

unsigned daysInMonth(std::int64_t year, unsigned month) {
    static const unsigned days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : days[month - 1];
}

// Reads exactly `count` decimal digits at `pos`.
bool readDigits(std::string_view text, std::size_t pos, std::size_t count, int& out) {
    if (pos + count > text.size()) return false;
    out = 0;
    for (std::size_t i = pos; i < pos + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        out = out * 10 + (text[i] - '0');
    }
    return true;
}

bool expect(std::string_view text, std::size_t pos, char c) { return pos < text.size() && text[pos] == c; }

std::optional<int> parseZone(std::string_view zone) {
    if (zone == "Z") return 0;
    int hours = 0, minutes = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':') return std::nullopt;
    if (!readDigits(zone, 1, 2, hours) || !readDigits(zone, 4, 2, minutes)) return std::nullopt;
    if (hours > 23 || minutes > 59) return std::nullopt;
    int offset = hours * 3600 + minutes * 60;
    return zone[0] == '-' ? -offset : offset;
}

// The first and the last second the stored form's four-digit years can
// hold, in seconds since 1970: 0000-01-01T00:00:00Z and 9999-12-31T23:59:59Z.
constexpr std::int64_t kEarliestStored = -62167219200;
constexpr std::int64_t kLatestStored = 253402300799;

// The whole second a moment is stored as: floored, and kept within the years
// the stored form can hold. A value that is not a number is the earliest.
std::int64_t storableUnixSecond(double unixTime) {
    const double second = std::floor(unixTime);
    if (!(second >= static_cast<double>(kEarliestStored))) return kEarliestStored;
    if (second > static_cast<double>(kLatestStored)) return kLatestStored;
    return static_cast<std::int64_t>(second);
}

}  // namespace

Date Date::now() { return fromUnixTime(static_cast<double>(g_get_real_time()) / 1e6); }

std::string Date::iso8601() const {
    const std::int64_t total = storableUnixSecond(unixTime());
    std::int64_t days = total / 86400;
    std::int64_t secs = total % 86400;
    if (secs < 0) {
        secs += 86400;
        days -= 1;
    }
    const Civil c = civilFromDays(days);
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%04lld-%02u-%02uT%02d:%02d:%02dZ", static_cast<long long>(c.year),
                  c.month, c.day, static_cast<int>(secs / 3600), static_cast<int>(secs / 60 % 60),
                  static_cast<int>(secs % 60));
    return buffer;
}

std::optional<Date> Date::parseIso8601(std::string_view text) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    if (!readDigits(text, 0, 4, year) || !expect(text, 4, '-') || !readDigits(text, 5, 2, month) ||
        !expect(text, 7, '-') || !readDigits(text, 8, 2, day) || !expect(text, 10, 'T') ||
        !readDigits(text, 11, 2, hour) || !expect(text, 13, ':') || !readDigits(text, 14, 2, minute) ||
        !expect(text, 16, ':') || !readDigits(text, 17, 2, second))
        return std::nullopt;
    auto offset = parseZone(text.substr(19));
    if (!offset) return std::nullopt;
    if (month < 1 || month > 12 || day < 1 || static_cast<unsigned>(day) > daysInMonth(year, month) || hour > 23 ||
        minute > 59 || second > 59)
        return std::nullopt;
    const std::int64_t days = daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    const std::int64_t unix = days * 86400 + hour * 3600 + minute * 60 + second - *offset;
    return fromUnixTime(static_cast<double>(std::clamp(unix, kEarliestStored, kLatestStored)));
}

}  // namespace quorelle
