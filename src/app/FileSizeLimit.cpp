#include "app/FileSizeLimit.h"

#include "app/QuorelleApplication.h"
#include "app/StartRefusal.h"
#include "model/GLibPtr.h"

#include <gtk/gtk.h>

#include <sys/resource.h>

#include <algorithm>

namespace quorelle {
namespace {

constexpr std::uint64_t bytesPerPixel = 4;

std::uint64_t pixelBytes(std::uint64_t width, std::uint64_t height) { return width * height * bytesPerPixel; }

}  // namespace

std::optional<std::uint64_t> FileSizeLimit::current() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
    return limit.rlim_cur;
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
    return StartRefusal::refuse(message(*limit, enough), "Quorelle cannot run under this file-size limit",
                                "The file-size limit of this session (ulimit -f) is " + std::to_string(*limit) +
                                    " bytes. The web engine needs at least " + std::to_string(enough) +
                                    " bytes to start and to draw pages on this screen. Raise the limit and start "
                                    "Quorelle again.");
}

std::string FileSizeLimit::message(std::uint64_t limit, std::uint64_t needed) {
    return "quorelle: the file-size limit (ulimit -f) of " + std::to_string(limit) +
           " bytes is too small for the web engine, which needs " + std::to_string(needed) +
           " bytes to start and to draw pages on this screen; this one ends without reading or writing any data.";
}

}  // namespace quorelle
