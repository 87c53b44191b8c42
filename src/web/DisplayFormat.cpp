#include "web/DisplayFormat.h"

#include "model/GLibPtr.h"

#include <glib.h>

#include <cmath>
#include <memory>

namespace quorelle {
namespace {

constexpr std::string_view unknownText = "—";

struct DateTimeUnref {
    void operator()(GDateTime* dateTime) const { g_date_time_unref(dateTime); }
};
using LocalDateTime = std::unique_ptr<GDateTime, DateTimeUnref>;

// The moment in the local time zone, to the whole second. GLib refuses
// moments outside the years 1...9999, and so does this.
LocalDateTime toLocal(Date date, GTimeZone* zone) {
    const double seconds = std::floor(date.unixTime());
    constexpr double first = -62135596800.0;  // 0001-01-01T00:00:00Z
    constexpr double last = 253402300799.0;   // 9999-12-31T23:59:59Z
    if (!(seconds >= first && seconds <= last)) return nullptr;
    GDateTime* utc = g_date_time_new_from_unix_utc(static_cast<gint64>(seconds));
    if (!utc) return nullptr;
    LocalDateTime local(g_date_time_to_timezone(utc, zone));
    g_date_time_unref(utc);
    return local;
}

}  // namespace

DisplayFormat::DisplayFormat() : zone_(g_time_zone_new_local()) {}

DisplayFormat::~DisplayFormat() { g_time_zone_unref(zone_); }

std::string DisplayFormat::format(Date date, const char* pattern) const {
    const LocalDateTime local = toLocal(date, zone_);
    if (!local) return std::string(unknownText);
    const GCharPtr text(g_date_time_format(local.get(), pattern));
    return text ? std::string(text.get()) : std::string(unknownText);
}

std::optional<DisplayFormat::LocalDay> DisplayFormat::localDay(Date date) const {
    const LocalDateTime local = toLocal(date, zone_);
    if (!local) return std::nullopt;
    int year = 0, month = 0, day = 0;
    g_date_time_get_ymd(local.get(), &year, &month, &day);
    return LocalDay{year, month, day};
}

std::string DisplayFormat::mediumDate(Date date) const { return format(date, "%b %-d, %Y"); }

std::string DisplayFormat::shortTime(Date date) const { return format(date, "%-l:%M %p"); }

std::string DisplayFormat::byteCount(std::int64_t bytes) {
    if (bytes < 0) return std::string(unknownText);
    return GCharPtr(g_format_size(static_cast<guint64>(bytes))).get();
}

}  // namespace quorelle
