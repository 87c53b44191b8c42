#pragma once

#include <functional>

namespace quorelle {

// The website data (cookies, storage, caches) kept by the persistent session
// shared by the normal profiles. Main thread only.
class IWebsiteData {
public:
    virtual ~IWebsiteData() = default;

    // Removes every record of every website data type from the persistent
    // store, then calls `completion` exactly once on the main queue.
    virtual void clearWebsiteData(std::function<void()> completion) = 0;
};

}  // namespace quorelle
