#include "cards/BookmarkFolderPicker.h"

#include "web/SortOrder.h"

#include <gtk/gtk.h>

namespace quorelle {

BookmarkFolderPicker::BookmarkFolderPicker() : Gtk::Box(Gtk::Orientation::HORIZONTAL, 8) {
    set_name("folder-picker");
    label_.set_text("Folder");
    label_.set_halign(Gtk::Align::START);
    append(label_);
    dropDown_.set_hexpand(true);
    dropDown_.set_halign(Gtk::Align::FILL);
    append(dropDown_);
    setFolders({});
    selectedConnection_ = dropDown_.property_selected().signal_changed().connect(
        sigc::mem_fun(*this, &BookmarkFolderPicker::onSelectedChanged));
}

BookmarkFolderPicker::~BookmarkFolderPicker() { selectedConnection_.disconnect(); }

std::string BookmarkFolderPicker::selectionFor(const std::optional<Uuid>& folderID) {
    return folderID ? folderID->toString() : std::string();
}

std::optional<Uuid> BookmarkFolderPicker::folderIDFor(std::string_view selection) {
    if (selection.empty()) return std::nullopt;
    return Uuid::parse(selection);
}

void BookmarkFolderPicker::setFolders(const std::vector<BookmarkFolder>& folders) {
    std::vector<std::string> values{""};
    std::vector<std::string> titles{std::string(noneTitle)};
    for (const auto& folder : SortOrder::sorted(folders)) {
        values.push_back(selectionFor(folder.id));
        titles.push_back(folder.name);
    }
    if (values == values_ && titles == titles_) return;
    values_ = std::move(values);
    titles_ = std::move(titles);
    std::vector<Glib::ustring> shown(titles_.begin(), titles_.end());
    entries_ = Gtk::StringList::create(shown);
    updating_ = true;
    dropDown_.set_model(entries_);
    updating_ = false;
    showSelection();
}

void BookmarkFolderPicker::setSelection(std::string_view selection) {
    selection_ = std::string(selection);
    showSelection();
}

std::vector<std::string> BookmarkFolderPicker::entryTitles() const { return titles_; }

void BookmarkFolderPicker::showSelection() {
    // Ids are compared as values, whatever the case of their text.
    const auto wanted = folderIDFor(selection_);
    guint position = GTK_INVALID_LIST_POSITION;
    for (std::size_t i = 0; i < values_.size(); ++i) {
        const bool matches = values_[i].empty() ? selection_.empty() : (wanted && folderIDFor(values_[i]) == wanted);
        if (matches) {
            position = static_cast<guint>(i);
            break;
        }
    }
    if (dropDown_.get_selected() == position) return;
    updating_ = true;
    dropDown_.set_selected(position);
    updating_ = false;
}

void BookmarkFolderPicker::onSelectedChanged() {
    if (updating_) return;
    const guint position = dropDown_.get_selected();
    if (position == GTK_INVALID_LIST_POSITION || position >= values_.size()) return;
    const std::string chosen = values_[position];
    selection_ = chosen;
    picked_.emit(chosen);
}

}  // namespace quorelle
