#include "cards/ShortcutEditorOverlay.h"

#include "cards/CardFocus.h"
#include "cards/CardText.h"
#include "cards/IdentityRow.h"
#include "cards/ThemedSurface.h"
#include "model/QuorelleAssets.h"
#include "model/ShortcutItem.h"
#include "model/Text.h"
#include "state/AppState.h"
#include "state/IFavicons.h"
#include "window/ChromeMetrics.h"
#include "window/LabelFont.h"

#include <algorithm>

namespace quorelle {

namespace {

constexpr double rowSpacing = 14;
constexpr double outerMargin = 16;
constexpr int fieldSpacing = 8;
constexpr int rowItemSpacing = 8;
constexpr int buttonSpacing = 10;
constexpr double headingSize = 17;

std::string cardSurface(const ThemeSettings& theme) {
    return ThemedSurface::toolbarBackground(theme) + "border-radius: " +
           ChromeMetrics::cssPx(ShortcutEditorOverlay::cardCornerRadius) + ";\n";
}

}  // namespace

ShortcutEditorOverlay::ShortcutEditorOverlay(AppState& appState, FaviconImageCache& images,
                                             TwoWayBinding<bool> isPresented)
    : DimmedCard(appState, std::move(isPresented),
                 Shape{dimLayerOpacity, cardWidth, cardPadding, rowSpacing, outerMargin, cardSurface}),
      identityRow_(Gtk::Orientation::HORIZONTAL, rowItemSpacing),
      preview_(images, std::nullopt, "", previewSize),
      textColumn_(Gtk::Orientation::VERTICAL, fieldSpacing),
      buttons_(Gtk::Orientation::VERTICAL, buttonSpacing) {
    set_name("shortcut-editor");
    buildLayout();
    CardFocus::startIn(*this, title_);
    titleChanged_ = title_.signal_changed().connect([this] { showPreview(); });
    urlChanged_ = url_.signal_changed().connect([this] { refetchFavicon(url_.get_text().raw()); });
    connections_.push_back(save_.signal_clicked().connect(sigc::mem_fun(*this, &ShortcutEditorOverlay::save)));
    connections_.push_back(cancel_.signal_clicked().connect([this] { dismiss(); }));
    connections_.push_back(
        delete_.signal_clicked().connect(sigc::mem_fun(*this, &ShortcutEditorOverlay::deleteCurrent)));
    connections_.push_back(resetDefaults_.signal_clicked().connect([this] { appState_.resetShortcutsToDefault(); }));
    appear();
}

ShortcutEditorOverlay::~ShortcutEditorOverlay() {
    titleChanged_.disconnect();
    urlChanged_.disconnect();
    for (auto& connection : connections_) connection.disconnect();
}

void ShortcutEditorOverlay::buildLayout() {
    heading_.set_halign(Gtk::Align::START);
    LabelFont::set(heading_, headingSize, Pango::Weight::SEMIBOLD);
    content().append(heading_);

    IdentityRow::prepare(identityRow_, preview_, textColumn_, title_, url_);
    content().append(identityRow_);

    save_.set_label("Save");
    cancel_.set_label("Cancel");
    delete_.set_label("Delete");
    delete_.add_css_class("destructive-action");
    resetDefaults_.set_label("Reset Defaults");
    for (auto* button : {&save_, &cancel_, &delete_, &resetDefaults_}) {
        button->set_halign(Gtk::Align::FILL);
        buttons_.append(*button);
    }
    content().append(buttons_);
}

// What the card shows each time it is presented: the shortcut being edited,
// if there is one, and the icon its address gives.
void ShortcutEditorOverlay::appear() {
    if (const auto& editing = appState_.editingShortcut.get()) {
        editingID_ = editing->id;
        CardText::showText(title_, titleChanged_, editing->title);
        CardText::showText(url_, urlChanged_, editing->url);
        previewFavicon_ = editing->faviconURL ? editing->faviconURL : appState_.favicons().cached(editing->url);
    }
    const std::string address = url_.get_text();
    if (!address.empty()) refetchFavicon(address);
    showMode();
    showPreview();
}

void ShortcutEditorOverlay::showMode() {
    heading_.set_text(editingID_ ? "Edit Shortcut" : "Add Shortcut");
    delete_.set_visible(editingID_.has_value());
}

void ShortcutEditorOverlay::showPreview() {
    preview_.setIcon(previewFavicon_, text::firstCharacter(title_.get_text().raw()));
}

void ShortcutEditorOverlay::refetchFavicon(std::string_view text) {
    const std::string address = text::trimmed(text);
    if (address.empty()) {
        previewFavicon_ = std::nullopt;
        return showPreview();
    }
    if (auto logo = QuorelleAssets::faviconURL(address)) {
        previewFavicon_ = std::move(logo);
        return showPreview();
    }
    auto& favicons = appState_.favicons();
    previewFavicon_ = favicons.cached(address);
    showPreview();
    auto alive = std::weak_ptr<int>(life_);
    favicons.fetchFromNetwork(address, [this, alive, address](std::optional<std::string> icon) {
        if (alive.expired()) return;  // the card is gone
        previewFavicon_ = icon ? std::move(icon) : appState_.favicons().cached(address);
        showPreview();
    });
}

void ShortcutEditorOverlay::save() {
    const std::string address = text::trimmed(url_.get_text().raw());
    // Nothing to save: the keys go where the address is missing, not on
    // the button that was pressed.
    if (address.empty()) {
        url_.grab_focus();
        return;
    }
    const std::string typedTitle = title_.get_text();
    ShortcutItem item;
    item.id = editingID_.value_or(Uuid::random());
    item.title = typedTitle.empty() ? address : typedTitle;
    item.url = address;
    item.sortOrder = static_cast<std::int64_t>(appState_.profileData.get().shortcuts.size());
    item.faviconURL = previewFavicon_ ? previewFavicon_ : appState_.favicons().cached(address);
    appState_.updateShortcut(item);
    dismiss();
    appState_.editingShortcut.set(std::nullopt);
}

void ShortcutEditorOverlay::deleteCurrent() {
    if (!editingID_) return;
    const auto& shortcuts = appState_.profileData.get().shortcuts;
    auto found = std::find_if(shortcuts.begin(), shortcuts.end(),
                              [&](const ShortcutItem& s) { return s.id == *editingID_; });
    if (found == shortcuts.end()) return;
    const ShortcutItem shortcut = *found;  // the list changes under the operation
    appState_.deleteShortcut(shortcut);
    dismiss();
}

}  // namespace quorelle
