#include "app/FileSizeLimit.h"

#include "app/QuorelleApplication.h"
#include "app/StartRefusal.h"
#include "model/GLibPtr.h"

#include <gtk/gtk.h>

#include <sys/resource.h>

#include <algorithm>
#include <limits>

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

// Raises the soft limit to the hard one.
void raiseToHardLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == limit.rlim_max) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_FSIZE, &limit);
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

std::optional<int> FileSizeLimit::refusalIfTooSmall(QuitSignals& quitSignals) {
    raiseToHardLimit();
    const auto limit = current();
    const std::uint64_t enough = needed();
    if (!limit || *limit >= enough) return std::nullopt;
    const std::uint64_t hard = hardLimit().value_or(std::numeric_limits<std::uint64_t>::max());
    return StartRefusal::refuse(quitSignals, message(*limit, hard, enough),
                                "Quorelle cannot run under this file-size limit", detail(*limit, hard, enough));
}

// The hard limit binds whenever it is below what is needed: only the
// superuser raises it, so saying "ulimit -f" alone would send the user to
// raise the soft one, in vain.
std::string FileSizeLimit::message(std::uint64_t limit, std::uint64_t most, std::uint64_t needed) {
    const std::string which = most < needed ? "hard file-size limit (ulimit -H -f) of " + std::to_string(most)
                                            : "file-size limit (ulimit -f) of " + std::to_string(limit);
    return "quorelle: the " + which + " bytes is too small for the web engine, which needs " +
           std::to_string(needed) +
           " bytes to start and to draw pages on this screen; this one ends without reading or writing any data.";
}

std::string FileSizeLimit::detail(std::uint64_t limit, std::uint64_t most, std::uint64_t needed) {
    const std::string need = "the " + std::to_string(needed) +
                             " bytes the web engine needs to start and to draw pages on this screen";
    if (most < needed)
        return "The hard file-size limit of this session (ulimit -H -f) is " + std::to_string(most) +
               " bytes, below " + need +
               ", and only the superuser can raise it. Start Quorelle from a session with a higher limit.";
    return "The file-size limit of this session (ulimit -f) is " + std::to_string(limit) + " bytes, below " + need +
           ", and it could not be raised. Raise the limit and start Quorelle again.";
}

}  // namespace quorelle
