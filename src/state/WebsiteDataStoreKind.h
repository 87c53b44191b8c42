#pragma once

namespace quorelle {

// Which website data store a new web view of a window gets: the one
// persistent store shared by the normal profiles, or a fresh in-memory one.
enum class WebsiteDataStoreKind { defaultPersistent, nonPersistent };

}  // namespace quorelle
