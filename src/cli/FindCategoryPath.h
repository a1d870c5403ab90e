#pragma once

#include "store/CategoryTree.h"

#include <string>

namespace lynkora::cli {

// A category by its path: names separated by "/" or "\", from the root's children (the root's
// own name may lead). nullptr when there is none.
CategoryNode* FindCategoryPath(const CategoryTree& tree, const std::string& path);

} // namespace lynkora::cli
