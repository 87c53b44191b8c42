#include "window/FaviconImageCache.h"

#include "model/GLibPtr.h"
#include "web/HttpGetRequest.h"

#include <gio/gio.h>
#include <glibmm/bytes.h>
#include <glibmm/error.h>
#include <libsoup/soup.h>

#include <list>
#include <set>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace quorelle {

namespace {

enum class Origin { network, file, data, unsupported };

Origin originOf(const std::string& url) {
    const char* scheme = g_uri_peek_scheme(url.c_str());  // lower-cased by GLib
    if (!scheme) return Origin::unsupported;
    const std::string_view name(scheme);
    if (name == "http" || name == "https") return Origin::network;
    if (name == "file") return Origin::file;
    if (name == "data") return Origin::data;
    return Origin::unsupported;
}

// An image from raw bytes, or nothing when they are empty, too large or not
// an image the toolkit can decode.
FaviconImageCache::Texture decode(GBytes* bytes) {
    if (!bytes) return {};
    const gsize size = g_bytes_get_size(bytes);
    if (size == 0 || size > FaviconImageCache::maximumImageBytes) return {};
    try {
        return Gdk::Texture::create_from_bytes(Glib::wrap(g_bytes_ref(bytes)));
    } catch (const Glib::Error&) {
        return {};
    }
}

}  // namespace

// What the cache and its running reads share. Reads hold it weakly, so the
// answers of reads that outlive the cache reach nobody.
struct FaviconImageCache::Shared {
    struct Entry {
        Texture texture;  // empty: the address failed
        std::list<std::string>::iterator age;
    };

    std::chrono::milliseconds timeLimit;
    std::size_t capacity;
    GObjectPtr<SoupSession> session;
    std::unordered_map<std::string, Entry> entries;
    std::list<std::string> oldestFirst;
    std::unordered_map<std::string, std::vector<Completion>> waiting;  // reads in flight
    std::set<GCancellable*> running;                                    // one reference each
    std::size_t readsStarted = 0;

    void remember(const std::string& url, const Texture& texture) {
        if (capacity == 0) return;
        if (auto found = entries.find(url); found != entries.end()) {
            found->second.texture = texture;
            return;
        }
        while (entries.size() >= capacity) {
            entries.erase(oldestFirst.front());
            oldestFirst.pop_front();
        }
        oldestFirst.push_back(url);
        entries.emplace(url, Entry{texture, std::prev(oldestFirst.end())});
    }

    void finish(const std::string& url, const Texture& texture) {
        remember(url, texture);
        auto found = waiting.find(url);
        if (found == waiting.end()) return;
        auto completions = std::move(found->second);
        waiting.erase(found);
        for (auto& completion : completions) completion(texture);
    }
};

// One network or file read in flight. Freed when GIO answers, which it
// always does (cancelled after the time limit or when the cache went away).
struct FaviconImageCache::Read {
    std::weak_ptr<Shared> owner;
    std::string url;
    GObjectPtr<SoupMessage> message;
    GObjectPtr<GCancellable> cancellable = GObjectPtr<GCancellable>::adopt(g_cancellable_new());
    GSource* timer = nullptr;

    ~Read() {
        if (message) g_signal_handlers_disconnect_by_data(message.get(), this);
        if (!timer) return;
        g_source_destroy(timer);
        g_source_unref(timer);
    }

    void start(Shared& shared, Origin origin) {
        ++shared.readsStarted;
        shared.running.insert(G_CANCELLABLE(g_object_ref(cancellable.get())));
        timer = g_timeout_source_new(static_cast<guint>(shared.timeLimit.count()));
        g_source_set_callback(timer, &Read::onTimeLimit, this, nullptr);
        g_source_set_name(timer, "quorelle-icon-read-limit");
        g_source_attach(timer, g_main_context_get_thread_default());
        if (origin == Origin::network) {
            g_signal_connect(message.get(), "got-headers", G_CALLBACK(&Read::onHeaders), this);
            soup_session_send_and_read_async(shared.session.get(), message.get(), G_PRIORITY_DEFAULT,
                                             cancellable.get(), &Read::onNetworkAnswer, this);
        } else {
            GObjectPtr<GFile> file = GObjectPtr<GFile>::adopt(g_file_new_for_uri(url.c_str()));
            g_file_load_partial_contents_async(file.get(), cancellable.get(), &Read::wantsMore, &Read::onFileRead,
                                               this);
        }
    }

    // An answer that announces more than any icon holds is given up before
    // its body is read; one without a length is checked once it has arrived.
    static void onHeaders(SoupMessage* message, gpointer data) {
        auto* read = static_cast<Read*>(data);
        const goffset length = soup_message_headers_get_content_length(soup_message_get_response_headers(message));
        if (length > static_cast<goffset>(maximumImageBytes)) g_cancellable_cancel(read->cancellable.get());
    }

    static gboolean wantsMore(const char*, goffset soFar, gpointer) {
        return soFar <= static_cast<goffset>(maximumImageBytes);
    }

    static gboolean onTimeLimit(gpointer data) {
        g_cancellable_cancel(static_cast<Read*>(data)->cancellable.get());
        return G_SOURCE_CONTINUE;  // the source goes with the read
    }

    static void onNetworkAnswer(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Read> read(static_cast<Read*>(data));
        GError* rawError = nullptr;
        GBytesPtr body(soup_session_send_and_read_finish(SOUP_SESSION(source), result, &rawError));
        GErrorPtr error(rawError);
        const unsigned status = soup_message_get_status(read->message.get());
        const bool answered = body && !error && status >= 200 && status <= 299 &&
                              g_bytes_get_size(body.get()) <= maximumImageBytes;
        read->done(answered ? body.get() : nullptr);
    }

    static void onFileRead(GObject* source, GAsyncResult* result, gpointer data) {
        std::unique_ptr<Read> read(static_cast<Read*>(data));
        char* contents = nullptr;
        gsize length = 0;
        GError* rawError = nullptr;
        const gboolean ok =
            g_file_load_partial_contents_finish(G_FILE(source), result, &contents, &length, nullptr, &rawError);
        GErrorPtr error(rawError);
        GBytesPtr bytes(ok ? g_bytes_new_take(contents, length) : nullptr);
        if (!ok) g_free(contents);
        read->done(bytes.get());
    }

    void done(GBytes* bytes) {
        const auto shared = owner.lock();
        if (!shared) return;
        if (shared->running.erase(cancellable.get())) g_object_unref(cancellable.get());
        shared->finish(url, decode(bytes));
    }
};

FaviconImageCache::FaviconImageCache(QuorelleLogoCache& logo, std::chrono::milliseconds timeLimit,
                                     std::size_t capacity)
    : logo_(logo), shared_(std::make_shared<Shared>()) {
    shared_->timeLimit = timeLimit;
    shared_->capacity = capacity;
    shared_->session = GObjectPtr<SoupSession>::adopt(soup_session_new());
}

FaviconImageCache::~FaviconImageCache() {
    auto running = std::move(shared_->running);
    shared_.reset();
    for (GCancellable* cancellable : running) {
        g_cancellable_cancel(cancellable);
        g_object_unref(cancellable);
    }
}

FaviconImageCache::Status FaviconImageCache::status(const std::string& url) const {
    if (shared_->waiting.contains(url)) return Status::loading;
    const auto found = shared_->entries.find(url);
    if (found == shared_->entries.end()) return Status::unknown;
    return found->second.texture ? Status::loaded : Status::failed;
}

FaviconImageCache::Texture FaviconImageCache::cached(const std::string& url) const {
    const auto found = shared_->entries.find(url);
    return found == shared_->entries.end() ? Texture() : found->second.texture;
}

std::size_t FaviconImageCache::readsStarted() const { return shared_->readsStarted; }

void FaviconImageCache::load(const std::string& url, Completion completion) {
    if (const auto found = shared_->entries.find(url); found != shared_->entries.end())
        return completion(found->second.texture);
    if (auto found = shared_->waiting.find(url); found != shared_->waiting.end())
        return found->second.push_back(std::move(completion));

    const Origin origin = originOf(url);
    if (origin == Origin::data) {
        GBytesPtr bytes(soup_uri_decode_data_uri(url.c_str(), nullptr));
        return completion(decode(bytes.get()));
    }
    if (origin == Origin::unsupported) return completion({});

    auto read = std::make_unique<Read>();
    read->owner = shared_;
    read->url = url;
    if (origin == Origin::network) {
        read->message = HttpGetRequest::to(url);
        if (!read->message) {
            shared_->remember(url, {});
            return completion({});
        }
    }
    shared_->waiting[url].push_back(std::move(completion));
    read.release()->start(*shared_, origin);
}

}  // namespace quorelle
