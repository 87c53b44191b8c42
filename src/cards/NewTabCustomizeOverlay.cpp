#include "cards/NewTabCustomizeOverlay.h"

#include "cards/CardFocus.h"
#include "cards/CardText.h"
#include "cards/ThemedSurface.h"
#include "model/InternalPageRoute.h"
#include "model/Text.h"
#include "model/ThemePreset.h"
#include "state/AppState.h"
#include "window/ChromeColor.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/LabelFont.h"

#include <gtk/gtk.h>

#include <algorithm>

namespace quorelle {

namespace {

constexpr double rowSpacing = 16;
constexpr double outerMargin = 16;
constexpr int buttonSpacing = 10;
constexpr double titleSize = 18;
constexpr double sectionSize = 12;
constexpr int iconSize = 16;
constexpr double shadowRadius = 24;
constexpr double shadowOpacity = 0.33;
constexpr const char* openThemesIconName = "send-to-symbolic";

std::string cardSurface(const ThemeSettings& theme) {
    const auto radius = ChromeMetrics::cssPx(NewTabCustomizeOverlay::cardCornerRadius);
    const auto blur = ChromeMetrics::cssPx(shadowRadius);
    return ThemedSurface::toolbarBackground(theme) + "border-radius: " + radius + ";\n" +
           "box-shadow: inset 0 0 0 1px " + ChromeColor::css(ChromeColor::border(theme)) + ", 0 0 " + blur + " " +
           ChromeColor::css(Color{}, shadowOpacity) + ";\n";
}

void styleSectionLabel(Gtk::Label& label, const char* text) {
    label.set_text(text);
    label.set_halign(Gtk::Align::START);
    label.add_css_class(ChromeStyle::mutedText);
    LabelFont::set(label, sectionSize, Pango::Weight::MEDIUM);
}

}  // namespace

NewTabCustomizeOverlay::NewTabCustomizeOverlay(AppState& appState, TwoWayBinding<bool> isPresented)
    : DimmedCard(appState, std::move(isPresented),
                 Shape{dimLayerOpacity, cardWidth, cardPadding, rowSpacing, outerMargin, cardSurface}),
      header_(Gtk::Orientation::HORIZONTAL, 8),
      buttons_(Gtk::Orientation::VERTICAL, buttonSpacing) {
    set_name("new-tab-customize");
    buildHeader();
    buildForm();
    CardFocus::startIn(*this, background_);
    appear();
}

NewTabCustomizeOverlay::~NewTabCustomizeOverlay() {
    for (auto& connection : connections_) connection.disconnect();
}

std::vector<std::string> NewTabCustomizeOverlay::presetIDs() {
    std::vector<std::string> ids;
    for (const auto& preset : ThemePreset::all()) ids.push_back(preset.id);
    return ids;
}

void NewTabCustomizeOverlay::buildHeader() {
    title_.set_text("Customize New Tab");
    title_.set_halign(Gtk::Align::START);
    title_.set_hexpand(true);  // the flexible space sits after the title
    title_.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(title_, titleSize, Pango::Weight::SEMIBOLD);
    header_.append(title_);

    openThemesIcon_.set_from_icon_name(openThemesIconName);
    openThemesIcon_.set_pixel_size(iconSize);
    openThemes_.set_child(openThemesIcon_);
    openThemes_.set_has_frame(false);
    openThemes_.set_tooltip_text("Open themes in new tab");
    openThemes_.set_valign(Gtk::Align::CENTER);
    header_.append(openThemes_);
    content().append(header_);
    connections_.push_back(
        openThemes_.signal_clicked().connect(sigc::mem_fun(*this, &NewTabCustomizeOverlay::openThemes)));
}

void NewTabCustomizeOverlay::buildForm() {
    styleSectionLabel(themeLabel_, "Theme");
    content().append(themeLabel_);

    std::vector<Glib::ustring> names;
    for (const auto& preset : ThemePreset::all()) names.emplace_back(preset.name);
    presetNames_ = Gtk::StringList::create(names);
    presets_.set_model(presetNames_);
    presets_.set_halign(Gtk::Align::START);
    // The picker's title is not shown; assistive technologies still read it.
    gtk_accessible_update_property(GTK_ACCESSIBLE(presets_.gobj()), GTK_ACCESSIBLE_PROPERTY_LABEL, "Preset", -1);
    content().append(presets_);
    connections_.push_back(presets_.property_selected().signal_changed().connect([this] {
        const auto position = presets_.get_selected();
        const auto& all = ThemePreset::all();
        if (position != GTK_INVALID_LIST_POSITION && position < all.size()) selectedPresetID_ = all[position].id;
        if (!showingTheme_) presetPicked_ = true;
    }));

    styleSectionLabel(backgroundLabel_, "Background Image URL");
    content().append(backgroundLabel_);
    background_.set_placeholder_text(std::string(backgroundPlaceholder));
    background_.set_activates_default(false);
    content().append(background_);

    apply_.set_label("Apply");
    save_.set_label("Save");
    reset_.set_label("Reset");
    clear_.set_label("Clear Background");
    for (auto* button : {&apply_, &save_, &reset_, &clear_}) {
        button->add_css_class("suggested-action");
        button->set_halign(Gtk::Align::FILL);
        buttons_.append(*button);
    }
    content().append(buttons_);
    connections_.push_back(apply_.signal_clicked().connect(sigc::mem_fun(*this, &NewTabCustomizeOverlay::apply)));
    connections_.push_back(save_.signal_clicked().connect(sigc::mem_fun(*this, &NewTabCustomizeOverlay::save)));
    connections_.push_back(reset_.signal_clicked().connect(sigc::mem_fun(*this, &NewTabCustomizeOverlay::reset)));
    connections_.push_back(
        clear_.signal_clicked().connect(sigc::mem_fun(*this, &NewTabCustomizeOverlay::clearBackground)));
}

// What the card shows each time it is presented.
void NewTabCustomizeOverlay::appear() {
    background_.set_text(appState_.profileData.get().theme.background.imagePath.value_or(""));
    showTheme();
}

// The preset whose colours the profile's theme has: the one it took last,
// else the first with the same colours (the first launch's dark theme is
// "black"), else the one it took last even though its colours were edited
// since, else the first row.
std::string NewTabCustomizeOverlay::presetInUse() const {
    const auto& all = ThemePreset::all();
    if (all.empty()) return std::string(fallbackPresetID);
    const ThemeColors& colors = appState_.theme().colors;
    const ThemePreset* recorded = nullptr;
    if (const auto& id = appState_.currentProfile().themePresetID) recorded = ThemePreset::find(*id);
    if (recorded && recorded->colors == colors) return recorded->id;
    const auto same = std::find_if(all.begin(), all.end(), [&](const ThemePreset& p) { return p.colors == colors; });
    if (same != all.end()) return same->id;
    return recorded ? recorded->id : all.front().id;
}

// Puts the picker on the theme in use, as no choice of the user's.
void NewTabCustomizeOverlay::showTheme() {
    const auto ids = presetIDs();
    selectedPresetID_ = presetInUse();
    const auto row = std::find(ids.begin(), ids.end(), selectedPresetID_);
    showingTheme_ = true;
    presets_.set_selected(row != ids.end() ? static_cast<guint>(row - ids.begin()) : GTK_INVALID_LIST_POSITION);
    showingTheme_ = false;
    presetPicked_ = false;
}

void NewTabCustomizeOverlay::apply() {
    // Only a preset the user picked is applied: saving just a new background
    // leaves the colours as they are, edited ones included.
    if (presetPicked_) {
        // The table's own row is applied, so a copy of it is never needed.
        if (const ThemePreset* preset = ThemePreset::find(selectedPresetID_)) appState_.applyPreset(*preset);
        presetPicked_ = false;
    }
    const std::string address = text::trimmed(background_.get_text().raw());
    if (!address.empty()) appState_.setBackgroundImageURL(address);
    appState_.reloadNewTabIfActive();
}

void NewTabCustomizeOverlay::save() {
    apply();
    dismiss();
}

void NewTabCustomizeOverlay::reset() {
    appState_.applyDarkDefaultTheme();
    background_.set_text("");
    appState_.setBackgroundImageURL(std::nullopt);
    // The preset picked before is gone with the reset; a later Apply or Save
    // must not bring it back.
    showTheme();
}

void NewTabCustomizeOverlay::clearBackground() {
    background_.set_text("");
    appState_.setBackgroundImageURL(std::nullopt);
}

void NewTabCustomizeOverlay::openThemes() {
    dismiss();
    appState_.navigateActive(InternalPageRoute(InternalPageRoute::themes).vxURL());
}

}  // namespace quorelle
