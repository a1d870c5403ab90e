#pragma once

#include "store/CategoryTree.h"
#include "store/DateTime.h"
#include "store/ProtectedFiles.h"

#include <memory>

#include <string>

namespace lynkora::cli {

// A data file read without changing it, after the same checks as opening it: not a compound
// file, a newer version, missing root data. What the command writes from it may not replace it.
struct ReadOnlyCollection {
    std::unique_ptr<ProtectedDataFile> protect;
    std::string appVersion;
    TDateTime lastDate = 0;
    CategoryTree tree;
};

void LoadReadOnly(const std::string& path, ReadOnlyCollection& collection);

} // namespace lynkora::cli
