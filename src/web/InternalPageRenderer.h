#pragma once

#include "model/InternalPageRoute.h"
#include "web/InternalPageContext.h"

#include <string>

namespace quorelle {

// Route to document: one page function per route (web/InternalPages.h).
struct InternalPageRenderer {
    static std::string html(InternalPageRoute route, const InternalPageContext& context);
};

}  // namespace quorelle
