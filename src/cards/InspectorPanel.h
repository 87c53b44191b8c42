#pragma once

#include "cards/ThemedPanelStyle.h"
#include "model/Uuid.h"
#include "web/InspectorPageContext.h"
#include "web/InspectorService.h"

#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/scrolledwindow.h>
#include <gtkmm/stack.h>
#include <gtkmm/stackswitcher.h>
#include <gtkmm/textview.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quorelle {

class AppState;
class IScriptableView;
class TabWebViewStore;
class ViewRefresh;

// The browser's own page inspector: a card that shows what the inspector
// service reads from the page of the tab named by the state's inspector tab
// id (address, title, document, selected element), and lets the user replace
// the page's HTML or inject a stylesheet. Three segments (Overview, HTML,
// CSS) under a header with Refresh, "Try Native Inspector" and Close.
//
// It reads the page once when it first comes on screen and on Refresh; it
// changes the page only through the service. Its editors and segment are its
// own and start afresh with every panel; everything else goes through the
// state. Page answers that arrive after the panel is gone change nothing in
// it.
class InspectorPanel : public Gtk::Box {
public:
    // The segment choice, in the order of the segment control.
    enum class InspectorTab { overview, html, css };
    static constexpr InspectorTab allTabs[] = {InspectorTab::overview, InspectorTab::html, InspectorTab::css};
    // The segment's label: "Overview", "HTML" or "CSS".
    static std::string_view rawValue(InspectorTab tab);
    // Exactly the three labels; anything else gives none.
    static std::optional<InspectorTab> inspectorTab(std::string_view rawValue);

    // How the panel finds a tab's web view: as a page to script and as a view
    // that may open the engine's inspector. nullptr when the tab has none.
    struct ViewLookup {
        std::function<IScriptableView*(const Uuid& tabID)> scriptable;
        InspectorService::ViewForTab inspectable;
    };
    // The lookup through the process-wide web view cache.
    static ViewLookup lookupIn(TabWebViewStore& webViews);
    // Makes a new panel for a window's state each time the card is presented.
    using CardFactory = std::function<std::unique_ptr<Gtk::Widget>(AppState&)>;
    static CardFactory cardFactory(InspectorService& inspector, TabWebViewStore& webViews);

    static constexpr std::string_view noViewNote = "No active web view for inspection.";
    static constexpr std::string_view internalPageNote =
        "Internal vx:// pages are rendered as local HTML. Native Web Inspector has limited access. This fallback "
        "shows injected HTML/CSS capabilities only.";
    static constexpr std::string_view webPageNote =
        "The user-agent setting does not change Sec-CH-UA Client Hints. The native Web Inspector depends on WebKit "
        "developer extras.";
    static constexpr std::string_view htmlAppliedToast = "HTML applied";
    static constexpr std::string_view htmlFailedToast = "Could not apply HTML on this page";
    static constexpr std::string_view cssInjectedToast = "CSS injected";
    static constexpr std::string_view cssFailedToast = "Could not inject CSS on this page";
    static constexpr int minimumWidth = 520;
    static constexpr int minimumHeight = 420;

    InspectorPanel(AppState& appState, InspectorService& inspector, ViewLookup views);
    ~InspectorPanel() override;
    InspectorPanel(const InspectorPanel&) = delete;
    InspectorPanel& operator=(const InspectorPanel&) = delete;

    // Reads the inspected page again; the HTML editor takes its document.
    void refresh();
    void applyHTML();
    void injectCSS();
    void tryNativeInspector();
    void close();

    // ---- the panel's working state --------------------------------------------
    const InspectorPageContext& pageContext() const { return pageContext_; }
    std::string editableHTML() const;
    std::string injectCSSText() const;
    bool nativeAvailable() const { return nativeAvailable_; }
    const std::string& limitationNote() const { return limitationNote_; }
    InspectorTab selectedTab() const;
    void setSelectedTab(InspectorTab tab);

    // ---- controls -------------------------------------------------------------
    Gtk::Button& refreshButton() { return refreshButton_; }
    Gtk::Button& nativeInspectorButton() { return nativeButton_; }
    Gtk::Button& closeButton() { return closeButton_; }
    Gtk::Button& applyHTMLButton() { return applyButton_; }
    Gtk::Button& injectCSSButton() { return injectButton_; }
    Gtk::StackSwitcher& segmentControl() { return switcher_; }
    Gtk::Stack& segments() { return stack_; }
    Gtk::Label& noteLabel() { return note_; }
    Gtk::Label& urlValueLabel() { return urlValue_; }
    Gtk::Label& titleValueLabel() { return titleValue_; }
    Gtk::Label& nativeValueLabel() { return nativeValue_; }
    Gtk::Box& selectedElementBlock() { return selectedBlock_; }
    Gtk::Label& selectedElementLabel() { return selectedHTML_; }
    Gtk::TextView& htmlEditor() { return htmlEditor_; }
    Gtk::TextView& cssEditor() { return cssEditor_; }

    // The sheet the panel's own widgets wear for a theme.
    static std::string styleSheet(const ThemeSettings& theme);

private:
    void buildHeader();
    void buildSegments();
    Gtk::Widget& buildOverview();
    Gtk::Widget& buildEditorSegment(Gtk::Box& segment, Gtk::Label& caption, std::string_view captionText,
                                    Gtk::ScrolledWindow& frame, Gtk::TextView& editor, int minimumHeight,
                                    Gtk::Button& action);
    void addLabelledRow(Gtk::Box& into, const char* label, Gtk::Label& value);
    IScriptableView* activeWebView() const;
    void showContext();
    void showNote();
    void updateButtons();

    AppState& appState_;
    InspectorService& inspector_;
    ViewLookup views_;
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);  // page answers hold it weakly

    InspectorPageContext pageContext_;
    bool nativeAvailable_ = false;
    std::string limitationNote_;
    bool appeared_ = false;

    ThemedPanelStyle style_;
    Gtk::Box header_{Gtk::Orientation::HORIZONTAL, 6};
    Gtk::Label heading_{"Inspector"};
    Gtk::Box headerSpacer_;
    Gtk::Button refreshButton_{"Refresh"};
    Gtk::Button nativeButton_{"Try Native Inspector"};
    Gtk::Button closeButton_{"Close"};
    Gtk::StackSwitcher switcher_;
    Gtk::ScrolledWindow scroller_;
    Gtk::Box content_{Gtk::Orientation::VERTICAL, 12};
    Gtk::Label note_;
    Gtk::Stack stack_;

    Gtk::Box overview_{Gtk::Orientation::VERTICAL, 8};
    Gtk::Label urlValue_;
    Gtk::Label titleValue_;
    Gtk::Label nativeValue_;
    Gtk::Box selectedBlock_{Gtk::Orientation::VERTICAL, 8};
    Gtk::Label selectedCaption_{"Selected element"};
    Gtk::Label selectedHTML_;
    std::vector<std::unique_ptr<Gtk::Widget>> rowParts_;

    Gtk::Box htmlSegment_{Gtk::Orientation::VERTICAL, 8};
    Gtk::Label htmlCaption_;
    Gtk::ScrolledWindow htmlFrame_;
    Gtk::TextView htmlEditor_;
    Gtk::Button applyButton_{"Apply HTML"};

    Gtk::Box cssSegment_{Gtk::Orientation::VERTICAL, 8};
    Gtk::Label cssCaption_;
    Gtk::ScrolledWindow cssFrame_;
    Gtk::TextView cssEditor_;
    Gtk::Button injectButton_{"Inject CSS"};

    std::unique_ptr<ViewRefresh> buttonsRefresh_;
    std::vector<sigc::connection> connections_;
};

}  // namespace quorelle
