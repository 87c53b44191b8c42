#include "web/LocalResourceScheme.h"

#include "model/GLibPtr.h"
#include "model/Text.h"
#include "web/ProductLogo.h"
#include "web/WebViewCoordinator.h"

#include <gio/gio.h>
#include <glib/gstdio.h>
#include <webkit/webkit.h>

#include <algorithm>

namespace quorelle {

struct LocalResourceScheme::Registration {
    ChosenImages chosenBackgrounds;
};

namespace {

constexpr std::string_view logoHost = "QuorelleLogo";
constexpr std::string_view backgroundHost = "newtab-background";

using Registration = LocalResourceScheme::Registration;

std::string sha256(std::string_view text) {
    return GCharPtr(g_compute_checksum_for_data(G_CHECKSUM_SHA256, reinterpret_cast<const guchar*>(text.data()),
                                                text.size()))
        .get();
}

void refuse(WebKitURISchemeRequest* request, GIOErrorEnum code, const char* message) {
    const GErrorPtr error(g_error_new_literal(G_IO_ERROR, code, message));
    webkit_uri_scheme_request_finish_error(request, error.get());
}

void answer(WebKitURISchemeRequest* request, GBytes* bytes, const char* mimeType) {
    const auto stream = GObjectPtr<GInputStream>::adopt(g_memory_input_stream_new_from_bytes(bytes));
    webkit_uri_scheme_request_finish(request, stream.get(), static_cast<gint64>(g_bytes_get_size(bytes)), mimeType);
}

// Only the pages the browser rendered itself may use these addresses.
bool fromInternalPage(WebKitURISchemeRequest* request) {
    return WebViewCoordinator::showsInternalPage(webkit_uri_scheme_request_get_web_view(request));
}

// The resource an address names: its host and the path after it.
struct Named {
    std::string host;
    std::string path;
};

std::optional<Named> parse(const char* address) {
    const GUriPtr uri(address ? g_uri_parse(address, G_URI_FLAGS_NONE, nullptr) : nullptr);
    if (!uri) return std::nullopt;
    const char* host = g_uri_get_host(uri.get());
    const bool plain = !g_uri_get_query(uri.get()) && !g_uri_get_fragment(uri.get()) &&
                       !g_uri_get_userinfo(uri.get()) && g_uri_get_port(uri.get()) == -1;
    if (!host || !plain) return std::nullopt;
    return Named{host, g_uri_get_path(uri.get())};
}

void serveLogo(WebKitURISchemeRequest* request) {
    const std::string_view png = ProductLogo::pngBytes();
    if (png.empty()) return refuse(request, G_IO_ERROR_NOT_FOUND, "The logo is missing from this build");
    const GBytesPtr bytes(g_bytes_new_static(png.data(), png.size()));
    answer(request, bytes.get(), "image/png");
}

// The chosen path whose digest the address carries.
std::optional<std::string> chosenPath(const Registration& registration, std::string_view digest) {
    if (!registration.chosenBackgrounds) return std::nullopt;
    for (const std::string& path : registration.chosenBackgrounds())
        if (g_path_is_absolute(path.c_str()) && sha256(path) == digest) return path;
    return std::nullopt;
}

bool isSmallRegularFile(const std::string& path) {
    GStatBuf info;
    return g_stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
           static_cast<std::size_t>(info.st_size) <= LocalResourceScheme::maximumImageBytes;
}

void finishImage(GObject* source, GAsyncResult* result, gpointer data) {
    GObjectPtr<WebKitURISchemeRequest> request = GObjectPtr<WebKitURISchemeRequest>::adopt(
        static_cast<WebKitURISchemeRequest*>(data));
    char* contents = nullptr;
    gsize length = 0;
    if (!g_file_load_partial_contents_finish(G_FILE(source), result, &contents, &length, nullptr, nullptr))
        return refuse(request.get(), G_IO_ERROR_FAILED, "The background image could not be read");
    const GBytesPtr bytes(g_bytes_new_take(contents, length));
    if (length > LocalResourceScheme::maximumImageBytes)
        return refuse(request.get(), G_IO_ERROR_NO_SPACE, "The background image is too large");
    const GCharPtr path(g_file_get_path(G_FILE(source)));
    const GCharPtr type(g_content_type_guess(path.get(), reinterpret_cast<const guchar*>(contents), length, nullptr));
    const GCharPtr mime(type ? g_content_type_get_mime_type(type.get()) : nullptr);
    if (mime && text::startsWith(mime.get(), "image/"))
        answer(request.get(), bytes.get(), mime.get());
    else
        refuse(request.get(), G_IO_ERROR_INVALID_DATA, "The background is not an image");
}

void serveBackground(WebKitURISchemeRequest* request, const Registration& registration, std::string_view digest) {
    const auto path = chosenPath(registration, digest);
    if (!path) return refuse(request, G_IO_ERROR_NOT_FOUND, "No such background");
    if (!isSmallRegularFile(*path))
        return refuse(request, G_IO_ERROR_NOT_REGULAR_FILE, "The background is not a readable image file");
    const auto file = GObjectPtr<GFile>::adopt(g_file_new_for_path(path->c_str()));
    // The read stops as soon as the file has grown past the limit.
    g_file_load_partial_contents_async(
        file.get(), nullptr,
        [](const char*, goffset size, gpointer) -> gboolean {
            return size <= goffset(LocalResourceScheme::maximumImageBytes);
        },
        finishImage, g_object_ref(request));
}

void handle(WebKitURISchemeRequest* request, gpointer data) {
    const auto& registration = **static_cast<std::shared_ptr<Registration>*>(data);
    if (!fromInternalPage(request)) return refuse(request, G_IO_ERROR_PERMISSION_DENIED, "Not available");
    const auto named = parse(webkit_uri_scheme_request_get_uri(request));
    if (!named) return refuse(request, G_IO_ERROR_NOT_FOUND, "No such resource");
    if (g_ascii_strcasecmp(named->host.c_str(), std::string(logoHost).c_str()) == 0 &&
        (named->path.empty() || named->path == "/"))
        return serveLogo(request);
    if (g_ascii_strcasecmp(named->host.c_str(), std::string(backgroundHost).c_str()) == 0 &&
        named->path.size() == 65 && named->path[0] == '/')
        return serveBackground(request, registration, std::string_view(named->path).substr(1));
    refuse(request, G_IO_ERROR_NOT_FOUND, "No such resource");
}

}  // namespace

LocalResourceScheme::LocalResourceScheme(ChosenImages chosenBackgrounds, WebKitWebContext* context)
    : registration_(std::make_shared<Registration>(Registration{std::move(chosenBackgrounds)})) {
    if (!context) context = webkit_web_context_get_default();
    const std::string name(scheme);
    // The context keeps its own share of the registration: it never forgets
    // a scheme, and may outlive this object.
    webkit_web_context_register_uri_scheme(context, name.c_str(), handle,
                                           new std::shared_ptr<Registration>(registration_),
                                           [](gpointer data) { delete static_cast<std::shared_ptr<Registration>*>(data); });
    webkit_security_manager_register_uri_scheme_as_secure(webkit_web_context_get_security_manager(context),
                                                          name.c_str());
}

LocalResourceScheme::~LocalResourceScheme() {
    // Later requests find nothing chosen.
    registration_->chosenBackgrounds = nullptr;
}

std::string LocalResourceScheme::logoAddress() {
    return std::string(scheme) + "://" + std::string(logoHost);
}

std::string LocalResourceScheme::backgroundAddress(std::string_view path) {
    return std::string(scheme) + "://" + std::string(backgroundHost) + "/" + sha256(path);
}

std::optional<std::string> LocalResourceScheme::localBackgroundPath(const ThemeSettings& theme) {
    const ThemeBackground& background = theme.background;
    if (background.kind != ThemeBackground::BackgroundKind::image || !background.imagePath ||
        background.imagePath->empty())
        return std::nullopt;
    const std::string lower = text::lowercased(*background.imagePath);
    if (text::startsWith(lower, "http://") || text::startsWith(lower, "https://")) return std::nullopt;
    return background.imagePath;
}

}  // namespace quorelle
