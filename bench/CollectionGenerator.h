#pragma once

#include <string>

namespace lynkora::bench {

struct CollectionShape {
    int shortcuts = 100000;
    int categories = 5000;
    int maxDepth = 6;
    unsigned seed = 1;
};

// Writes a data file of realistic size: categories nested up to maxDepth levels below the root,
// shortcuts spread over them with names, URLs, descriptions and keywords of everyday lengths.
void GenerateCollection(const std::string& path, const CollectionShape& shape);

} // namespace lynkora::bench
