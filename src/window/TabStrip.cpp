#include "window/TabStrip.h"

#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/FixedStyle.h"
#include "window/SidewaysWheel.h"
#include "window/TabChip.h"
#include "window/ViewRefresh.h"

#include <gtkmm/adjustment.h>
#include <gdkmm/frameclock.h>
#include <gtkmm/cssprovider.h>
#include <gtkmm/image.h>

#include <algorithm>
#include <set>
#include <utility>

namespace quorelle {

namespace {

constexpr int newTabGlyphSize = 13;

// The "+" button's own shape: a 28-point circle that takes clicks over its
// whole area. Its practically invisible fill comes from the window's theme
// (vx-new-tab). Given to that button only.
Glib::RefPtr<Gtk::CssProvider> newTabButtonStyle() {
    const int side = ChromeMetrics::px(TabStrip::newTabButtonSize);
    static const auto provider = FixedStyle::sheet(
        "button { min-width: " + std::to_string(side) + "px; min-height: " + std::to_string(side) +
        "px; padding: 0; margin: 0; border: none; box-shadow: none; border-radius: " + std::to_string(side / 2) +
        "px; }");
    return provider;
}

}  // namespace

std::vector<AppState::TabPtr> TabStrip::visibleTabs(const AppState& appState) {
    std::set<Uuid> collapsed;
    for (const auto& group : appState.profileData.get().tabGroups)
        if (group.isCollapsed) collapsed.insert(group.id);
    std::vector<AppState::TabPtr> shown;
    for (const auto& tab : appState.tabs.get()) {
        const auto& groupID = tab->groupID.get();
        if (!groupID || !collapsed.contains(*groupID)) shown.push_back(tab);
    }
    return shown;
}

std::optional<Color> TabStrip::groupColor(const AppState& appState, const BrowserTab& tab) {
    const auto& groupID = tab.groupID.get();
    if (!groupID) return std::nullopt;
    for (const auto& group : appState.profileData.get().tabGroups)
        if (group.id == *groupID) return Color::fromHex(group.color.colorHex());
    return std::nullopt;
}

TabStrip::TabStrip(std::shared_ptr<AppState> appState, FaviconImageCache& images)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0),
      appState_(std::move(appState)),
      images_(images),
      row_(Gtk::Orientation::HORIZONTAL, ChromeMetrics::px(rowSpacing)),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    set_name("tab-strip");
    add_css_class(ChromeStyle::tabStrip);
    set_size_request(-1, ChromeMetrics::px(ChromeMetrics::tabStripHeight));
    buildRow();
    for (auto* signal : {&appState_->tabs.signalWillChange(), &appState_->activeTabID.signalWillChange(),
                         &appState_->profileData.signalWillChange()})
        connections_.push_back(signal->connect([this] { refresh_->schedule(); }));
    refresh();
}

TabStrip::~TabStrip() {
    revealOnLayout_.disconnect();
    for (auto& connection : connections_) connection.disconnect();
    for (auto& [id, chip] : chips_) row_.remove(*chip);
}

void TabStrip::buildRow() {
    scroller_.set_name("tab-strip-scroller");
    scroller_.add_css_class(ChromeStyle::frame);
    scroller_.set_policy(Gtk::PolicyType::EXTERNAL, Gtk::PolicyType::NEVER);
    scroller_.set_has_frame(false);
    scroller_.set_hexpand(true);
    scroller_.set_valign(Gtk::Align::FILL);
    append(scroller_);

    const int padding = ChromeMetrics::px(rowPadding);
    row_.set_name("tab-strip-row");
    row_.set_valign(Gtk::Align::CENTER);
    row_.set_halign(Gtk::Align::START);
    row_.set_margin_start(padding);
    row_.set_margin_top(padding);
    row_.set_margin_bottom(padding);
    scroller_.set_child(row_);

    newTab_.set_name("tab-strip-new-tab");
    newTab_.add_css_class(ChromeStyle::mutedText);
    newTab_.add_css_class(ChromeStyle::newTabButton);
    newTab_.add_css_class("flat");
    newTab_.set_icon_name("list-add-symbolic");
    if (auto* glyph = dynamic_cast<Gtk::Image*>(newTab_.get_child())) glyph->set_pixel_size(newTabGlyphSize);
    newTab_.set_valign(Gtk::Align::CENTER);
    // Like every control of the strip, never the keyboard focus.
    newTab_.set_can_focus(false);
    newTab_.set_tooltip_text("New Tab");
    newTab_.set_margin_end(ChromeMetrics::px(newTabTrailingPadding));
    newTab_.get_style_context()->add_provider(newTabButtonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    connections_.push_back(newTab_.signal_clicked().connect([this] {
        appState_->newTab();
        newTabOpened_.emit();
    }));
    row_.append(newTab_);

    auto scroll = scroller_.get_hadjustment();
    connections_.push_back(scroll->signal_changed().connect([this] { onRowResized(); }));
    connections_.push_back(scroll->signal_value_changed().connect([this] { onScrolled(); }));

    wheel_ = std::make_unique<SidewaysWheel>(scroller_);
}

void TabStrip::refresh() {
    const auto shown = visibleTabs(*appState_);
    std::set<Uuid> shownIDs;
    for (const auto& tab : shown) shownIDs.insert(tab->id());
    for (auto it = chips_.begin(); it != chips_.end();) {
        // A chip goes when its tab is hidden or closed, or was replaced by
        // another object with the same id.
        const auto& chipTab = it->second->tab();
        const bool kept = shownIDs.contains(it->first) &&
                          std::any_of(shown.begin(), shown.end(), [&](const auto& tab) { return tab == chipTab; });
        if (kept) {
            ++it;
            continue;
        }
        row_.remove(*it->second);
        it = chips_.erase(it);
    }

    const auto& activeID = appState_->activeTabID.get();
    std::optional<Uuid> reveal;
    for (const auto& tab : shown) {
        auto& chip = chips_[tab->id()];
        if (!chip) {
            chip = std::make_unique<TabChip>(*appState_, tab, images_);
            reveal = tab->id();
        }
        chip->setActive(activeID && *activeID == tab->id());
        chip->setGroupColor(groupColor(*appState_, *tab));
    }
    placeChips(shown);
    // A newly selected tab goes before a newly added one.
    if (activeID != shownActiveID_ && activeID && chips_.contains(*activeID)) reveal = activeID;
    shownActiveID_ = activeID;
    if (reveal) chipToReveal_ = reveal;
    if (chipToReveal_) revealAfterLayout();
}

void TabStrip::revealAfterLayout() {
    if (revealOnLayout_.connected()) return;
    // Asking for a layout has the window listen to the frame clock's layout
    // phase; listening after it, the strip runs once the row has its new
    // chips in place.
    queue_allocate();
    listenAfterLayout();
}

void TabStrip::listenAfterLayout() {
    if (revealOnLayout_.connected()) return;
    auto clock = get_frame_clock();
    if (!clock) return;  // not shown yet: tried again at the next change
    revealOnLayout_ = clock->signal_layout().connect([this] {
        revealOnLayout_.disconnect();
        revealPending();
    });
}

void TabStrip::revealPending() {
    auto scroll = scroller_.get_hadjustment();
    const double page = scroll->get_page_size();
    if (endToReveal_) {
        endToReveal_ = false;
        double value = scroll->get_upper() - page;
        // Never past the start of the active tab's chip while that showed:
        // a chip near the left edge that widens as its title arrives stays.
        const auto& activeID = appState_->activeTabID.get();
        const auto active = activeID ? spanOf(chipFor(*activeID)) : std::nullopt;
        if (active && active->first >= scroll->get_value()) value = std::min(value, active->first);
        scroll->set_value(value);
    }
    const auto span = chipToReveal_ ? spanOf(chipFor(*chipToReveal_)) : std::nullopt;
    chipToReveal_.reset();
    if (!span) return;
    const auto [start, end] = *span;
    double value = scroll->get_value();
    if (start < value)
        value = start;
    else if (end > value + page)
        value = std::min(end - page, start);
    scroll->set_value(std::clamp(value, scroll->get_lower(), scroll->get_upper() - page));
}

std::optional<std::pair<double, double>> TabStrip::spanOf(TabChip* chip) {
    // Counted as the scroll position is: from the row's own layout, which
    // holds even when the scroll position has moved since the row was last
    // placed.
    graphene_rect_t bounds{};
    if (!chip || !chip->get_mapped() ||
        !gtk_widget_compute_bounds(GTK_WIDGET(chip->gobj()), GTK_WIDGET(row_.gobj()), &bounds))
        return std::nullopt;
    auto scroll = scroller_.get_hadjustment();
    double start = row_.get_margin_start() + bounds.origin.x;
    double end = start + bounds.size.width;
    // The first chip brings the row's leading padding along, the last one
    // the "+" button after it.
    if (!chip->get_prev_sibling()) start = scroll->get_lower();
    if (chip->get_next_sibling() == &newTab_) end = scroll->get_upper();
    return std::pair{start, end};
}

bool TabStrip::showsEnd() const {
    auto scroll = scroller_.get_hadjustment();
    return scroll->get_value() + scroll->get_page_size() >= scroll->get_upper() - 0.5;
}

void TabStrip::onScrolled() {
    // While the row is due to go back to its end, it still counts as
    // showing it.
    if (!endToReveal_) keepsEnd_ = showsEnd();
}

void TabStrip::onRowResized() {
    // The row grew or shrank (a chip came or went, or a chip widened as its
    // page's title arrived) or the strip was resized. A row that showed its
    // end goes on showing it, so that the last chip and the "+" stay whole.
    if (!keepsEnd_) {
        keepsEnd_ = showsEnd();
        return;
    }
    // This runs while the window lays the row out, when a scroll position
    // set here would not move the row: the row is scrolled right after the
    // layout, and the frame clock lays out once more before anything is
    // drawn.
    auto clock = get_frame_clock();
    if (!clock) return;
    endToReveal_ = true;
    clock->request_phase(Gdk::FrameClock::Phase::LAYOUT);
    listenAfterLayout();
}

void TabStrip::placeChips(const std::vector<AppState::TabPtr>& shown) {
    Gtk::Widget* previous = nullptr;
    for (const auto& tab : shown) {
        TabChip& chip = *chips_.at(tab->id());
        if (!chip.get_parent()) {
            if (previous)
                row_.insert_child_after(chip, *previous);
            else
                row_.prepend(chip);
        } else if (previous) {
            row_.reorder_child_after(chip, *previous);
        } else {
            row_.reorder_child_at_start(chip);
        }
        previous = &chip;
    }
    if (previous)
        row_.reorder_child_after(newTab_, *previous);
    else
        row_.reorder_child_at_start(newTab_);
}

std::vector<TabChip*> TabStrip::chips() const {
    std::vector<TabChip*> ordered;
    for (const auto* child = row_.get_first_child(); child; child = child->get_next_sibling())
        for (const auto& [id, chip] : chips_)
            if (chip.get() == child) ordered.push_back(chip.get());
    return ordered;
}

TabChip* TabStrip::chipFor(const Uuid& tabID) const {
    const auto found = chips_.find(tabID);
    return found == chips_.end() ? nullptr : found->second.get();
}

}  // namespace quorelle
