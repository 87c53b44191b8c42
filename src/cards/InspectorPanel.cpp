#include "cards/InspectorPanel.h"

#include "cards/CardFocus.h"
#include "model/BrowserTab.h"
#include "state/AppState.h"
#include "web/IScriptableView.h"
#include "web/TabWebViewHost.h"
#include "web/TabWebViewStore.h"
#include "window/ChromeColor.h"
#include "window/ChromeStyle.h"
#include "window/ViewRefresh.h"

#include <utility>

namespace quorelle {
namespace {

constexpr const char* headerClass = "vx-inspector-header";
constexpr const char* headingClass = "vx-inspector-heading";
constexpr const char* noteClass = "vx-inspector-note";
constexpr const char* rowLabelClass = "vx-inspector-row-label";
constexpr const char* rowValueClass = "vx-inspector-row-value";
constexpr const char* captionClass = "vx-inspector-caption";
constexpr const char* selectedCaptionClass = "vx-inspector-selected-caption";
constexpr const char* selectedHTMLClass = "vx-inspector-selected-html";
constexpr const char* editorClass = "vx-inspector-editor";
constexpr const char* editorFrameClass = "vx-inspector-editor-frame";

constexpr std::string_view emDash = "\u2014";
constexpr std::string_view nativeYes = "Available (WebKit)";
constexpr std::string_view nativeNo = "Not available \u2014 using fallback panel";
constexpr std::string_view htmlCaptionText = "Document HTML (editable where WebKit allows JavaScript injection)";
constexpr std::string_view cssCaptionText = "Inject CSS via JavaScript (visible page only)";

std::string orDash(const std::string& text) { return text.empty() ? std::string(emDash) : text; }

std::string bufferText(Gtk::TextView& view) { return view.get_buffer()->get_text(true); }

}  // namespace

std::string_view InspectorPanel::rawValue(InspectorTab tab) {
    switch (tab) {
    case InspectorTab::overview: return "Overview";
    case InspectorTab::html: return "HTML";
    case InspectorTab::css: return "CSS";
    }
    return "";
}

std::optional<InspectorPanel::InspectorTab> InspectorPanel::inspectorTab(std::string_view raw) {
    for (auto tab : allTabs)
        if (rawValue(tab) == raw) return tab;
    return std::nullopt;
}

InspectorPanel::ViewLookup InspectorPanel::lookupIn(TabWebViewStore& webViews) {
    TabWebViewStore* store = &webViews;
    return ViewLookup{[store](const Uuid& id) -> IScriptableView* { return store->host(id); },
                      [store](const Uuid& id) -> IInspectableView* { return store->host(id); }};
}

InspectorPanel::CardFactory InspectorPanel::cardFactory(InspectorService& inspector, TabWebViewStore& webViews) {
    return [&inspector, &webViews](AppState& state) -> std::unique_ptr<Gtk::Widget> {
        return std::make_unique<InspectorPanel>(state, inspector, lookupIn(webViews));
    };
}

std::string InspectorPanel::styleSheet(const ThemeSettings& theme) {
    const auto toolbar = ChromeColor::css(ChromeColor::toolbar(theme));
    const auto muted = ChromeColor::css(ChromeColor::mutedText(theme));
    const auto border = ChromeColor::css(ChromeColor::border(theme));
    const auto orange = ChromeColor::warningOrange();
    std::string css;
    css += std::string(".") + headerClass + " { background-color: " + toolbar + "; padding: 16px; }\n";
    css += std::string(".") + headingClass + " { font-size: 16px; font-weight: 600; }\n";
    css += std::string(".") + noteClass + " { font-size: 12px; color: " + ChromeColor::css(orange) +
           "; background-color: " + ChromeColor::css(orange, 0.12) + "; padding: 10px; border-radius: 8px; }\n";
    css += std::string(".") + rowLabelClass + " { font-size: 11px; font-weight: 500; color: " + muted + "; }\n";
    css += std::string(".") + rowValueClass + " { font-size: 12px; }\n";
    css += std::string(".") + captionClass + " { font-size: 12px; color: " + muted + "; }\n";
    css += std::string(".") + selectedCaptionClass + " { font-size: 12px; font-weight: 500; }\n";
    css += std::string(".") + selectedHTMLClass + " { font-size: 11px; font-family: monospace; padding: 8px; "
           "border-radius: 6px; background-color: " + toolbar + "; }\n";
    css += std::string(".") + editorClass + " { font-size: 11px; }\n";
    css += std::string(".") + editorFrameClass + " { border: 1px solid " + border + "; border-radius: 6px; }\n";
    return css;
}

InspectorPanel::InspectorPanel(AppState& appState, InspectorService& inspector, ViewLookup views)
    : Gtk::Box(Gtk::Orientation::VERTICAL, 0),
      appState_(appState),
      inspector_(inspector),
      views_(std::move(views)),
      style_(appState, &InspectorPanel::styleSheet) {
    set_name("inspector-panel");
    add_css_class(ChromeStyle::frame);
    set_size_request(minimumWidth, minimumHeight);
    buildHeader();
    buildSegments();
    // The first segment has no field: the focus starts on the first control.
    CardFocus::startIn(*this, refreshButton_);

    buttonsRefresh_ = std::make_unique<ViewRefresh>(appState_.mainQueue(), [this] { updateButtons(); });
    auto schedule = [this] { buttonsRefresh_->schedule(); };
    connections_.push_back(appState_.tabs.signalWillChange().connect(schedule));
    connections_.push_back(appState_.inspectorTabID.signalWillChange().connect(schedule));
    connections_.push_back(htmlEditor_.get_buffer()->signal_changed().connect([this] { updateButtons(); }));
    connections_.push_back(cssEditor_.get_buffer()->signal_changed().connect([this] { updateButtons(); }));
    // The page is read once, when the panel first comes on screen.
    connections_.push_back(signal_map().connect([this] {
        if (appeared_) return;
        appeared_ = true;
        refresh();
    }));
    showContext();
    showNote();
    updateButtons();
}

InspectorPanel::~InspectorPanel() {
    for (auto& connection : connections_) connection.disconnect();
}

void InspectorPanel::buildHeader() {
    header_.set_name("inspector-header");
    style_.attach(header_, headerClass);
    style_.attach(heading_, headingClass);
    headerSpacer_.set_hexpand(true);
    refreshButton_.set_name("inspector-refresh");
    nativeButton_.set_name("inspector-native");
    closeButton_.set_name("inspector-close");
    refreshButton_.signal_clicked().connect([this] { refresh(); });
    nativeButton_.signal_clicked().connect([this] { tryNativeInspector(); });
    closeButton_.signal_clicked().connect([this] { close(); });
    for (Gtk::Widget* item : std::initializer_list<Gtk::Widget*>{&heading_, &headerSpacer_, &refreshButton_,
                                                                 &nativeButton_, &closeButton_}) {
        item->set_valign(Gtk::Align::CENTER);
        header_.append(*item);
    }
    append(header_);
}

void InspectorPanel::buildSegments() {
    stack_.set_name("inspector-segments");
    stack_.set_vhomogeneous(false);
    stack_.set_hhomogeneous(false);
    stack_.add(buildOverview(), std::string(rawValue(InspectorTab::overview)),
               std::string(rawValue(InspectorTab::overview)));
    stack_.add(buildEditorSegment(htmlSegment_, htmlCaption_, htmlCaptionText, htmlFrame_, htmlEditor_, 220,
                                  applyButton_),
               std::string(rawValue(InspectorTab::html)), std::string(rawValue(InspectorTab::html)));
    stack_.add(buildEditorSegment(cssSegment_, cssCaption_, cssCaptionText, cssFrame_, cssEditor_, 120,
                                  injectButton_),
               std::string(rawValue(InspectorTab::css)), std::string(rawValue(InspectorTab::css)));
    stack_.set_visible_child(std::string(rawValue(InspectorTab::overview)));
    applyButton_.set_name("inspector-apply-html");
    injectButton_.set_name("inspector-inject-css");
    htmlEditor_.set_name("inspector-html-editor");
    cssEditor_.set_name("inspector-css-editor");
    applyButton_.signal_clicked().connect([this] { applyHTML(); });
    injectButton_.signal_clicked().connect([this] { injectCSS(); });

    switcher_.set_name("inspector-segment-control");
    switcher_.set_stack(stack_);
    switcher_.set_margin_start(16);
    switcher_.set_margin_end(16);
    switcher_.set_margin_bottom(8);
    append(switcher_);

    note_.set_name("inspector-note");
    note_.set_wrap(true);
    note_.set_xalign(0);
    note_.set_hexpand(true);
    style_.attach(note_, noteClass);
    content_.set_margin(16);
    content_.append(note_);
    content_.append(stack_);
    scroller_.set_policy(Gtk::PolicyType::NEVER, Gtk::PolicyType::AUTOMATIC);
    scroller_.set_vexpand(true);
    scroller_.set_child(content_);
    append(scroller_);
}

void InspectorPanel::addLabelledRow(Gtk::Box& into, const char* label, Gtk::Label& value) {
    auto row = std::make_unique<Gtk::Box>(Gtk::Orientation::VERTICAL, 2);
    auto caption = std::make_unique<Gtk::Label>(label);
    caption->set_xalign(0);
    style_.attach(*caption, rowLabelClass);
    style_.attach(value, rowValueClass);
    value.set_xalign(0);
    value.set_selectable(true);
    value.set_wrap(true);
    value.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    row->append(*caption);
    row->append(value);
    into.append(*row);
    rowParts_.push_back(std::move(caption));
    rowParts_.push_back(std::move(row));
}

Gtk::Widget& InspectorPanel::buildOverview() {
    overview_.set_name("inspector-overview");
    urlValue_.set_name("inspector-url");
    titleValue_.set_name("inspector-title");
    nativeValue_.set_name("inspector-native-status");
    addLabelledRow(overview_, "URL", urlValue_);
    addLabelledRow(overview_, "Title", titleValue_);
    addLabelledRow(overview_, "Native Web Inspector", nativeValue_);
    selectedBlock_.set_name("inspector-selected-element");
    selectedCaption_.set_xalign(0);
    style_.attach(selectedCaption_, selectedCaptionClass);
    selectedHTML_.set_xalign(0);
    selectedHTML_.set_hexpand(true);
    selectedHTML_.set_selectable(true);
    selectedHTML_.set_wrap(true);
    selectedHTML_.set_wrap_mode(Pango::WrapMode::WORD_CHAR);
    style_.attach(selectedHTML_, selectedHTMLClass);
    selectedBlock_.append(selectedCaption_);
    selectedBlock_.append(selectedHTML_);
    overview_.append(selectedBlock_);
    return overview_;
}

Gtk::Widget& InspectorPanel::buildEditorSegment(Gtk::Box& segment, Gtk::Label& caption, std::string_view captionText,
                                                Gtk::ScrolledWindow& frame, Gtk::TextView& editor, int minimumHeight,
                                                Gtk::Button& action) {
    caption.set_text(std::string(captionText));
    caption.set_xalign(0);
    caption.set_wrap(true);
    style_.attach(caption, captionClass);
    editor.set_monospace(true);
    editor.set_wrap_mode(Gtk::WrapMode::WORD_CHAR);
    style_.attach(editor, editorClass);
    frame.set_child(editor);
    frame.set_min_content_height(minimumHeight);
    frame.set_policy(Gtk::PolicyType::AUTOMATIC, Gtk::PolicyType::AUTOMATIC);
    frame.set_hexpand(true);
    style_.attach(frame, editorFrameClass);
    action.set_halign(Gtk::Align::START);
    segment.append(caption);
    segment.append(frame);
    segment.append(action);
    return segment;
}

// ---- the inspected page ----------------------------------------------------------

IScriptableView* InspectorPanel::activeWebView() const {
    const auto& id = appState_.inspectorTabID.get();
    if (!id || !views_.scriptable) return nullptr;
    return views_.scriptable(*id);
}

void InspectorPanel::refresh() {
    IScriptableView* view = activeWebView();
    if (!view) {
        limitationNote_ = std::string(noViewNote);
        showNote();
        updateButtons();
        return;
    }
    // The note follows the tab in front, which may not be the inspected one.
    const auto active = appState_.activeTab();
    limitationNote_ = std::string(active && active->isInternal.get() ? internalPageNote : webPageNote);
    nativeAvailable_ = views_.inspectable && views_.inspectable(*appState_.inspectorTabID.get()) != nullptr;
    showNote();
    showContext();
    inspector_.fetchPageContext(*view, [this, alive = std::weak_ptr<bool>(alive_)](InspectorPageContext context) {
        if (alive.expired()) return;
        pageContext_ = std::move(context);
        // The page's document replaces whatever was typed.
        htmlEditor_.get_buffer()->set_text(pageContext_.documentHTML);
        showContext();
        updateButtons();
    });
    updateButtons();
}

void InspectorPanel::applyHTML() {
    IScriptableView* view = activeWebView();
    if (!view) return;
    inspector_.applyHTML(editableHTML(), *view,
                         [this, alive = std::weak_ptr<bool>(alive_), state = appState_.weak_from_this()](bool ok) {
                             if (auto s = state.lock())
                                 s->toastMessage.set(std::string(ok ? htmlAppliedToast : htmlFailedToast));
                             if (ok && !alive.expired()) refresh();
                         });
}

void InspectorPanel::injectCSS() {
    IScriptableView* view = activeWebView();
    if (!view) return;
    inspector_.injectCSS(injectCSSText(), *view, [state = appState_.weak_from_this()](bool ok) {
        if (auto s = state.lock()) s->toastMessage.set(std::string(ok ? cssInjectedToast : cssFailedToast));
    });
}

void InspectorPanel::tryNativeInspector() {
    const auto tab = appState_.activeTab();
    if (!tab) return;
    InspectorService::ViewForTab lookup = views_.inspectable;
    if (!lookup) lookup = [](const Uuid&) -> IInspectableView* { return nullptr; };
    InspectorService::openInspector(*tab, appState_, lookup);
}

void InspectorPanel::close() { appState_.showInspectorPanel.set(false); }

// ---- drawing ---------------------------------------------------------------------

std::string InspectorPanel::editableHTML() const { return bufferText(const_cast<Gtk::TextView&>(htmlEditor_)); }

std::string InspectorPanel::injectCSSText() const { return bufferText(const_cast<Gtk::TextView&>(cssEditor_)); }

InspectorPanel::InspectorTab InspectorPanel::selectedTab() const {
    const auto name = const_cast<Gtk::Stack&>(stack_).get_visible_child_name();
    return inspectorTab(name.raw()).value_or(InspectorTab::overview);
}

void InspectorPanel::setSelectedTab(InspectorTab tab) { stack_.set_visible_child(std::string(rawValue(tab))); }

void InspectorPanel::showContext() {
    urlValue_.set_text(orDash(pageContext_.url));
    titleValue_.set_text(orDash(pageContext_.title));
    nativeValue_.set_text(std::string(nativeAvailable_ ? nativeYes : nativeNo));
    const auto& selected = pageContext_.selectedElementHTML;
    const bool hasSelection = selected && !selected->empty();
    selectedHTML_.set_text(hasSelection ? *selected : std::string());
    selectedBlock_.set_visible(hasSelection);
}

void InspectorPanel::showNote() {
    note_.set_text(limitationNote_);
    note_.set_visible(!limitationNote_.empty());
}

void InspectorPanel::updateButtons() {
    const bool hasView = activeWebView() != nullptr;
    applyButton_.set_sensitive(hasView && htmlEditor_.get_buffer()->size() > 0);
    injectButton_.set_sensitive(hasView && cssEditor_.get_buffer()->size() > 0);
}

}  // namespace quorelle
