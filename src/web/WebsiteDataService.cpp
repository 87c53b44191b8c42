#include "web/WebsiteDataService.h"

#include "store/MainQueue.h"

#include <webkit/webkit.h>

#include <memory>
#include <utility>

namespace quorelle {

WebsiteDataService::WebsiteDataService(MainQueue& mainQueue, Folders folders)
    : mainQueue_(mainQueue), folders_(std::move(folders)) {}

WebKitNetworkSession* WebsiteDataService::persistentSession() {
    if (!persistentSession_) {
        persistentSession_ = GObjectPtr<WebKitNetworkSession>::adopt(
            webkit_network_session_new(folders_.data.c_str(), folders_.cache.c_str()));
    }
    return persistentSession_.get();
}

GObjectPtr<WebKitNetworkSession> WebsiteDataService::sessionFor(WebsiteDataStoreKind kind) {
    if (kind == WebsiteDataStoreKind::nonPersistent)
        return GObjectPtr<WebKitNetworkSession>::adopt(webkit_network_session_new_ephemeral());
    return GObjectPtr<WebKitNetworkSession>::retain(persistentSession());
}

void WebsiteDataService::clearWebsiteData(std::function<void()> completion) {
    struct Clearing {
        MainQueue* queue;
        std::function<void()> completion;
        WebKitWebsiteDataManager* manager;
    };
    auto* manager = webkit_network_session_get_website_data_manager(persistentSession());
    auto* clearing = new Clearing{&mainQueue_, std::move(completion), manager};
    webkit_website_data_manager_fetch(
        manager, WEBKIT_WEBSITE_DATA_ALL, nullptr,
        [](GObject* source, GAsyncResult* result, gpointer data) {
            auto* clearing = static_cast<Clearing*>(data);
            GList* records = webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result,
                                                                      nullptr);
            webkit_website_data_manager_remove(
                clearing->manager, WEBKIT_WEBSITE_DATA_ALL, records, nullptr,
                [](GObject* source, GAsyncResult* result, gpointer data) {
                    std::unique_ptr<Clearing> clearing(static_cast<Clearing*>(data));
                    webkit_website_data_manager_remove_finish(WEBKIT_WEBSITE_DATA_MANAGER(source), result, nullptr);
                    if (clearing->completion) clearing->queue->post(std::move(clearing->completion));
                },
                clearing);
            g_list_free_full(records, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
        },
        clearing);
}

}  // namespace quorelle
