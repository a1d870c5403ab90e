#include "ReadOnlyCollection.h"

#include "store/DataFileStorage.h"
#include "store/Version.h"

namespace lynkora::cli {

void LoadReadOnly(const std::string& path, ReadOnlyCollection& c) {
    cfb::Storage root = OpenDataFile(path, false);
    c.appVersion = ReadAppVersion(root);
    CheckFileVersion(path, c.appVersion, kProgramVersion);
    LoadCategoryTree(root, c.tree);
    c.lastDate = ReadLastDate(root);
    root.Close();
}

} // namespace lynkora::cli
