#pragma once

// A fresh collection for a reader to fill: a root category and an import target over it.
#include "exchange/ImportTarget.h"

#include <memory>
#include <string>

struct FuzzCollection {
    lynkora::CategoryTree tree;
    int next = 0;
    std::unique_ptr<lynkora::ImportTarget> target;

    FuzzCollection() {
        auto root = std::make_unique<lynkora::TISFolder>();
        root->FolderName = "Root";
        tree.SetRoot(std::move(root));
        target = std::make_unique<lynkora::ImportTarget>(
            tree, [this] { return "FL" + std::to_string(++next); }, [](lynkora::CategoryNode&) {});
    }
};
