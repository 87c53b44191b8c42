#include "window/FaviconView.h"

#include "model/QuorelleAssets.h"
#include "model/Text.h"
#include "window/ChromeStyle.h"
#include "window/FaviconImageCache.h"
#include "window/LabelFont.h"
#include "window/QuorelleLogoCache.h"

#include <glib.h>
#include <gtk/gtk.h>
#include <pango/pango.h>
#include <gtkmm/snapshot.h>

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace quorelle {

namespace {

int whole(double points) { return std::max(0, static_cast<int>(std::lround(points))); }

}  // namespace

FaviconView::FaviconView(FaviconImageCache& images, std::optional<std::string> url, std::string letter, double size,
                         bool isInternalPage)
    : images_(images), size_(size) {
    add_css_class("vx-favicon");
    set_overflow(Gtk::Overflow::HIDDEN);
    set_halign(Gtk::Align::CENTER);
    set_valign(Gtk::Align::CENTER);
    picture_.set_content_fit(Gtk::ContentFit::CONTAIN);
    picture_.set_can_shrink(true);
    picture_.set_parent(*this);
    // The letter in the system font at a size relative to the square, semibold.
    LabelFont::set(badge_, letterSize(), Pango::Weight::SEMIBOLD);
    // In its window's text colour: the toolkit's own follows the light or
    // dark mode of the application as a whole, which the main window's theme
    // sets, and would vanish on a guest window's dark theme under a light one.
    badge_.add_css_class(ChromeStyle::primaryText);
    badge_.set_halign(Gtk::Align::CENTER);
    badge_.set_valign(Gtk::Align::CENTER);
    badge_.set_parent(*this);
    setIcon(std::move(url), std::move(letter), isInternalPage);
}

FaviconView::~FaviconView() {
    picture_.unparent();
    badge_.unparent();
}

FaviconView::Source FaviconView::sourceFor(const std::optional<std::string>& url, bool isInternalPage) {
    if (isInternalPage || QuorelleAssets::isQuorelleLogo(url) || QuorelleAssets::isInternalURL(url.value_or("")))
        return Source::logo;
    if (url && !url->empty() && g_uri_is_valid(url->c_str(), G_URI_FLAGS_NONE, nullptr)) return Source::address;
    return Source::badge;
}

std::string FaviconView::badgeLetter(std::string_view letter) {
    if (letter.empty()) return {};
    const std::string text(letter);
    const glong characters = g_utf8_strlen(text.c_str(), static_cast<gssize>(text.size()));
    std::vector<PangoLogAttr> attributes(static_cast<std::size_t>(characters) + 1);
    pango_get_log_attrs(text.c_str(), static_cast<int>(text.size()), -1, pango_language_get_default(),
                        attributes.data(), static_cast<int>(attributes.size()));
    // The first character ends at the next place a cursor can stand.
    glong end = 1;
    while (end < characters && !attributes[static_cast<std::size_t>(end)].is_cursor_position) ++end;
    const char* stop = g_utf8_offset_to_pointer(text.c_str(), end);
    return text::uppercased(std::string_view(text.c_str(), static_cast<std::size_t>(stop - text.c_str())));
}

Gdk::RGBA FaviconView::badgeFill() {
    Gdk::RGBA grey;
    grey.set_rgba(142.0 / 255.0, 142.0 / 255.0, 147.0 / 255.0, badgeOpacity);
    return grey;
}

void FaviconView::setIcon(std::optional<std::string> url, std::string letter, bool isInternalPage) {
    if (configured_ && url == url_ && letter == letter_ && isInternalPage == isInternalPage_) return;
    configured_ = true;
    url_ = std::move(url);
    letter_ = std::move(letter);
    isInternalPage_ = isInternalPage;
    life_ = std::make_shared<int>(0);  // answers for the previous address are dropped
    badge_.set_text(badgeLetter(letter_));
    switch (sourceFor(url_, isInternalPage_)) {
    case Source::logo: return showLogo();
    case Source::address: return showAddress(*url_);
    case Source::badge: return showBadge();
    }
}

void FaviconView::showLogo() {
    auto& logo = images_.logo();
    logo.preloadIfNeeded();
    // Without the logo image the letter stands in.
    if (logo.image())
        showImage(logo.image(), Content::logo);
    else
        showBadge();
}

void FaviconView::showAddress(const std::string& address) {
    // The badge stands until the image arrives, and for good when it fails.
    showBadge();
    images_.load(address, [this, alive = std::weak_ptr<int>(life_)](const FaviconImageCache::Texture& image) {
        if (!alive.expired() && image) showImage(image, Content::image);
    });
}

void FaviconView::showImage(const Glib::RefPtr<Gdk::Texture>& texture, Content content) {
    shown_ = texture;
    picture_.set_paintable(texture);
    picture_.set_visible(true);
    badge_.set_visible(false);
    const bool changed = content_ != content;
    content_ = content;
    queue_draw();
    if (changed) contentChanged_.emit();
}

void FaviconView::showBadge() {
    shown_.reset();
    picture_.set_paintable({});
    picture_.set_visible(false);
    badge_.set_visible(true);
    const bool changed = content_ != Content::badge;
    content_ = Content::badge;
    queue_draw();
    if (changed) contentChanged_.emit();
}

Gtk::SizeRequestMode FaviconView::get_request_mode_vfunc() const { return Gtk::SizeRequestMode::CONSTANT_SIZE; }

void FaviconView::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimumBaseline,
                                int& naturalBaseline) const {
    minimum = natural = whole(size_);
    minimumBaseline = naturalBaseline = -1;
}

void FaviconView::size_allocate_vfunc(int width, int height, int baseline) {
    for (Gtk::Widget* child : {static_cast<Gtk::Widget*>(&picture_), static_cast<Gtk::Widget*>(&badge_)}) {
        if (!child->get_visible()) continue;
        int minWidth = 0, naturalWidth = 0, minHeight = 0, naturalHeight = 0, ignored = 0;
        child->measure(Gtk::Orientation::HORIZONTAL, -1, minWidth, naturalWidth, ignored, ignored);
        child->measure(Gtk::Orientation::VERTICAL, -1, minHeight, naturalHeight, ignored, ignored);
        // A letter wider than the square is centred on it and cut by the corners.
        const int childWidth = std::max(width, minWidth), childHeight = std::max(height, minHeight);
        child->size_allocate(Gtk::Allocation((width - childWidth) / 2, (height - childHeight) / 2, childWidth,
                                             childHeight),
                             -1);
    }
}

void FaviconView::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
    const float width = static_cast<float>(get_width()), height = static_cast<float>(get_height());
    graphene_rect_t bounds;
    graphene_rect_init(&bounds, 0, 0, width, height);
    GskRoundedRect clip;
    gsk_rounded_rect_init_from_rect(&clip, &bounds, static_cast<float>(cornerRadius));
    gtk_snapshot_push_rounded_clip(snapshot->gobj(), &clip);
    if (content_ == Content::badge) snapshot->append_color(badgeFill(), &bounds);
    snapshot_child(content_ == Content::badge ? static_cast<Gtk::Widget&>(badge_) : picture_, snapshot);
    gtk_snapshot_pop(snapshot->gobj());
}

}  // namespace quorelle
