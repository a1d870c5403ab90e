#pragma once

#include "exchange/ImportTarget.h"

#include <cstdio>
#include <memory>
#include <string>

namespace lynkora::test {

// A document with only its root, and an import target over it made once the test has set the
// tree up, counting the categories written.
struct Doc {
    CategoryTree tree;
    int nextId = 1;
    int writes = 0;
    std::unique_ptr<ImportTarget> import;

    Doc() { WithRoot(tree); }
    ImportTarget& Target() {
        if (!import)
            import = std::make_unique<ImportTarget>(
                tree,
                [this] {
                    char id[16];
                    std::snprintf(id, sizeof id, "FL%08X", nextId++);
                    return std::string(id);
                },
                [this](CategoryNode&) { ++writes; });
        return *import;
    }
    static CategoryTree& WithRoot(CategoryTree& t) {
        auto root = std::make_unique<TISFolder>();
        root->FolderName = kRootFolderName;
        t.SetRoot(std::move(root));
        return t;
    }
};

} // namespace lynkora::test
