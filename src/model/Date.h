#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

// A moment in time, held as seconds since 2001-01-01T00:00:00Z so that the
// fraction survives in memory exactly as it was taken.
struct Date {
    static constexpr double unixOffset = 978307200.0;  // 1970 -> 2001

    double secondsSinceReferenceDate = 0;

    static Date now();
    static Date fromUnixTime(double seconds) { return Date{seconds - unixOffset}; }
    double unixTime() const { return secondsSinceReferenceDate + unixOffset; }

    // "YYYY-MM-DDTHH:MM:SSZ" in UTC; the fraction is floored. A moment
    // outside the years 0000 to 9999 is written as the nearer end of them.
    std::string iso8601() const;
    // Exactly the form above, or with "+hh:mm"/"-hh:mm" in place of "Z".
    // Anything else (fractions, numbers, missing parts) gives nothing. An
    // offset can put the moment up to a day outside the years 0000 to 9999
    // in UTC; it is then read as the nearer end of them, so that whatever is
    // read is written back in a form that reads the same.
    static std::optional<Date> parseIso8601(std::string_view text);

    friend bool operator==(const Date&, const Date&) = default;
    friend auto operator<=>(const Date&, const Date&) = default;
};

}  // namespace quorelle
