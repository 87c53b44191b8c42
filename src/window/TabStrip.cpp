#include "window/TabStrip.h"

#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/TabChip.h"
#include "window/ViewRefresh.h"

#include <gtkmm/cssprovider.h>
#include <gtkmm/image.h>

#include <set>
#include <utility>

namespace quorelle {

namespace {

constexpr int newTabGlyphSize = 14;

// The "+" button's own shape: a 28-point circle that is practically
// invisible yet takes clicks over its whole area. Given to that button only.
Glib::RefPtr<Gtk::CssProvider> newTabButtonStyle() {
    static const auto provider = [] {
        auto sheet = Gtk::CssProvider::create();
        const int side = ChromeMetrics::px(TabStrip::newTabButtonSize);
        sheet->load_from_data("button { min-width: " + std::to_string(side) + "px; min-height: " +
                              std::to_string(side) + "px; padding: 0; margin: 0; border: none; box-shadow: none; " +
                              "border-radius: " + std::to_string(side / 2) + "px; " +
                              "background-color: alpha(currentColor, 0.01); }");
        return sheet;
    }();
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
    newTab_.add_css_class("flat");
    newTab_.set_icon_name("list-add-symbolic");
    if (auto* glyph = dynamic_cast<Gtk::Image*>(newTab_.get_child())) glyph->set_pixel_size(newTabGlyphSize);
    newTab_.set_valign(Gtk::Align::CENTER);
    newTab_.set_focus_on_click(false);
    newTab_.set_tooltip_text("New Tab");
    newTab_.set_margin_end(ChromeMetrics::px(newTabTrailingPadding));
    newTab_.get_style_context()->add_provider(newTabButtonStyle(), GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
    connections_.push_back(newTab_.signal_clicked().connect([this] { appState_->newTab(); }));
    row_.append(newTab_);
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
    for (const auto& tab : shown) {
        auto& chip = chips_[tab->id()];
        if (!chip) chip = std::make_unique<TabChip>(*appState_, tab, images_);
        chip->setActive(activeID && *activeID == tab->id());
        chip->setGroupColor(groupColor(*appState_, *tab));
    }
    placeChips(shown);
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
