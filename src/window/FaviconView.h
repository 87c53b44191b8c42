#pragma once

#include <gdkmm/rgba.h>
#include <gdkmm/texture.h>
#include <gtkmm/label.h>
#include <gtkmm/picture.h>
#include <gtkmm/widget.h>
#include <sigc++/signal.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace quorelle {

class FaviconImageCache;

// The square page icon drawn by tab chips, bookmark chips, the profile menu
// and the editors' previews. Given an icon address and a badge letter it
// shows, in this order of preference: the product logo (internal pages and
// the logo reference), the image at the address, or a one-letter badge on a
// grey square, in the text colour of the window's theme. While the image is
// loading, and when it cannot be loaded, the badge stays. The square is
// exactly `size` points wide and high, with corners rounded to 4 points.
//
// It keeps no browser data: the owner calls setIcon() with new values when its
// record changes. Images come from the shared cache given at construction,
// which must outlive the view.
class FaviconView : public Gtk::Widget {
public:
    enum class Content { logo, image, badge };
    // What an address asks for, before anything is loaded.
    enum class Source { logo, address, badge };

    static constexpr double defaultSize = 16;
    static constexpr double cornerRadius = 4;
    static constexpr double letterScale = 0.55;
    static constexpr double badgeOpacity = 0.2;

    FaviconView(FaviconImageCache& images, std::optional<std::string> url, std::string letter,
                double size = defaultSize, bool isInternalPage = false);
    ~FaviconView() override;

    // Shows another icon; nothing happens when all three values are the ones
    // already shown.
    void setIcon(std::optional<std::string> url, std::string letter, bool isInternalPage = false);

    static Source sourceFor(const std::optional<std::string>& url, bool isInternalPage);
    // The first user-perceived character of `letter`, upper-cased.
    static std::string badgeLetter(std::string_view letter);
    // The grey behind the letter.
    static Gdk::RGBA badgeFill();

    double size() const { return size_; }
    double letterSize() const { return size_ * letterScale; }
    Content content() const { return content_; }
    const std::optional<std::string>& url() const { return url_; }
    // The image drawn now (the logo or the loaded icon), or nothing.
    Glib::RefPtr<Gdk::Texture> texture() const { return shown_; }
    Gtk::Picture& picture() { return picture_; }
    Gtk::Label& badge() { return badge_; }

    // After the content changed from what setIcon() first put up (an image
    // that arrived later).
    sigc::signal<void()>& signalContentChanged() { return contentChanged_; }

protected:
    Gtk::SizeRequestMode get_request_mode_vfunc() const override;
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;
    void size_allocate_vfunc(int width, int height, int baseline) override;
    void snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) override;

private:
    void showLogo();
    void showAddress(const std::string& address);
    void showImage(const Glib::RefPtr<Gdk::Texture>& texture, Content content);
    void showBadge();

    FaviconImageCache& images_;
    double size_;
    std::optional<std::string> url_;
    std::string letter_;
    bool isInternalPage_ = false;
    bool configured_ = false;
    Content content_ = Content::badge;
    Glib::RefPtr<Gdk::Texture> shown_;
    Gtk::Picture picture_;
    Gtk::Label badge_;
    std::shared_ptr<int> life_ = std::make_shared<int>(0);  // pending loads hold it weakly
    sigc::signal<void()> contentChanged_;
};

}  // namespace quorelle
