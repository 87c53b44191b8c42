#pragma once

#include "web/InternalPageContext.h"

#include <string>

// One function per internal page. Each takes the render's context and returns
// the whole document, wrapped with context.wrap(...) (the current profile's
// theme and the render's bridge token). InternalPageRenderer dispatches to them.
namespace quorelle::pages {

// NewTabPage.cpp
std::string newTabPage(const InternalPageContext& context);

// SettingsPages.cpp
std::string settingsPage(const InternalPageContext& context);
std::string historyPage(const InternalPageContext& context);
std::string bookmarksPage(const InternalPageContext& context);
std::string downloadsPage(const InternalPageContext& context);

// ProfilePages.cpp
std::string profilesPage(const InternalPageContext& context);
std::string sessionsPage(const InternalPageContext& context);
std::string permissionsPage(const InternalPageContext& context);
std::string privacyPage(const InternalPageContext& context);
std::string securityPage(const InternalPageContext& context);
std::string performancePage(const InternalPageContext& context);
std::string memoryPage(const InternalPageContext& context);

// ToolPages.cpp
std::string themesPage(const InternalPageContext& context);
std::string shortcutsPage(const InternalPageContext& context);
std::string updatesPage(const InternalPageContext& context);
std::string feedbackPage(const InternalPageContext& context);
std::string tabGroupsPage(const InternalPageContext& context);
std::string passwordsPage(const InternalPageContext& context);
std::string aboutPage(const InternalPageContext& context);
std::string flagsPage(const InternalPageContext& context);
std::string experimentsPage(const InternalPageContext& context);

// ProxyPage.cpp
std::string proxyPage(const InternalPageContext& context);

// FixedPages.cpp
std::string syncPage(const InternalPageContext& context);
std::string extensionsPage(const InternalPageContext& context);

}  // namespace quorelle::pages
