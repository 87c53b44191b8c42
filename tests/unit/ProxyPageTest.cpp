#include "model/ProxyProfile.h"
#include "web/InternalHTMLStyles.h"
#include "web/InternalPages.h"
#include "support/HostileCorpus.h"
#include "unit/InternalPageScan.h"
#include "unit/PageTestSupport.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace quorelle {
namespace {

using testing::pagetest::at;
using testing::pagetest::contains;

using pages::proxyPage;

// The value attribute of the input with that id.
std::string inputValue(const std::string& html, std::string_view id) {
    std::size_t tag = html.find("id=\"" + std::string(id) + "\" value=\"");
    if (tag == std::string::npos) return "<no input>";
    std::size_t start = html.find("value=\"", tag) + 7;
    return html.substr(start, html.find('"', start) - start);
}

ProxyProfile makeProxy(std::string name, std::string host, std::int64_t port, bool enabled) {
    ProxyProfile proxy;
    proxy.name = std::move(name);
    proxy.host = std::move(host);
    proxy.port = port;
    proxy.isEnabled = enabled;
    return proxy;
}

class ProxyPageTest : public ::testing::Test {
protected:
    InternalPageContext context = testing::pagetest::plainPageContext();
};

TEST_F(ProxyPageTest, TitleHeaderAndLinuxNoteComeFirst) {
    std::string html = proxyPage(context);
    EXPECT_TRUE(contains(html, "<title>Proxy</title>"));
    std::size_t header = at(html, "<body><div class=\"page\">\n  " +
                                      InternalHTMLStyles::pageHeader("Proxy Add-on", "Advanced network proxy (off by "
                                                                                     "default). Not part of standard settings."));
    std::size_t note = at(html, "<div class=\"warn\"><strong>Note:</strong> Proxy profiles are saved and can be tested here.");
    std::size_t second = at(html, "This version does not send web pages through proxy profiles.</div>");
    std::size_t addon = at(html, "<h2>Enable proxy add-on</h2>");
    std::size_t form = at(html, "<h2>Proxy profile</h2>");
    std::size_t saved = at(html, "<h2>Saved profiles</h2>");
    std::size_t script = at(html, "function vxSaveProxy()");
    EXPECT_LT(header, note);
    EXPECT_LT(note, second);
    EXPECT_LT(second, addon);
    EXPECT_LT(addon, form);
    EXPECT_LT(form, saved);
    EXPECT_LT(saved, script);
    EXPECT_FALSE(contains(html, "WKWebView"));
    EXPECT_FALSE(contains(html, "URLSession"));
}

TEST_F(ProxyPageTest, WithoutSavedProfilesTheFormStartsBlank) {
    std::string html = proxyPage(context);
    EXPECT_EQ(inputValue(html, "proxyName"), "My Proxy");
    EXPECT_EQ(inputValue(html, "proxyHost"), "");
    EXPECT_EQ(inputValue(html, "proxyPort"), "8080");
    EXPECT_EQ(inputValue(html, "proxyUser"), "");
    EXPECT_EQ(inputValue(html, "proxyPass"), "");
    EXPECT_TRUE(contains(html, "<option value=\"http\" selected>HTTP</option><option value=\"https\" >HTTPS</option>"
                               "<option value=\"socks4\" >SOCKS4</option><option value=\"socks5\" >SOCKS5</option>"));
    EXPECT_TRUE(contains(html, "<input type=\"checkbox\" id=\"proxyOn\" > Use this profile when add-on is enabled"));
    EXPECT_TRUE(contains(html, "<p class=\"empty\" style=\"padding:16px\">No saved profiles yet.</p>"));
    // A fresh upper-case identifier on every render.
    std::string id = inputValue(html, "proxyId");
    ASSERT_TRUE(Uuid::parse(id));
    EXPECT_EQ(id, Uuid::parse(id)->toString());
    EXPECT_NE(id, inputValue(proxyPage(context), "proxyId"));
}

TEST_F(ProxyPageTest, ActiveProfileFillsTheFormElseTheFirst) {
    ProxyProfile first = makeProxy("First", "one.example", 3128, false);
    ProxyProfile second = makeProxy("Second", "two.example", 1080, true);
    second.type = ProxyType::socks5;
    second.username = "ann";
    second.password = "s3cret";
    context.profileData.proxies = {first, second};
    context.profileData.settings.activeProxyID = second.id;
    std::string html = proxyPage(context);
    EXPECT_EQ(inputValue(html, "proxyId"), second.id.toString());
    EXPECT_EQ(inputValue(html, "proxyName"), "Second");
    EXPECT_EQ(inputValue(html, "proxyHost"), "two.example");
    EXPECT_EQ(inputValue(html, "proxyPort"), "1080");
    EXPECT_EQ(inputValue(html, "proxyUser"), "ann");
    EXPECT_EQ(inputValue(html, "proxyPass"), "s3cret");
    EXPECT_TRUE(contains(html, "<option value=\"socks5\" selected>SOCKS5</option>"));
    EXPECT_TRUE(contains(html, "<option value=\"http\" >HTTP</option>"));
    EXPECT_TRUE(contains(html, "id=\"proxyOn\" checked>"));

    // An active id naming a deleted profile falls back to the first.
    context.profileData.settings.activeProxyID = Uuid::random();
    EXPECT_EQ(inputValue(proxyPage(context), "proxyName"), "First");
    context.profileData.settings.activeProxyID.reset();
    EXPECT_EQ(inputValue(proxyPage(context), "proxyId"), first.id.toString());
}

TEST_F(ProxyPageTest, SavedRowsShowTypeHostPortAndState) {
    ProxyProfile off = makeProxy("Office", "office.example", 3128, false);
    ProxyProfile on = makeProxy("Home", "home.example", 8888, true);
    on.type = ProxyType::https;
    context.profileData.proxies = {off, on};
    std::string html = proxyPage(context);
    const std::string offID = off.id.toString();
    std::size_t first = at(html, "<div class=\"list-item\"><div class=\"meta\"><strong>Office</strong>"
                                 "<small>HTTP · office.example:3128 </small></div>"
                                 "<div class=\"btn-row\" style=\"margin:0\">"
                                 "<button class=\"btn btn-secondary\" onclick=\"vxAction({action:'testProxy', profileId:'" +
                                     offID + "'})\">Test</button>"
                                             "<button class=\"btn btn-danger\" onclick=\"if(confirm('Delete this profile?')) "
                                             "vxAction({action:'deleteProxy', profileId:'" +
                                     offID + "'})\">Delete</button></div></div>");
    std::size_t second = at(html, "<strong>Home</strong><small>HTTPS · home.example:8888 · On</small>");
    EXPECT_LT(first, second);
    EXPECT_FALSE(contains(html, "No saved profiles yet."));
}

TEST_F(ProxyPageTest, AddonSwitchAndFormButtonsPostTheirActions) {
    std::string html = proxyPage(context);
    EXPECT_TRUE(contains(html, "<p>When disabled, no proxy profile is used.</p><label style=\"display:flex;align-items:center;"
                               "gap:8px;font-size:14px;\"><input type=\"checkbox\"  onchange=\"vxAction({action:"
                               "'toggleProxyAddon', enabled:this.checked})\"> Enable proxy add-on</label>"));
    context.profileData.settings.proxyAddonEnabled = true;
    html = proxyPage(context);
    EXPECT_TRUE(contains(html, "<input type=\"checkbox\" checked onchange=\"vxAction({action:'toggleProxyAddon'"));
    std::size_t save = at(html, "<button class=\"btn btn-primary\" onclick=\"vxSaveProxy()\">Save profile</button>");
    std::size_t test = at(html, "<button class=\"btn btn-secondary\" onclick=\"vxAction({action:'testProxy', "
                                "profileId:document.getElementById('proxyId').value})\">Test proxy</button>");
    EXPECT_LT(save, test);
    for (std::string_view key : {"profileId: value('proxyId')", "name: value('proxyName')", "type: value('proxyType')",
                                 "host: value('proxyHost')", "port: value('proxyPort')", "username: value('proxyUser')",
                                 "password: value('proxyPass')", "enabled: document.getElementById('proxyOn').checked"}) {
        EXPECT_TRUE(contains(html, key)) << key;
    }
    // Labels in the form's order.
    std::size_t previous = 0;
    for (std::string_view label : {"Name", "Type", "Host", "Port", "Username (optional)", "Password (optional)"}) {
        std::size_t position = at(html, "\">" + std::string(label) + "</label>");
        EXPECT_GT(position, previous) << label;
        previous = position;
    }
    EXPECT_TRUE(contains(html, "placeholder=\"proxy.example.com\""));
    EXPECT_TRUE(contains(html, "style=\"display:flex;align-items:center;gap:8px;font-size:14px;margin-top:8px;\""));
}

TEST_F(ProxyPageTest, TestResultTakesPrecedenceOverTheError) {
    EXPECT_FALSE(contains(proxyPage(context), "border-color:var(--vx-accent)"));
    context.proxyTestError = "Save a proxy profile first";
    std::string html = proxyPage(context);
    std::size_t message = at(html, "<div class=\"warn\">Save a proxy profile first</div>");
    EXPECT_LT(message, html.find("<h2>Enable proxy add-on</h2>"));
    EXPECT_GT(message, html.find("<strong>Note:</strong>"));

    context.proxyTestResult = "Proxy test succeeded (HTTP 200) & <done>";
    html = proxyPage(context);
    EXPECT_TRUE(contains(html, "<div class=\"warn\" style=\"border-color:var(--vx-accent)\">Proxy test succeeded (HTTP 200) "
                               "&amp; &lt;done&gt;</div>"));
    EXPECT_FALSE(contains(html, "Save a proxy profile first"));
}

TEST_F(ProxyPageTest, HostWithDoubleQuoteStaysInsideItsField) {
    context.profileData.proxies = {makeProxy("Q", "evil\" autofocus onfocus=\"x", 1, false)};
    std::string html = proxyPage(context);
    EXPECT_EQ(inputValue(html, "proxyHost"), "evil&quot; autofocus onfocus=&quot;x");
    EXPECT_FALSE(contains(html, "onfocus=\"x"));
}


// ---- Hostile data ----

TEST_F(ProxyPageTest, HostileContextChangesNoMarkup) {
    const std::string hostile = proxyPage(testing::hostile::hostileContext(InternalPageRoute::proxy));
    const std::string plain = proxyPage(testing::hostile::plainContext(InternalPageRoute::proxy));
    EXPECT_EQ(testing::hostile::problems(hostile, plain), std::vector<std::string>{});
}

TEST_F(ProxyPageTest, HostileProxyFieldsStayInsideTheirFields) {
    namespace scan = testing::pagescan;
    for (const std::string& text : testing::hostile::payloads()) {
        ProxyProfile proxy = makeProxy(text, text, 8080, true);
        proxy.username = text;
        proxy.password = text;
        context.profileData.proxies = {proxy};
        context.proxyTestResult.reset();
        context.proxyTestError = text;
        const std::string html = proxyPage(context);
        const scan::ScannedPage page = scan::scanPage(html);
        scan::expectOnlyPageStructure(
            page,
            {"div", "/div", "h1", "/h1", "h2", "/h2", "p", "/p", "strong", "/strong", "small", "/small", "br", "label",
             "/label", "input", "select", "/select", "option", "/option", "button", "/button", "script"},
            {"class", "style", "type", "id", "value", "placeholder", "for", "checked", "selected", "onclick", "onchange"},
            {"vxAction({action:'', enabled:this.checked})", "vxSaveProxy()",
             "vxAction({action:'', profileId:document.getElementById('').value})",
             "vxAction({action:'', profileId:''})", "if(confirm('')) vxAction({action:'', profileId:''})"});
        EXPECT_EQ(page.scriptElements, 1u);
        // Name, host, username and password fields, the row's name, and the test error.
        EXPECT_EQ(scan::countArrivals(page, text), 6u) << text;
    }
}

}  // namespace
}  // namespace quorelle
