#include "window/Sidebar.h"

#include "model/Text.h"
#include "state/AppState.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <gtkmm/gestureclick.h>
#include <gtkmm/noselection.h>
#include <gtkmm/signallistitemfactory.h>
#include <pangomm/attrlist.h>

#include <utility>

namespace quorelle {

namespace {

template <typename Record>
std::vector<Sidebar::Row> allRows(const std::vector<Record>& records) {
    std::vector<Sidebar::Row> rows;
    rows.reserve(records.size());
    for (const auto& record : records) rows.push_back({record.id, record.title, record.url});
    return rows;
}

// Whether a lower-cased title or address holds the lower-cased search.
bool matchesLowered(std::string_view title, std::string_view url, std::string_view needle) {
    return text::contains(title, needle) || text::contains(url, needle);
}

// Each record's title and address, lower-cased once for every search.
template <typename Record>
std::vector<std::pair<std::string, std::string>> searchIndex(const std::vector<Record>& records) {
    std::vector<std::pair<std::string, std::string>> index;
    index.reserve(records.size());
    for (const auto& record : records) index.emplace_back(text::lowercased(record.title), text::lowercased(record.url));
    return index;
}

// Where a row's label keeps the place it shows.
const char* const placeKey = "quorelle-sidebar-place";

// A row: the title on one line, ellipsized. Each row's label draws the
// place it is bound to, and keeps that place for a click to find.
Glib::RefPtr<Gtk::ListItemFactory> rowFactory() {
    auto factory = Gtk::SignalListItemFactory::create();
    factory->signal_setup().connect([](const Glib::RefPtr<Gtk::ListItem>& item) {
        auto* label = Gtk::make_managed<Gtk::Label>();
        label->set_name("sidebar-row");
        label->set_xalign(0);
        label->set_single_line_mode(true);
        label->set_ellipsize(Pango::EllipsizeMode::END);
        label->add_css_class(ChromeStyle::primaryText);
        item->set_child(*label);
    });
    factory->signal_bind().connect([](const Glib::RefPtr<Gtk::ListItem>& item) {
        auto place = std::dynamic_pointer_cast<SidebarRowModel::Item>(item->get_item());
        auto* label = dynamic_cast<Gtk::Label*>(item->get_child());
        if (!place || !label) return;
        place->showIn(label);
        label->set_data(placeKey, place.get());
    });
    factory->signal_unbind().connect([](const Glib::RefPtr<Gtk::ListItem>& item) {
        if (auto place = std::dynamic_pointer_cast<SidebarRowModel::Item>(item->get_item())) place->showIn(nullptr);
        if (auto* label = item->get_child()) label->set_data(placeKey, nullptr);
    });
    return factory;
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
    return matchesLowered(text::lowercased(title), text::lowercased(url), text::lowercased(search));
}

Sidebar::Sidebar(std::shared_ptr<AppState> appState)
    : Gtk::Box(Gtk::Orientation::HORIZONTAL, 0),
      appState_(std::move(appState)),
      rows_(SidebarRowModel::create()),
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

    auto schedule = [this] {
        searchIndex_.reset();
        refresh_->schedule();
    };
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
    // A one-column grid: of the toolkit's lazy lists it keeps the fewest row
    // widgets alive (a list view keeps 200, and a search that empties or
    // refills the list would remake them all on one keystroke).
    list_.set_name("sidebar-list");
    list_.set_max_columns(1);
    list_.set_model(Gtk::NoSelection::create(rows_));
    list_.set_factory(rowFactory());
    listenForClicks();
    scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller_.set_vexpand(true);
    scroller_.set_margin_top(6);
    scroller_.set_child(list_);
    column_.append(scroller_);
}

void Sidebar::listenForClicks() {
    // Every click on a row loads it, as a button's would. The list's own
    // click handling never sees the press (it would load on the second
    // click of a double click, and not at all on the second of two quick
    // single clicks); Return on a row still loads through the list.
    auto click = Gtk::GestureClick::create();
    click->set_button(GDK_BUTTON_PRIMARY);
    click->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
    connections_.push_back(click->signal_pressed().connect(
        [click = click.get()](int, double, double) { click->set_state(Gtk::EventSequenceState::CLAIMED); }));
    connections_.push_back(click->signal_released().connect([this](int, double x, double y) { openRowAt(x, y); }));
    list_.add_controller(click);
    connections_.push_back(list_.signal_activate().connect([this](guint position) { openRow(position); }));
}

template <typename Record>
std::vector<Sidebar::Row> Sidebar::rowsPassing(const std::vector<Record>& records, std::string_view search) {
    if (search.empty()) return allRows(records);
    if (!searchIndex_) searchIndex_ = searchIndex(records);
    const std::string needle = text::lowercased(search);
    std::vector<Row> rows;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const auto& [title, url] = (*searchIndex_)[i];
        if (matchesLowered(title, url, needle)) rows.push_back({records[i].id, records[i].title, records[i].url});
    }
    return rows;
}

std::vector<Sidebar::Row> Sidebar::currentRows() {
    const auto& data = appState_->profileData.get();
    const std::string search = search_.get_text();
    if (appState_->sidebarKind.get() == SidebarKind::bookmarks) return rowsPassing(data.bookmarks, search);
    return rowsPassing(data.history, search);
}

void Sidebar::refresh() {
    const bool bookmarks = appState_->sidebarKind.get() == SidebarKind::bookmarks;
    title_.set_text(bookmarks ? "Bookmarks" : "History");
    // Hiding the panel ends the search; showing it again starts afresh.
    if (appState_->sidebarKind.get() == SidebarKind::none && !search_.get_text().empty()) search_.set_text("");
    refreshList();
}

void Sidebar::refreshList() {
    // History can be long: a panel off screen catches up once it is shown.
    if (!get_mapped()) {
        listStale_ = true;
        return;
    }
    listStale_ = false;
    rows_->assign(currentRows());
}

void Sidebar::openRowAt(double x, double y) {
    Gtk::Widget* hit = list_.pick(x, y);
    while (hit && hit->get_parent() != &list_) hit = hit->get_parent();
    auto* label = hit ? hit->get_first_child() : nullptr;
    if (auto* place = label ? static_cast<SidebarRowModel::Item*>(label->get_data(placeKey)) : nullptr)
        openRow(place->position());
}

void Sidebar::openRow(std::size_t index) {
    if (index >= rows().size()) return;
    const std::string url = rows()[index].url;  // the navigation may change the list
    appState_->navigateActive(url);
    rowOpened_.emit();
}

}  // namespace quorelle
