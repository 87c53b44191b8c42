#include "support/HostileCorpus.h"
#include "web/InternalPageRenderer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <set>
#include <string>
#include <utility>
#include <vector>

// Every message an internal page can post, read from the rendered documents:
// the action name and the keys of the object literal that carries it. The
// browser's message handler reads exactly these keys, so a renamed key on a
// page would make its button do nothing.
namespace quorelle {
namespace {

namespace hostile = testing::hostile;
using Shape = std::pair<std::string, std::set<std::string>>;

std::string trimmed(std::string_view s) {
    const auto first = s.find_first_not_of(" \n\t");
    if (first == std::string_view::npos) return {};
    const auto last = s.find_last_not_of(" \n\t");
    return std::string(s.substr(first, last - first + 1));
}

// The top-level keys of the object literal whose "{" is at `open`.
std::set<std::string> keysOfObject(std::string_view code, std::size_t open) {
    std::set<std::string> keys;
    int depth = 0;
    char quote = 0;
    std::size_t segmentStart = open + 1;
    auto takeSegment = [&](std::size_t end) {
        const std::string segment = trimmed(code.substr(segmentStart, end - segmentStart));
        const auto colon = segment.find(':');
        if (colon != std::string::npos) keys.insert(trimmed(segment.substr(0, colon)));
    };
    for (std::size_t i = open + 1; i < code.size(); ++i) {
        const char c = code[i];
        if (quote) {
            if (c == '\\') ++i;
            else if (c == quote) quote = 0;
            continue;
        }
        if (c == '\'' || c == '"') quote = c;
        else if (c == '(' || c == '{' || c == '[') ++depth;
        else if ((c == ')' || c == ']') || (c == '}' && depth > 0)) --depth;
        else if (c == '}') {
            takeSegment(i);
            break;
        } else if (c == ',' && depth == 0) {
            takeSegment(i);
            segmentStart = i + 1;
        }
    }
    return keys;
}

void collectShapes(std::string_view code, std::set<Shape>& shapes) {
    static const std::regex action(R"(action\s*:\s*'([A-Za-z]+)')");
    const std::string text(code);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), action); it != std::sregex_iterator(); ++it) {
        const std::size_t open = text.rfind('{', static_cast<std::size_t>(it->position()));
        ASSERT_NE(open, std::string::npos) << text;
        std::set<std::string> keys = keysOfObject(text, open);
        keys.erase("action");
        shapes.insert({(*it)[1].str(), std::move(keys)});
    }
}

std::set<Shape> shapesPostedByEveryPage() {
    std::set<Shape> shapes;
    for (const InternalPageRoute route : InternalPageRoute::allCases()) {
        const hostile::Parsed parsed =
            hostile::parse(InternalPageRenderer::html(route, hostile::plainContext(route)));
        for (const auto& [tag, attributes] : parsed.elements)
            for (const auto& attribute : attributes)
                if (attribute.name.rfind("on", 0) == 0) collectShapes(attribute.value, shapes);
        for (const std::string& script : parsed.scripts) collectShapes(script, shapes);
    }
    return shapes;
}

TEST(InternalPageActionsTest, PagesPostExactlyTheActionsAndKeysTheHandlerReads) {
    using K = std::set<std::string>;
    const std::set<Shape> expected = {
        {"navigate", K{"url"}},
        {"searchOrNavigate", K{"query"}},
        {"reloadInternal", K{}},
        {"showShortcutsEditor", K{}},
        {"showNewTabCustomize", K{}},
        {"deleteHistoryItem", K{"itemId"}},
        {"clearHistory", K{}},
        {"showNewBookmark", K{}},
        {"createBookmarkFolder", K{"name"}},
        {"renameBookmarkFolder", K{"folderId", "name"}},
        {"deleteBookmarkFolder", K{"folderId"}},
        {"editBookmark", K{"bookmarkId"}},
        {"deleteBookmark", K{"bookmarkId"}},
        {"clearDownloads", K{}},
        {"createProfile", K{"name"}},
        {"switchProfile", K{"profileId"}},
        {"updateProfile", K{"profileId", "resetAvatar"}},
        {"updateProfile",
         K{"profileId", "name", "avatarURL", "themePresetID", "searchEngineID", "backgroundImageURL"}},
        {"deleteProfile", K{"profileId"}},
        {"closeInactiveTabs", K{}},
        {"clearWebsiteData", K{}},
        {"applyPreset", K{"presetId"}},
        {"saveThemeColor", K{"key", "value"}},
        {"exportFeedback", K{"text"}},
        {"toggleFlag", K{"key", "value"}},
        {"setDeveloperMode", K{"value"}},
        {"toggleProxyAddon", K{"enabled"}},
        {"saveProxy", K{"profileId", "name", "type", "host", "port", "username", "password", "enabled"}},
        {"testProxy", K{"profileId"}},
        {"deleteProxy", K{"profileId"}},
    };
    const std::set<Shape> found = shapesPostedByEveryPage();
    EXPECT_EQ(found, expected);

    std::set<std::string> names;
    for (const auto& [name, keys] : found) names.insert(name);
    EXPECT_EQ(names.size(), 29u);
}

TEST(InternalPageActionsTest, ObjectKeyReaderFollowsNestingAndStrings) {
    const std::string code = "vxAction({action:'x', a:f('b:c', {d:1}), e:[1,2], 'g':'h,i'})";
    EXPECT_EQ(keysOfObject(code, code.find('{')), (std::set<std::string>{"action", "a", "e", "'g'"}));
}

}  // namespace
}  // namespace quorelle
