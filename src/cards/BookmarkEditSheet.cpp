#include "cards/BookmarkEditSheet.h"

#include "cards/CardFocus.h"
#include "cards/CardText.h"
#include "cards/IdentityRow.h"
#include "cards/SheetColumn.h"
#include "cards/ThemedSurface.h"
#include "state/AppState.h"
#include "window/ViewRefresh.h"

namespace quorelle {

namespace {

constexpr int rowSpacing = 14;
constexpr int fieldSpacing = 8;
constexpr int buttonSpacing = 10;
constexpr int rowItemSpacing = 8;
constexpr int padding = 20;

}  // namespace

BookmarkEditSheet::BookmarkEditSheet(AppState& appState, FaviconImageCache& images, TwoWayBinding<bool> isPresented,
                                     TwoWayBinding<Bookmark> bookmark, std::function<void()> onDelete)
    : appState_(appState),
      isPresented_(std::move(isPresented)),
      bookmark_(std::move(bookmark)),
      onDelete_(std::move(onDelete)),
      column_(Gtk::Orientation::VERTICAL, rowSpacing),
      identityRow_(Gtk::Orientation::HORIZONTAL, rowItemSpacing),
      preview_(images, bookmark_.get().effectiveIconURL(), bookmark_.get().displayLetter(), previewSize),
      textColumn_(Gtk::Orientation::VERTICAL, fieldSpacing),
      buttons_(Gtk::Orientation::VERTICAL, buttonSpacing),
      refresh_(std::make_unique<ViewRefresh>(appState.mainQueue(), [this] { refresh(); })) {
    set_name("bookmark-edit-sheet");
    buildLayout();
    CardFocus::startIn(*this, title_);
    surface_ = std::make_unique<ThemedSurface>(appState_, *this, ThemedSurface::toolbarBackground);
    connectFields();
    auto schedule = [this] { refresh_->schedule(); };
    connections_.push_back(appState_.profileData.signalWillChange().connect(schedule));
    if (bookmark_.willChange) connections_.push_back(bookmark_.willChange->connect(schedule));
    refresh();
}

BookmarkEditSheet::~BookmarkEditSheet() {
    for (auto* connection : {&titleChanged_, &urlChanged_, &customIconChanged_}) connection->disconnect();
    for (auto& connection : connections_) connection.disconnect();
}

void BookmarkEditSheet::buildLayout() {
    SheetColumn::prepare(*this, column_, width, padding, heading_, "Edit Bookmark");

    IdentityRow::prepare(identityRow_, preview_, textColumn_, title_, url_);
    column_.append(identityRow_);

    column_.append(folders_);
    customIcon_.set_placeholder_text("Custom icon URL");
    column_.append(customIcon_);

    save_.set_label("Save");
    useFavicon_.set_label("Use Favicon");
    delete_.set_label("Delete");
    delete_.add_css_class("destructive-action");
    cancel_.set_label("Cancel");
    buttons_.set_halign(Gtk::Align::START);
    for (auto* button : {&save_, &useFavicon_, &delete_, &cancel_}) {
        button->set_halign(Gtk::Align::START);
        buttons_.append(*button);
    }
    column_.append(buttons_);
    set_child(column_);
}

void BookmarkEditSheet::connectFields() {
    titleChanged_ = title_.signal_changed().connect([this] {
        const std::string text = title_.get_text();
        edit([&](Bookmark& b) { b.title = text; });
    });
    urlChanged_ = url_.signal_changed().connect([this] {
        const std::string text = url_.get_text();
        edit([&](Bookmark& b) { b.url = text; });
    });
    customIconChanged_ = customIcon_.signal_changed().connect([this] {
        const std::string text = customIcon_.get_text();
        edit([&](Bookmark& b) { b.customIconURL = text.empty() ? std::nullopt : std::optional<std::string>(text); });
    });
    folders_.signalPicked().connect([this](const std::string& selection) {
        const auto folderID = BookmarkFolderPicker::folderIDFor(selection);
        edit([&](Bookmark& b) { b.folderID = folderID; });
    });
    save_.signal_clicked().connect(sigc::mem_fun(*this, &BookmarkEditSheet::save));
    useFavicon_.signal_clicked().connect(sigc::mem_fun(*this, &BookmarkEditSheet::useFavicon));
    delete_.signal_clicked().connect(sigc::mem_fun(*this, &BookmarkEditSheet::deleteBookmark));
    cancel_.signal_clicked().connect(sigc::mem_fun(*this, &BookmarkEditSheet::close));
}

void BookmarkEditSheet::refresh() {
    const Bookmark bookmark = bookmark_.get();
    CardText::showText(title_, titleChanged_, bookmark.title);
    CardText::showText(url_, urlChanged_, bookmark.url);
    CardText::showText(customIcon_, customIconChanged_, bookmark.customIconURL.value_or(""));
    folders_.setFolders(appState_.profileData.get().bookmarkFolders);
    folders_.setSelection(BookmarkFolderPicker::selectionFor(bookmark.folderID));
    showPreview(bookmark);
}

void BookmarkEditSheet::edit(const std::function<void(Bookmark&)>& change) {
    Bookmark bookmark = bookmark_.get();
    change(bookmark);
    bookmark_.set(bookmark);
    showPreview(bookmark);
}

void BookmarkEditSheet::showPreview(const Bookmark& bookmark) {
    preview_.setIcon(bookmark.effectiveIconURL(), bookmark.displayLetter());
}

void BookmarkEditSheet::save() {
    appState_.updateBookmark(bookmark_.get());
    close();
}

void BookmarkEditSheet::useFavicon() {
    edit([](Bookmark& b) { b.customIconURL = std::nullopt; });
    CardText::showText(customIcon_, customIconChanged_, "");
}

void BookmarkEditSheet::deleteBookmark() {
    if (onDelete_) onDelete_();
    close();
}

void BookmarkEditSheet::close() { isPresented_.set(false); }

}  // namespace quorelle
