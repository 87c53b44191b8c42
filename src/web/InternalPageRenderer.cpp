#include "web/InternalPageRenderer.h"

#include "web/InternalPages.h"

namespace quorelle {

std::string InternalPageRenderer::html(InternalPageRoute route, const InternalPageContext& context) {
    using R = InternalPageRoute;
    switch (route.value()) {
        case R::newtab: return pages::newTabPage(context);
        case R::settings: return pages::settingsPage(context);
        case R::history: return pages::historyPage(context);
        case R::bookmarks: return pages::bookmarksPage(context);
        case R::downloads: return pages::downloadsPage(context);
        case R::profiles: return pages::profilesPage(context);
        case R::sessions: return pages::sessionsPage(context);
        case R::permissions: return pages::permissionsPage(context);
        case R::privacy: return pages::privacyPage(context);
        case R::security: return pages::securityPage(context);
        case R::performance: return pages::performancePage(context);
        case R::memory: return pages::memoryPage(context);
        case R::themes: return pages::themesPage(context);
        case R::shortcuts: return pages::shortcutsPage(context);
        case R::updates: return pages::updatesPage(context);
        case R::feedback: return pages::feedbackPage(context);
        case R::tabGroups: return pages::tabGroupsPage(context);
        case R::passwords: return pages::passwordsPage(context);
        case R::about: return pages::aboutPage(context);
        case R::flags: return pages::flagsPage(context);
        case R::experiments: return pages::experimentsPage(context);
        case R::proxy: return pages::proxyPage(context);
        case R::sync: return pages::syncPage(context);
        case R::extensions: return pages::extensionsPage(context);
    }
    return pages::newTabPage(context);
}

}  // namespace quorelle
