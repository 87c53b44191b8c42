#pragma once

#include <gdkmm/texture.h>
#include <glibmm/refptr.h>
#include <sigc++/signal.h>

#include <string>

namespace quorelle {

// The process-wide copy of the product logo, read once from the program's
// compiled-in resources when a window is first shown. A failed read leaves
// nothing cached and is tried again on the next preload. Main thread only.
class QuorelleLogoCache {
public:
    static QuorelleLogoCache& shared();

    // A cache reading the logo from `resourcePath`; the shared one reads the
    // product logo.
    explicit QuorelleLogoCache(std::string resourcePath);

    QuorelleLogoCache(const QuorelleLogoCache&) = delete;
    QuorelleLogoCache& operator=(const QuorelleLogoCache&) = delete;

    // Loads the logo unless it is already held.
    void preloadIfNeeded();

    bool didLoad() const { return didLoad_; }
    Glib::RefPtr<Gdk::Texture> image() const { return image_; }
    // How many reads were attempted; a successful one ends the reading.
    int loadAttempts() const { return loadAttempts_; }

    // Fired once, when didLoad turns true.
    sigc::signal<void()>& signalDidLoad() { return didLoadChanged_; }

private:
    void loadLogoFromResources();

    std::string resourcePath_;
    Glib::RefPtr<Gdk::Texture> image_;
    bool didLoad_ = false;
    int loadAttempts_ = 0;
    sigc::signal<void()> didLoadChanged_;
};

// Starts the preload on a later turn of the main loop and returns at once;
// calls after the first successful one do nothing.
void preloadLogo();

}  // namespace quorelle
