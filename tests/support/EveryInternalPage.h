#pragma once

// The browser's own pages as the parameters of a suite that runs a case
// for each, named after the page ("tab_groups" for vx://tab-groups).

#include "model/InternalPageRoute.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quorelle::testing {

inline std::vector<InternalPageRoute::Case> everyInternalPage() {
    std::vector<InternalPageRoute::Case> routes;
    for (auto route : InternalPageRoute::allCases()) routes.push_back(route.value());
    return routes;
}

inline std::string internalPageCaseName(const ::testing::TestParamInfo<InternalPageRoute::Case>& info) {
    std::string name;
    for (char c : InternalPageRoute(info.param).rawValue()) name += c == '-' ? '_' : c;
    return name;
}

}  // namespace quorelle::testing
