#include "ReadOnlyCollection.h"

#include "store/DataFileStorage.h"

namespace lynkora::cli {

void LoadReadOnly(const std::string& path, ReadOnlyCollection& c) {
    c.protect = std::make_unique<ProtectedDataFile>(path);
    cfb::Storage root = OpenDataFile(path, false);
    const CollectionHeader header = LoadWholeCollection(root, path, c.tree);
    c.appVersion = header.appVersion;
    c.lastDate = header.lastDate;
    root.Close();
}

} // namespace lynkora::cli
