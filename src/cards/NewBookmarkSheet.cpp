#include "cards/NewBookmarkSheet.h"

#include "cards/CardFocus.h"
#include "cards/CardText.h"
#include "cards/SheetColumn.h"
#include "cards/ThemedSurface.h"
#include "model/Text.h"
#include "state/AppState.h"
#include "window/ViewRefresh.h"

namespace quorelle {

namespace {

constexpr int rowSpacing = 14;
constexpr int buttonSpacing = 8;
constexpr int padding = 20;

}  // namespace

NewBookmarkSheet::NewBookmarkSheet(AppState& appState, TwoWayBinding<bool> isPresented)
    : appState_(appState),
      isPresented_(std::move(isPresented)),
      column_(Gtk::Orientation::VERTICAL, rowSpacing),
      buttons_(Gtk::Orientation::HORIZONTAL, buttonSpacing),
      refresh_(std::make_unique<ViewRefresh>(appState.mainQueue(), [this] { refresh(); })) {
    set_name("new-bookmark-sheet");
    buildLayout();
    CardFocus::startIn(*this, title_);
    surface_ = std::make_unique<ThemedSurface>(appState_, *this, ThemedSurface::toolbarBackground);
    connections_.push_back(url_.signal_changed().connect([this] { updateSaveButton(); }));
    connections_.push_back(folders_.signalPicked().connect(
        [this](const std::string& selection) { folderID_ = BookmarkFolderPicker::folderIDFor(selection); }));
    connections_.push_back(save_.signal_clicked().connect(sigc::mem_fun(*this, &NewBookmarkSheet::save)));
    connections_.push_back(cancel_.signal_clicked().connect(sigc::mem_fun(*this, &NewBookmarkSheet::close)));
    connections_.push_back(appState_.profileData.signalWillChange().connect([this] { refresh_->schedule(); }));
    updateSaveButton();
    refresh();
}

NewBookmarkSheet::~NewBookmarkSheet() {
    for (auto& connection : connections_) connection.disconnect();
}

void NewBookmarkSheet::buildLayout() {
    SheetColumn::prepare(*this, column_, width, padding, heading_, "New Bookmark");

    title_.set_placeholder_text("Title");
    url_.set_placeholder_text("URL");
    column_.append(title_);
    column_.append(url_);
    column_.append(folders_);
    customIcon_.set_placeholder_text("Custom icon URL (optional)");
    column_.append(customIcon_);

    save_.set_label("Save");
    cancel_.set_label("Cancel");
    buttons_.set_halign(Gtk::Align::CENTER);
    buttons_.append(save_);
    buttons_.append(cancel_);
    column_.append(buttons_);
    set_child(column_);
}

void NewBookmarkSheet::refresh() {
    folders_.setFolders(appState_.profileData.get().bookmarkFolders);
    folders_.setSelection(BookmarkFolderPicker::selectionFor(folderID_));
}

void NewBookmarkSheet::updateSaveButton() { save_.set_sensitive(!text::trimmed(url_.get_text().raw()).empty()); }

void NewBookmarkSheet::save() {
    const std::string address = text::trimmed(url_.get_text().raw());
    if (address.empty()) return;
    const std::string typedTitle = title_.get_text();
    const std::string typedIcon = customIcon_.get_text();
    appState_.createBookmark(typedTitle.empty() ? address : typedTitle, address, folderID_,
                             typedIcon.empty() ? std::nullopt : std::optional<std::string>(typedIcon));
    close();
}

void NewBookmarkSheet::close() { isPresented_.set(false); }

}  // namespace quorelle
