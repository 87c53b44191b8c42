#pragma once

#include "model/Date.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <string>

typedef struct _GTimeZone GTimeZone;

namespace quorelle {

// How internal pages show dates, times and byte counts: the user's local
// time zone, short English-style patterns ("Dec 9, 2024", "3:05 PM") with
// the month name from the locale, and GLib's SI byte counts ("1.5 kB").
//
// The local time zone is looked up once, when the object is made (a lookup
// reads the system's zone files), so make one per page render.
class DisplayFormat {
public:
    DisplayFormat();
    ~DisplayFormat();
    DisplayFormat(const DisplayFormat&) = delete;
    DisplayFormat& operator=(const DisplayFormat&) = delete;

    // A calendar date in the local time zone; compares in date order.
    struct LocalDay {
        int year = 0;
        int month = 0;
        int day = 0;
        friend auto operator<=>(const LocalDay&, const LocalDay&) = default;
    };

    // The local calendar date of a moment; nothing when it is out of range.
    std::optional<LocalDay> localDay(Date date) const;
    // "Dec 9, 2024"; "—" for a moment out of range.
    std::string mediumDate(Date date) const;
    // "3:05 PM"; "—" for a moment out of range.
    std::string shortTime(Date date) const;
    // "1.5 kB", "3 bytes"; "—" for a negative count.
    static std::string byteCount(std::int64_t bytes);

private:
    std::string format(Date date, const char* pattern) const;

    GTimeZone* zone_;
};

}  // namespace quorelle
