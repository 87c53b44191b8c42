#include "app/FileSizeLimit.h"

#include "app/QuorelleApplication.h"
#include "app/StartRefusal.h"
#include "model/GLibPtr.h"

#include <gtk/gtk.h>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace quorelle {
namespace {

constexpr std::uint64_t bytesPerPixel = 4;

std::uint64_t pixelBytes(std::uint64_t width, std::uint64_t height) { return width * height * bytesPerPixel; }

// A limit in bytes; nothing for none.
std::optional<std::uint64_t> bound(rlim_t value) {
    if (value == RLIM_INFINITY) return std::nullopt;
    return value;
}

// The most the limit can be raised to (the hard limit); nothing for no bound.
std::optional<std::uint64_t> hardLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return std::nullopt;
    return bound(limit.rlim_max);
}

// Raises the soft limit to `bytes` when the hard limit allows; true then.
// No further: past what the browser needs, the user's limit still holds.
bool raiseTo(std::uint64_t bytes) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return false;
    if (limit.rlim_max != RLIM_INFINITY && limit.rlim_max < bytes) return false;
    limit.rlim_cur = bytes;
    return ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
}

// "<limit> bytes", and how far the hard limit lets it be raised when it can be.
std::string limitText(std::uint64_t limit, std::uint64_t most) {
    const std::string text = std::to_string(limit) + " bytes";
    return most > limit ? text + " (at most " + std::to_string(most) + " by its hard limit)" : text;
}

}  // namespace

std::optional<std::uint64_t> FileSizeLimit::current() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0) return std::nullopt;
    return bound(limit.rlim_cur);
}

std::uint64_t FileSizeLimit::needed() {
    // Without a known screen: the main window's first size.
    std::uint64_t largest = pixelBytes(QuorelleApplication::mainDefaultWidth, QuorelleApplication::mainDefaultHeight);
    GdkDisplay* display = gdk_display_get_default();
    GListModel* monitors = display ? gdk_display_get_monitors(display) : nullptr;
    const guint count = monitors ? g_list_model_get_n_items(monitors) : 0;
    if (count > 0) largest = 0;
    for (guint i = 0; i < count; ++i) {
        auto monitor = GObjectPtr<GdkMonitor>::adopt(GDK_MONITOR(g_list_model_get_item(monitors, i)));
        GdkRectangle area{};
        gdk_monitor_get_geometry(monitor.get(), &area);
        // The geometry is in the toolkit's units; pages are drawn in device pixels.
        const std::uint64_t scale = std::max(1, gdk_monitor_get_scale_factor(monitor.get()));
        largest = std::max(largest, pixelBytes(std::uint64_t(std::max(area.width, 0)) * scale,
                                               std::uint64_t(std::max(area.height, 0)) * scale));
    }
    return largest;
}

std::optional<int> FileSizeLimit::refusalIfTooSmall() {
    const auto limit = current();
    const std::uint64_t enough = needed();
    if (!limit || *limit >= enough) return std::nullopt;
    if (raiseTo(enough)) {
        std::fprintf(stderr, "%s\n", raisedMessage(*limit, enough).c_str());
        return std::nullopt;
    }
    const std::uint64_t hard = hardLimit().value_or(*limit);
    return StartRefusal::refuse(message(*limit, hard, enough), "Quorelle cannot run under this file-size limit",
                                "The file-size limit of this session (ulimit -f) is " + limitText(*limit, hard) +
                                    ". The web engine needs at least " + std::to_string(enough) +
                                    " bytes to start and to draw pages on this screen. Raise the limit and start "
                                    "Quorelle again.");
}

std::string FileSizeLimit::message(std::uint64_t limit, std::uint64_t most, std::uint64_t needed) {
    return "quorelle: the file-size limit (ulimit -f) of " + limitText(limit, most) +
           " is too small for the web engine, which needs " + std::to_string(needed) +
           " bytes to start and to draw pages on this screen; this one ends without reading or writing any data.";
}

std::string FileSizeLimit::raisedMessage(std::uint64_t limit, std::uint64_t needed) {
    return "quorelle: the file-size limit (ulimit -f) of " + std::to_string(limit) + " bytes is raised to " +
           std::to_string(needed) + " bytes, which the web engine needs to start and to draw pages on this screen.";
}

}  // namespace quorelle
