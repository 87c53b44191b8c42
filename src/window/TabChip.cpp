#include "window/TabChip.h"

#include "state/TabAdjacentSide.h"
#include "window/ChromeColor.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/FixedStyle.h"
#include "window/LabelFont.h"
#include "window/ViewRefresh.h"

#include <gtk/gtk.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/snapshot.h>
#include <gtkmm/stylecontext.h>

#include <algorithm>
#include <cmath>
#include <utility>

namespace quorelle {

namespace {

// The cross's stroke: bold for its size.
constexpr double closeGlyphStroke = 1.75;

// The close button's own shape: an 18-point square without the stock
// button's padding, minimum size or background, in every state (a plain
// button has no hover look). Given to that one button only.
Glib::RefPtr<Gtk::CssProvider> closeButtonStyle() {
    const std::string side = ChromeMetrics::cssPx(TabChip::closeSize);
    static const auto provider = FixedStyle::sheet("button { min-width: " + side + "; min-height: " + side +
                                                   "; padding: 0; margin: 0; border: none; box-shadow: none;"
                                                   " background: none; }");
    return provider;
}

}  // namespace

void TabChip::Title::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                                   int& minimumBaseline, int& naturalBaseline) const {
    Gtk::Label::measure_vfunc(orientation, forSize, minimum, natural, minimumBaseline, naturalBaseline);
    if (orientation != Gtk::Orientation::HORIZONTAL) return;
    // The whole title up to the widest it may be, however little room the
    // row has: the strip scrolls rather than squeezing its chips.
    natural = std::min(natural, ChromeMetrics::px(maxWidth_));
    minimum = natural;
}

void TabChip::CloseGlyph::measure_vfunc(Gtk::Orientation, int, int& minimum, int& natural, int& minimumBaseline,
                                        int& naturalBaseline) const {
    minimum = natural = ChromeMetrics::px(side_);
    minimumBaseline = naturalBaseline = -1;
}

void TabChip::CloseGlyph::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
    const double side = ChromeMetrics::px(side_);
    const double x = (get_width() - side) / 2, y = (get_height() - side) / 2;
    // Round ends half a stroke inside the square, so the ink fills it.
    const double inset = closeGlyphStroke / 2;
    auto cairo = snapshot->append_cairo(Gdk::Rectangle(0, 0, get_width(), get_height()));
    cairo->set_line_cap(Cairo::Context::LineCap::ROUND);
    const Gdk::RGBA colour = get_style_context()->get_color();
    cairo->set_source_rgba(colour.get_red(), colour.get_green(), colour.get_blue(), colour.get_alpha());
    cairo->set_line_width(closeGlyphStroke);
    cairo->move_to(x + inset, y + inset);
    cairo->line_to(x + side - inset, y + side - inset);
    cairo->move_to(x + side - inset, y + inset);
    cairo->line_to(x + inset, y + side - inset);
    cairo->stroke();
}

std::vector<std::pair<std::string, std::string>> TabChip::menuItems(bool pinned) {
    return {{"Close", "tab.close"},
            {"Duplicate", "tab.duplicate"},
            {pinned ? "Unpin" : "Pin", "tab.pin"},
            {"Reload", "tab.reload"},
            {"New Tab to Right", "tab.new-right"},
            {"New Tab to Left", "tab.new-left"}};
}

TabChip::TabChip(AppState& appState, AppState::TabPtr tab, FaviconImageCache& images)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 6),
      appState_(appState),
      tab_(std::move(tab)),
      favicon_(images, tab_->faviconURL.get(), tab_->faviconLetter.get(), iconSize, tab_->isInternal.get()),
      title_(titleMaxWidth),
      closeGlyph_(closeGlyphSize),
      menuModel_(Gio::Menu::create()),
      actions_(Gio::SimpleActionGroup::create()),
      refresh_(std::make_unique<ViewRefresh>(appState.mainQueue(), [this] { refresh(); })) {
    set_name("tab-chip");
    add_css_class(ChromeStyle::tab);
    set_valign(Gtk::Align::CENTER);
    buildContent();
    buildActions();
    buildGestures();
    // Title, icon and pin flag belong to the tab; the chip follows them.
    tabConnection_ = tab_->signalObjectWillChange().connect([this] { refresh_->schedule(); });
    refresh();
}

TabChip::~TabChip() {
    tabConnection_.disconnect();
    for (auto& connection : connections_) connection.disconnect();
    menu_.unparent();
}

void TabChip::buildContent() {
    const int padV = ChromeMetrics::px(paddingV);
    for (Gtk::Widget* child : {static_cast<Gtk::Widget*>(&favicon_), static_cast<Gtk::Widget*>(&title_),
                               static_cast<Gtk::Widget*>(&close_)}) {
        child->set_valign(Gtk::Align::CENTER);
        child->set_margin_top(padV);
        child->set_margin_bottom(padV);
        append(*child);
    }
    favicon_.set_margin_start(ChromeMetrics::px(paddingH));

    title_.set_name("tab-title");
    title_.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(title_, titleFontSize);
    title_.set_single_line_mode(true);
    title_.set_ellipsize(Pango::EllipsizeMode::END);
    title_.set_xalign(0);

    close_.set_name("tab-close");
    close_.add_css_class(ChromeStyle::mutedText);
    close_.add_css_class("flat");
    closeGlyph_.set_halign(Gtk::Align::CENTER);
    closeGlyph_.set_valign(Gtk::Align::CENTER);
    close_.set_child(closeGlyph_);
    // Never the keyboard focus: typed text would reach it, and a space
    // would close the tab.
    close_.set_can_focus(false);
    close_.set_size_request(ChromeMetrics::px(closeSize), ChromeMetrics::px(closeSize));
    close_.set_margin_end(ChromeMetrics::px(paddingH));
    close_.get_style_context()->add_provider(closeButtonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    connections_.push_back(close_.signal_clicked().connect([this] { appState_.closeTab(tab_); }));
}

void TabChip::buildActions() {
    const auto add = [this](const char* name, std::function<void()> run) {
        actions_->add_action(name, [run = std::move(run)] { run(); });
    };
    add("close", [this] { appState_.closeTab(tab_); });
    add("duplicate", [this] { appState_.duplicateTab(tab_); });
    add("pin", [this] { appState_.pinTab(tab_); });
    add("reload", [this] { appState_.reloadTab(tab_); });
    add("new-right", [this] { appState_.newTabAdjacent(tab_, TabAdjacentSide::right); });
    add("new-left", [this] { appState_.newTabAdjacent(tab_, TabAdjacentSide::left); });
    insert_action_group("tab", actions_);

    menuPinned_ = tab_->isPinned.get();
    for (const auto& [label, action] : menuItems(menuPinned_)) menuModel_->append(label, action);
    menu_.set_menu_model(menuModel_);
    menu_.set_has_arrow(false);
    menu_.set_parent(*this);
}

void TabChip::buildGestures() {
    primaryClick_ = Gtk::GestureClick::create();
    primaryClick_->set_button(GDK_BUTTON_PRIMARY);
    connections_.push_back(primaryClick_->signal_released().connect(sigc::mem_fun(*this, &TabChip::onPrimaryReleased)));
    add_controller(primaryClick_);

    secondaryClick_ = Gtk::GestureClick::create();
    secondaryClick_->set_button(GDK_BUTTON_SECONDARY);
    connections_.push_back(
        secondaryClick_->signal_pressed().connect(sigc::mem_fun(*this, &TabChip::onSecondaryPressed)));
    add_controller(secondaryClick_);
}

void TabChip::rebuildMenu() {
    const bool pinned = tab_->isPinned.get();
    if (pinned == menuPinned_) return;
    menuPinned_ = pinned;
    menuModel_->remove_all();
    for (const auto& [label, action] : menuItems(pinned)) menuModel_->append(label, action);
}

void TabChip::refresh() {
    const std::string& title = tab_->title.get();
    if (title_.get_text().raw() != title) title_.set_text(title);
    title_.set_visible(!title.empty());
    favicon_.setIcon(tab_->faviconURL.get(), tab_->faviconLetter.get(), tab_->isInternal.get());
    rebuildMenu();
}

void TabChip::setActive(bool active) {
    active_ = active;
    if (active)
        add_css_class(ChromeStyle::activeTab);
    else
        remove_css_class(ChromeStyle::activeTab);
}

void TabChip::setGroupColor(std::optional<Color> color) {
    if (color == groupColor_) return;
    groupColor_ = color;
    queue_draw();
}

bool TabChip::isOnCloseButton(double x, double y) {
    for (Gtk::Widget* hit = pick(x, y); hit && hit != this; hit = hit->get_parent())
        if (hit == &close_) return true;
    return false;
}

void TabChip::onPrimaryReleased(int, double x, double y) {
    // A press that ends outside the chip, on its close button, or inside its
    // open menu (a child of the chip) selects nothing.
    if (menu_.get_visible() || !contains(x, y) || isOnCloseButton(x, y)) return;
    appState_.selectTab(tab_);
}

void TabChip::onSecondaryPressed(int, double x, double y) {
    if (menu_.get_visible()) return;
    rebuildMenu();
    menu_.set_pointing_to(Gdk::Rectangle(static_cast<int>(x), static_cast<int>(y), 1, 1));
    menu_.popup();
}

void TabChip::snapshot_vfunc(const Glib::RefPtr<Gtk::Snapshot>& snapshot) {
    Gtk::Box::snapshot_vfunc(snapshot);
    if (!groupColor_) return;
    // A thin capsule just below the chip's bottom edge, inset from its sides.
    const float inset = static_cast<float>(groupBarInset), barHeight = static_cast<float>(groupBarHeight);
    const float width = std::max(0.0f, static_cast<float>(get_width()) - 2 * inset);
    graphene_rect_t bar;
    graphene_rect_init(&bar, inset, static_cast<float>(get_height()), width, barHeight);
    GskRoundedRect capsule;
    gsk_rounded_rect_init_from_rect(&capsule, &bar, barHeight / 2);
    gtk_snapshot_push_rounded_clip(snapshot->gobj(), &capsule);
    const GdkRGBA fill = ChromeColor::rgba(*groupColor_);
    gtk_snapshot_append_color(snapshot->gobj(), &fill, &bar);
    gtk_snapshot_pop(snapshot->gobj());
}

}  // namespace quorelle
