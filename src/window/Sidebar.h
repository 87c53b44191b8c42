#pragma once

#include "model/Bookmark.h"
#include "model/HistoryItem.h"
#include "model/ProfileData.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
class ViewRefresh;

// The side panel beside the page: a header with the panel's title and a
// close button, a search field, and the current profile's bookmarks or
// history (newest first) as one button per record. A button loads its
// record's address in the active tab; the panel stays open.
//
// The panel lists bookmarks while the state's sidebar kind is "bookmarks"
// and history otherwise. The search text is the panel's own: it survives
// switching between the two lists and a click on a row, and is cleared when
// the state hides the panel. The close button hides the panel without
// changing the profile's saved sidebar setting.
//
// The window places one panel in each dock slot; the layout shows the one
// on the profile's side. A panel that is not on screen keeps its list until
// it is shown again.
class Sidebar : public Gtk::Box {
public:
    static constexpr double width = 260;
    static constexpr double headerPadding = 12;
    static constexpr double searchPaddingH = 12;

    // What a row shows and loads.
    struct Row {
        Uuid id;
        std::string title;
        std::string url;
        friend bool operator==(const Row&, const Row&) = default;
    };

    explicit Sidebar(std::shared_ptr<AppState> appState);
    ~Sidebar() override;

    // Whether a record with this title and address passes the search: an
    // empty search passes everything; otherwise either field, lower-cased,
    // contains the lower-cased search as typed (not trimmed).
    static bool passesFilter(std::string_view title, std::string_view url, std::string_view search);
    static std::vector<Bookmark> filteredBookmarks(const ProfileData& data, std::string_view search);
    static std::vector<HistoryItem> filteredHistory(const ProfileData& data, std::string_view search);

    std::string search() const { return search_.get_text(); }
    Gtk::Label& titleLabel() { return title_; }
    Gtk::Button& closeButton() { return close_; }
    Gtk::Entry& searchEntry() { return search_; }
    Gtk::ScrolledWindow& scroller() { return scroller_; }
    // The rows listed now, top to bottom, and their buttons.
    const std::vector<Row>& rows() const { return shown_; }
    Gtk::Button& rowButton(std::size_t index) { return *rowButtons_.at(index); }

    // Redraws from the state at once; changes are otherwise picked up on the
    // main queue.
    void refresh();

protected:
    void measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural, int& minimumBaseline,
                       int& naturalBaseline) const override;

private:
    void buildHeader();
    void buildSearch();
    void buildList();
    std::vector<Row> currentRows() const;
    void refreshList();
    void placeRows(const std::vector<Row>& rows);
    void openRow(std::size_t index);

    std::shared_ptr<AppState> appState_;
    Gtk::Box column_{Gtk::Orientation::VERTICAL};
    Gtk::Box header_{Gtk::Orientation::HORIZONTAL};
    Gtk::Label title_;
    Gtk::Box spacer_;
    Gtk::Button close_;
    Gtk::Entry search_;
    Gtk::ScrolledWindow scroller_;
    Gtk::Box list_{Gtk::Orientation::VERTICAL};
    std::vector<std::unique_ptr<Gtk::Button>> rowButtons_;
    std::vector<Row> shown_;
    bool listStale_ = true;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
