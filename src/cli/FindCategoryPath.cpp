#include "FindCategoryPath.h"

#include "store/NameCollator.h"

#include <vector>

namespace lynkora::cli {

CategoryNode* FindCategoryPath(const CategoryTree& tree, const std::string& path) {
    CategoryNode* node = tree.RootNode();
    if (!node)
        return nullptr;
    std::vector<std::string> parts;
    std::string part;
    for (char c : path + "/") {
        if (c == '/' || c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    std::size_t i = 0;
    if (!parts.empty() && CompareAsciiNoCase(parts[0], node->Text()) == 0 &&
        CategoryTree::FindChildCategory(*node, parts[0]))
        i = 1;
    for (; node && i < parts.size(); ++i) {
        CategoryNode* child = nullptr;
        if (CategoryTree::FindChildCategory(*node, parts[i], &child))
            return nullptr;
        node = child;
    }
    return node;
}

} // namespace lynkora::cli
