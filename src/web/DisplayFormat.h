#pragma once

#include "model/Date.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

namespace quorelle {

// How internal pages show dates, times and byte counts: the user's local
// time zone, short English-style patterns ("Dec 9, 2024", "3:05 PM") with
// the month name from the locale, and GLib's SI byte counts ("1.5 kB").
struct DisplayFormat {
    // A calendar date in the local time zone; compares in date order.
    struct LocalDay {
        int year = 0;
        int month = 0;
        int day = 0;
        friend auto operator<=>(const LocalDay&, const LocalDay&) = default;
    };

    // The local calendar date of a moment; nothing when it is out of range.
    static std::optional<LocalDay> localDay(Date date);
    // "Dec 9, 2024"; "—" for a moment out of range.
    static std::string mediumDate(Date date);
    // "3:05 PM"; "—" for a moment out of range.
    static std::string shortTime(Date date);
    // "1.5 kB", "3 bytes"; "—" for a negative count.
    static std::string byteCount(std::int64_t bytes);
};

}  // namespace quorelle
