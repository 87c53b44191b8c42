#include "window/Sidebar.h"

#include "model/Text.h"
#include "state/AppState.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <pangomm/attrlist.h>

#include <utility>

namespace quorelle {

namespace {

template <typename Record>
std::vector<Record> filtered(const std::vector<Record>& records, std::string_view search) {
    if (search.empty()) return records;
    std::vector<Record> out;
    for (const auto& record : records)
        if (Sidebar::passesFilter(record.title, record.url, search)) out.push_back(record);
    return out;
}

template <typename Record>
std::vector<Sidebar::Row> rowsOf(const std::vector<Record>& records) {
    std::vector<Sidebar::Row> rows;
    rows.reserve(records.size());
    for (const auto& record : records) rows.push_back({record.id, record.title, record.url});
    return rows;
}

Pango::AttrList headlineAttributes() {
    Pango::AttrList attributes;
    auto weight = Pango::Attribute::create_attr_weight(Pango::Weight::BOLD);
    attributes.insert(weight);
    return attributes;
}

}  // namespace

bool Sidebar::passesFilter(std::string_view title, std::string_view url, std::string_view search) {
    if (search.empty()) return true;
    const std::string needle = text::lowercased(search);
    return text::contains(text::lowercased(title), needle) || text::contains(text::lowercased(url), needle);
}

std::vector<Bookmark> Sidebar::filteredBookmarks(const ProfileData& data, std::string_view search) {
    return filtered(data.bookmarks, search);
}

std::vector<HistoryItem> Sidebar::filteredHistory(const ProfileData& data, std::string_view search) {
    return filtered(data.history, search);
}

Sidebar::Sidebar(std::shared_ptr<AppState> appState)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0),
      appState_(std::move(appState)),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    set_name("sidebar");
    add_css_class(ChromeStyle::sidebar);
    set_size_request(ChromeMetrics::px(width), -1);
    set_hexpand(false);
    set_vexpand(true);

    column_.set_spacing(0);
    column_.set_valign(Gtk::Align::FILL);
    column_.set_hexpand(true);
    // The trailing line is drawn by the panel's style; keep content off it.
    column_.set_margin_end(1);
    append(column_);
    buildHeader();
    buildSearch();
    buildList();

    auto schedule = [this] { refresh_->schedule(); };
    connections_.push_back(appState_->sidebarKind.signalWillChange().connect(schedule));
    connections_.push_back(appState_->profileData.signalWillChange().connect(schedule));
    // A panel put on screen catches up with what changed while it was away.
    connections_.push_back(signal_map().connect([this] {
        if (listStale_) refreshList();
    }));
    refresh();
}

Sidebar::~Sidebar() {
    for (auto& connection : connections_) connection.disconnect();
}

void Sidebar::measure_vfunc(Gtk::Orientation orientation, int forSize, int& minimum, int& natural,
                            int& minimumBaseline, int& naturalBaseline) const {
    Gtk::Box::measure_vfunc(orientation, forSize, minimum, natural, minimumBaseline, naturalBaseline);
    // A fixed width, whatever the titles would like.
    if (orientation == Gtk::Orientation::HORIZONTAL) minimum = natural = ChromeMetrics::px(width);
}

void Sidebar::buildHeader() {
    const int pad = ChromeMetrics::px(headerPadding);
    header_.set_name("sidebar-header");
    header_.set_spacing(6);
    header_.set_margin(pad);
    title_.set_name("sidebar-title");
    title_.add_css_class(ChromeStyle::primaryText);
    title_.add_css_class("heading");
    auto attributes = headlineAttributes();
    title_.set_attributes(attributes);
    title_.set_valign(Gtk::Align::CENTER);
    spacer_.set_hexpand(true);
    close_.set_name("sidebar-close");
    close_.set_icon_name("window-close-symbolic");
    close_.add_css_class("flat");
    close_.add_css_class(ChromeStyle::primaryText);
    close_.set_valign(Gtk::Align::CENTER);
    close_.set_focus_on_click(false);
    // Only the shown panel changes; the profile's saved setting stays.
    connections_.push_back(
        close_.signal_clicked().connect([this] { appState_->setSidebar(SidebarKind::none, false); }));
    header_.append(title_);
    header_.append(spacer_);
    header_.append(close_);
    column_.append(header_);
}

void Sidebar::buildSearch() {
    const int pad = ChromeMetrics::px(searchPaddingH);
    search_.set_name("sidebar-search");
    search_.set_placeholder_text("Search");
    search_.set_margin_start(pad);
    search_.set_margin_end(pad);
    search_.set_hexpand(true);
    connections_.push_back(search_.signal_changed().connect([this] { refreshList(); }));
    column_.append(search_);
}

void Sidebar::buildList() {
    list_.set_name("sidebar-list");
    list_.set_spacing(0);
    scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller_.set_vexpand(true);
    scroller_.set_margin_top(6);
    scroller_.set_child(list_);
    column_.append(scroller_);
}

std::vector<Sidebar::Row> Sidebar::currentRows() const {
    const auto& data = appState_->profileData.get();
    const std::string search = search_.get_text();
    if (appState_->sidebarKind.get() == SidebarKind::bookmarks) return rowsOf(filteredBookmarks(data, search));
    return rowsOf(filteredHistory(data, search));
}

void Sidebar::refresh() {
    const bool bookmarks = appState_->sidebarKind.get() == SidebarKind::bookmarks;
    title_.set_text(bookmarks ? "Bookmarks" : "History");
    // Hiding the panel ends the search; showing it again starts afresh.
    if (appState_->sidebarKind.get() == SidebarKind::none && !search_.get_text().empty()) search_.set_text("");
    refreshList();
}

void Sidebar::refreshList() {
    // History can be long: a panel off screen rebuilds once it is shown.
    if (!get_mapped()) {
        listStale_ = true;
        return;
    }
    listStale_ = false;
    auto rows = currentRows();
    if (rows == shown_) return;
    placeRows(rows);
    shown_ = std::move(rows);
}

void Sidebar::placeRows(const std::vector<Row>& rows) {
    // Buttons are reused from one list to the next; only their text changes.
    while (rowButtons_.size() > rows.size()) {
        list_.remove(*rowButtons_.back());
        rowButtons_.pop_back();
    }
    while (rowButtons_.size() < rows.size()) {
        const std::size_t index = rowButtons_.size();
        auto button = std::make_unique<Gtk::Button>();
        button->set_name("sidebar-row");
        button->add_css_class("flat");
        auto* label = Gtk::make_managed<Gtk::Label>();
        label->set_xalign(0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
        label->add_css_class(ChromeStyle::primaryText);
        button->set_child(*label);
        button->signal_clicked().connect([this, index] { openRow(index); });
        list_.append(*button);
        rowButtons_.push_back(std::move(button));
    }
    for (std::size_t i = 0; i < rows.size(); ++i) {
        auto* label = dynamic_cast<Gtk::Label*>(rowButtons_[i]->get_child());
        if (label && label->get_text().raw() != rows[i].title) label->set_text(rows[i].title);
    }
}

void Sidebar::openRow(std::size_t index) {
    if (index >= shown_.size()) return;
    const std::string url = shown_[index].url;  // the navigation may change the list
    appState_->navigateActive(url);
}

}  // namespace quorelle
