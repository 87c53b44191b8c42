#include "window/OmniboxSuggestionsOverlay.h"

#include "state/AppState.h"
#include "state/OmniboxSuggestions.h"
#include "window/ChromeColor.h"
#include "window/ChromeMetrics.h"
#include "window/ChromeStyle.h"
#include "window/LabelFont.h"
#include "window/ViewRefresh.h"

#include <gtkmm/stylecontext.h>

#include <utility>

namespace quorelle {

namespace {

constexpr const char* cardClass = "vx-suggestions-card";
constexpr const char* rowClass = "vx-suggestion-row";
constexpr int cardCornerRadius = 10;
constexpr int rowPaddingH = 14;
constexpr int rowPaddingV = 9;
constexpr int rowFontSize = 13;

// The card's own look, from the theme: toolbar fill, a 1 pt border, rounded
// corners and a soft shadow below; rows are plain text with no button frame.
std::string styleSheetFor(const ThemeSettings& theme) {
    const std::string r = std::to_string(cardCornerRadius) + "px";
    return std::string(".") + cardClass + " {\n" +
           "  background-color: " + ChromeColor::css(ChromeColor::toolbar(theme)) + ";\n" +
           "  border: 1px solid " + ChromeColor::css(ChromeColor::border(theme)) + ";\n" +
           "  border-radius: " + r + ";\n" +
           "  box-shadow: 0 4px 8px " + ChromeColor::css(Color{}, 0.25) + ";\n" +
           "}\n" +
           "button." + rowClass + " {\n" +
           "  background: none; border: none; box-shadow: none; outline: none;\n" +
           "  border-radius: 0; padding: 0; min-height: 0; min-width: 0;\n" +
           "}\n";
}

void useStyle(Gtk::Widget& widget, const Glib::RefPtr<Gtk::CssProvider>& style) {
    widget.get_style_context()->add_provider(style, GTK_STYLE_PROVIDER_PRIORITY_APPLICATION);
}

}  // namespace

OmniboxSuggestionsOverlay::OmniboxSuggestionsOverlay(std::shared_ptr<AppState> appState, bool isFocused)
    : Gtk::Box(Gtk::Orientation::VERTICAL),
      appState_(std::move(appState)),
      focused_(isFocused),
      style_(Gtk::CssProvider::create()),
      refresh_(std::make_unique<ViewRefresh>(appState_->mainQueue(), [this] { refresh(); })) {
    set_name("omnibox-suggestions");
    // Just under the toolbar, inset like the toolbar's own contents.
    set_valign(Gtk::Align::START);
    set_halign(Gtk::Align::FILL);
    set_hexpand(true);
    set_margin_top(ChromeMetrics::px(ChromeMetrics::tabStripHeight + ChromeMetrics::toolbarHeight + 2));
    set_margin_start(ChromeMetrics::px(ChromeMetrics::toolbarPaddingH));
    set_margin_end(ChromeMetrics::px(ChromeMetrics::toolbarPaddingH));

    card_.set_name("omnibox-suggestions-card");
    card_.set_spacing(0);
    card_.add_css_class(cardClass);
    card_.set_overflow(Gtk::Overflow::HIDDEN);
    useStyle(card_, style_);
    append(card_);

    auto schedule = [this] { refresh_->schedule(); };
    connections_.push_back(appState_->omniboxText.signalWillChange().connect(schedule));
    connections_.push_back(appState_->showOmniboxSuggestions.signalWillChange().connect(schedule));
    connections_.push_back(appState_->isEditingOmnibox.signalWillChange().connect(schedule));
    connections_.push_back(appState_->profileData.signalWillChange().connect(schedule));
    refresh();
}

OmniboxSuggestionsOverlay::~OmniboxSuggestionsOverlay() {
    for (auto& connection : connections_) connection.disconnect();
}

void OmniboxSuggestionsOverlay::setFocused(bool isFocused) {
    focused_ = isFocused;
    refresh();
}

void OmniboxSuggestionsOverlay::refresh() {
    updateStyle();
    auto rows = OmniboxSuggestions::visibleRows(*appState_, focused_);
    if (rows != shownRows_) rebuildRows(rows);
    shownRows_ = std::move(rows);
    set_visible(!shownRows_.empty());
}

void OmniboxSuggestionsOverlay::rebuildRows(const std::vector<std::string>& rows) {
    for (auto& row : rows_) card_.remove(row->box);
    rows_.clear();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        rows_.push_back(makeRow(rows[i], i + 1 == rows.size()));
        card_.append(rows_.back()->box);
    }
}

std::unique_ptr<OmniboxSuggestionsOverlay::Row> OmniboxSuggestionsOverlay::makeRow(const std::string& text,
                                                                                   bool last) {
    auto row = std::make_unique<Row>();
    row->label.set_text(text);  // verbatim, never markup
    row->label.set_single_line_mode(true);
    row->label.set_ellipsize(Pango::EllipsizeMode::MIDDLE);
    row->label.set_xalign(0.0f);
    row->label.set_hexpand(true);
    row->label.set_margin_start(rowPaddingH);
    row->label.set_margin_end(rowPaddingH);
    row->label.set_margin_top(rowPaddingV);
    row->label.set_margin_bottom(rowPaddingV);
    row->label.add_css_class(ChromeStyle::primaryText);
    LabelFont::set(row->label, rowFontSize);

    // Clicking must leave keyboard focus in the omnibox field.
    row->button.set_child(row->label);
    row->button.set_has_frame(false);
    row->button.set_focus_on_click(false);
    row->button.set_can_focus(false);
    row->button.set_hexpand(true);
    row->button.add_css_class(rowClass);
    useStyle(row->button, style_);
    row->button.signal_clicked().connect([this, text] { submit(text); });

    row->divider.add_css_class(ChromeStyle::separator);
    row->divider.set_visible(!last);

    row->box.append(row->button);
    row->box.append(row->divider);
    return row;
}

void OmniboxSuggestionsOverlay::submit(const std::string& text) {
    // Copied: the rows are rebuilt once the state announces the submit.
    const std::string submitted = text;
    appState_->handleOmniboxSubmit(submitted);
}

void OmniboxSuggestionsOverlay::updateStyle() {
    std::string sheet = styleSheetFor(appState_->theme());
    if (sheet == styleSheet_) return;
    styleSheet_ = std::move(sheet);
    style_->load_from_data(styleSheet_);
}

}  // namespace quorelle
