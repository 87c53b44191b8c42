#include "window/FaviconView.h"

#include "support/LoopbackServer.h"
#include "web/ProductLogo.h"
#include "window/FaviconImageCache.h"
#include "window/QuorelleLogoCache.h"
#include "window/WindowTestSupport.h"

#include <gtkmm/box.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace quorelle::testing {
namespace {

using Content = FaviconView::Content;
using Source = FaviconView::Source;

class FaviconViewTest : public WindowTest {
protected:
    FaviconViewTest() : logo(std::string(ProductLogo::resourcePath)), images(logo) {
        server.add("/icon.png", LoopbackServer::Page{200, "image/png", std::string(ProductLogo::pngBytes())});
        server.add("/garbage.png", LoopbackServer::Page{200, "image/png", "definitely not an image"});
        server.add("/slow.png",
                   LoopbackServer::Page{200, "image/png", std::string(ProductLogo::pngBytes()), {}, true});
    }
    ~FaviconViewTest() override {
        if (window_) window_->unset_child();
        views.clear();
    }

    FaviconView& make(std::optional<std::string> url, std::string letter = "a", double size = 16,
                      bool internal = false) {
        views.push_back(std::make_unique<FaviconView>(images, std::move(url), std::move(letter), size, internal));
        return *views.back();
    }
    bool settles(const std::string& url) {
        return runUntil([&] {
            const auto status = images.status(url);
            return status == FaviconImageCache::Status::loaded || status == FaviconImageCache::Status::failed;
        });
    }
    std::size_t requestsFor(const std::string& path) const {
        return static_cast<std::size_t>(std::count(server.requestedPaths.begin(), server.requestedPaths.end(), path));
    }

    QuorelleLogoCache logo;
    FaviconImageCache images;
    LoopbackServer server;
    std::vector<std::unique_ptr<FaviconView>> views;
};

TEST(FaviconViewRules, TheLogoWinsOverTheAddressThenAParsableAddressOverTheBadge) {
    EXPECT_EQ(FaviconView::sourceFor(std::string("https://a.example/i.png"), true), Source::logo);
    EXPECT_EQ(FaviconView::sourceFor(std::string("vx-local://QuorelleLogo"), false), Source::logo);
    EXPECT_EQ(FaviconView::sourceFor(std::string("https://cdn.example/img/QuorelleLogo.png"), false), Source::logo);
    EXPECT_EQ(FaviconView::sourceFor(std::string("  VX://Settings\n"), false), Source::logo);
    EXPECT_EQ(FaviconView::sourceFor(std::string("https://a.example/i.png"), false), Source::address);
    EXPECT_EQ(FaviconView::sourceFor(std::string("data:image/png;base64,AAAA"), false), Source::address);
    EXPECT_EQ(FaviconView::sourceFor(std::nullopt, false), Source::badge);
    EXPECT_EQ(FaviconView::sourceFor(std::string(), false), Source::badge);
    EXPECT_EQ(FaviconView::sourceFor(std::string("not an address"), false), Source::badge);
}

TEST(FaviconViewRules, BadgeShowsTheFirstWholeCharacterUpperCased) {
    EXPECT_EQ(FaviconView::badgeLetter("a"), "A");
    EXPECT_EQ(FaviconView::badgeLetter("quorelle"), "Q");
    EXPECT_EQ(FaviconView::badgeLetter(""), "");
    EXPECT_EQ(FaviconView::badgeLetter("e\u0301cole"), "E\u0301");        // combining mark stays
    EXPECT_EQ(FaviconView::badgeLetter("\U0001F469\u200D\U0001F4BBx"), "\U0001F469\u200D\U0001F4BB");  // one emoji
    EXPECT_EQ(FaviconView::badgeLetter("\u00DFtra\u00DFe"), "SS");         // upper-casing may add letters
}

TEST_F(FaviconViewTest, LogoReferencesAndInternalPagesDrawTheLogoWithoutReading) {
    auto& reference = make(std::string("vx-local://QuorelleLogo"));
    auto& internal = make(std::string(server.url("/icon.png")), "a", 16, true);
    auto& page = make(std::string("vx://history"));
    for (auto* view : {&reference, &internal, &page}) {
        EXPECT_EQ(view->content(), Content::logo);
        ASSERT_TRUE(view->texture());
        EXPECT_EQ(view->texture(), logo.image());
        EXPECT_TRUE(view->picture().get_visible());
        EXPECT_FALSE(view->badge().get_visible());
    }
    spin();
    EXPECT_EQ(images.readsStarted(), 0u);
    EXPECT_TRUE(server.requestedPaths.empty());
}

TEST_F(FaviconViewTest, WithoutTheLogoImageTheLetterStandsIn) {
    QuorelleLogoCache missing("/io/github/quorelle/Quorelle/Missing.png");
    FaviconImageCache bare(missing);
    FaviconView view(bare, std::string("vx-local://QuorelleLogo"), "q");
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(view.badge().get_text(), "Q");
}

TEST_F(FaviconViewTest, NoAddressShowsTheLetterOnAGreySquareOfTheGivenSize) {
    auto& view = make(std::nullopt, "a", 14);
    Gtk::Box holder;
    holder.append(view);
    showInWindow(holder);
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(view.badge().get_text(), "A");
    EXPECT_EQ(view.get_width(), 14);
    EXPECT_EQ(view.get_height(), 14);
    EXPECT_DOUBLE_EQ(view.letterSize(), 7.7);
    EXPECT_DOUBLE_EQ(FaviconView::cornerRadius, 4);
    EXPECT_NEAR(FaviconView::badgeFill().get_alpha(), 0.2, 1e-6);
    EXPECT_EQ(make(std::string(""), "several").badge().get_text(), "S");
    window_->unset_child();
}

TEST_F(FaviconViewTest, RemoteIconThatIsNotFoundKeepsTheBadgeBeforeAndAfter) {
    const auto url = server.url("/missing.png");
    auto& view = make(url, "m");
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(images.status(url), FaviconImageCache::Status::loading);
    ASSERT_TRUE(settles(url));
    EXPECT_EQ(images.status(url), FaviconImageCache::Status::failed);
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(view.badge().get_text(), "M");

    // A failed address is not asked for again.
    auto& again = make(url, "m");
    spin();
    EXPECT_EQ(again.content(), Content::badge);
    EXPECT_EQ(requestsFor("/missing.png"), 1u);
}

TEST_F(FaviconViewTest, UndecodableAnswersDataAndMissingFilesFallBackToTheBadge) {
    const auto garbage = server.url("/garbage.png");
    auto& remote = make(garbage);
    ASSERT_TRUE(settles(garbage));
    EXPECT_EQ(remote.content(), Content::badge);

    auto& data = make(std::string("data:image/png;base64,bm90IGFuIGltYWdl"));
    EXPECT_EQ(data.content(), Content::badge);
    auto& broken = make(std::string("data:%%%"));
    EXPECT_EQ(broken.content(), Content::badge);

    const std::string missing = "file:///nonexistent-quorelle-folder/icon.png";
    auto& file = make(missing);
    ASSERT_TRUE(settles(missing));
    EXPECT_EQ(file.content(), Content::badge);

    auto& unsupported = make(std::string("ftp://127.0.0.1/icon.png"));
    EXPECT_EQ(unsupported.content(), Content::badge);
}

TEST_F(FaviconViewTest, AnswersLargerThanAnyIconAreGivenUpEarly) {
    server.add("/huge.png", LoopbackServer::Page{200, "image/png", std::string(3 * 1024 * 1024, 'x')});
    const auto huge = server.url("/huge.png");
    auto& remote = make(huge);
    ASSERT_TRUE(settles(huge));
    EXPECT_EQ(remote.content(), Content::badge);

    const std::string endless = "file:///dev/zero";
    auto& file = make(endless);
    ASSERT_TRUE(settles(endless));
    EXPECT_EQ(file.content(), Content::badge);
}

TEST_F(FaviconViewTest, DataAndFileImagesAreDrawnScaledToFit) {
    gchar* encoded = g_base64_encode(reinterpret_cast<const guchar*>(ProductLogo::pngBytes().data()),
                                     ProductLogo::pngBytes().size());
    auto& data = make(std::string("data:image/png;base64,") + encoded);
    g_free(encoded);
    EXPECT_EQ(data.content(), Content::image);
    EXPECT_EQ(data.picture().get_content_fit(), Gtk::ContentFit::CONTAIN);

    const auto path = std::filesystem::path(root_).parent_path() / "icon.png";
    std::ofstream(path, std::ios::binary) << ProductLogo::pngBytes();
    const std::string url = "file://" + path.string();
    auto& file = make(url);
    EXPECT_TRUE(runUntil([&] { return file.content() == Content::image; }));
    ASSERT_TRUE(file.texture());
    EXPECT_GT(file.texture()->get_width(), 0);
}

TEST_F(FaviconViewTest, RemoteIconIsFetchedOnceAndServedFromMemoryAfterwards) {
    const auto url = server.url("/icon.png");
    auto& first = make(url);
    auto& meanwhile = make(url);  // asks while the first read runs
    EXPECT_EQ(first.content(), Content::badge);
    int changes = 0;
    first.signalContentChanged().connect([&] { ++changes; });
    ASSERT_TRUE(runUntil([&] { return first.content() == Content::image; }));
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(meanwhile.content(), Content::image);

    auto& later = make(url, "z", 32);
    EXPECT_EQ(later.content(), Content::image);  // at once, from memory
    EXPECT_EQ(later.texture(), first.texture());
    spin();
    EXPECT_EQ(requestsFor("/icon.png"), 1u);
    EXPECT_EQ(images.readsStarted(), 1u);
}

TEST_F(FaviconViewTest, AnAnswerForAnAddressNoLongerShownIsIgnored) {
    const auto slow = server.url("/slow.png");
    auto& view = make(slow, "s");
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 1; }));
    view.setIcon(std::nullopt, "t");
    server.release();
    ASSERT_TRUE(settles(slow));
    EXPECT_EQ(images.status(slow), FaviconImageCache::Status::loaded);
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(view.badge().get_text(), "T");

    // Setting the same values again changes nothing and reads nothing.
    view.setIcon(std::nullopt, "t");
    EXPECT_EQ(view.content(), Content::badge);
    EXPECT_EQ(images.readsStarted(), 1u);
}

TEST_F(FaviconViewTest, ReadsStillRunningWhenTheCacheGoesAwayAnswerNobody) {
    const auto slow = server.url("/slow.png");
    auto cache = std::make_unique<FaviconImageCache>(logo);
    int answers = 0;
    cache->load(slow, [&](const FaviconImageCache::Texture&) { ++answers; });
    ASSERT_TRUE(runUntil([&] { return server.heldCount() == 1; }));
    cache.reset();
    server.release();
    runFor(100);
    EXPECT_EQ(answers, 0);
}

TEST_F(FaviconViewTest, TheCacheForgetsTheOldestAddressWhenFull) {
    FaviconImageCache small(logo, FaviconImageCache::defaultTimeLimit, 1);
    const auto icon = server.url("/icon.png"), missing = server.url("/missing.png");
    small.load(icon, [](const FaviconImageCache::Texture&) {});
    ASSERT_TRUE(runUntil([&] { return small.status(icon) == FaviconImageCache::Status::loaded; }));
    small.load(missing, [](const FaviconImageCache::Texture&) {});
    ASSERT_TRUE(runUntil([&] { return small.status(missing) == FaviconImageCache::Status::failed; }));
    EXPECT_EQ(small.status(icon), FaviconImageCache::Status::unknown);
    EXPECT_FALSE(small.cached(icon));
}

}  // namespace
}  // namespace quorelle::testing
