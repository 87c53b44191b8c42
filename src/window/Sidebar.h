#pragma once

#include "model/Bookmark.h"
#include "model/HistoryItem.h"
#include "model/ProfileData.h"
#include "window/SidebarRowModel.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/entry.h>
#include <gtkmm/gridview.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <sigc++/connection.h>
#include <sigc++/signal.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace quorelle {

class AppState;
class ViewRefresh;

// The side panel beside the page: a header with the panel's title and a
// close button, a search field, and the current profile's bookmarks or
// history (newest first), one row per record. A click on a row (or Return
// on it) loads its record's address in the active tab; the panel stays
// open. The list makes widgets only for the rows on screen, so thousands
// of records cost no more than a screenful.
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

    using Row = SidebarRow;

    explicit Sidebar(std::shared_ptr<AppState> appState);
    ~Sidebar() override;

    // Whether a record with this title and address passes the search: an
    // empty search passes everything; otherwise either field, lower-cased,
    // contains the lower-cased search as typed (not trimmed).
    static bool passesFilter(std::string_view title, std::string_view url, std::string_view search);

    std::string search() const { return search_.get_text(); }
    Gtk::Label& titleLabel() { return title_; }
    Gtk::Button& closeButton() { return close_; }
    Gtk::Entry& searchEntry() { return search_; }
    Gtk::ScrolledWindow& scroller() { return scroller_; }
    Gtk::GridView& list() { return list_; }
    // The rows listed now, top to bottom.
    const std::vector<Row>& rows() const { return rows_->rows(); }
    // A row has been opened in the active tab: the window gives that page
    // the keys, which would otherwise go on into the search field.
    sigc::signal<void()>& signalRowOpened() { return rowOpened_; }

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
    void listenForClicks();
    std::vector<Row> currentRows();
    template <typename Record>
    std::vector<Row> rowsPassing(const std::vector<Record>& records, std::string_view search);
    void refreshList();
    void openRow(std::size_t index);
    void openRowAt(double x, double y);

    std::shared_ptr<AppState> appState_;
    Gtk::Box column_{Gtk::Orientation::VERTICAL};
    Gtk::Box header_{Gtk::Orientation::HORIZONTAL};
    Gtk::Label title_;
    Gtk::Box spacer_;
    Gtk::Button close_;
    Gtk::Entry search_;
    Gtk::ScrolledWindow scroller_;
    Glib::RefPtr<SidebarRowModel> rows_;
    Gtk::GridView list_;
    bool listStale_ = true;
    // The shown list's titles and addresses, lower-cased; made by the first
    // search after the records or the kind change.
    std::optional<std::vector<std::pair<std::string, std::string>>> searchIndex_;
    std::unique_ptr<ViewRefresh> refresh_;
    std::vector<sigc::connection> connections_;
    sigc::signal<void()> rowOpened_;
};

}  // namespace quorelle
