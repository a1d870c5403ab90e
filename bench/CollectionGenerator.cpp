#include "CollectionGenerator.h"

#include "store/DataFileStorage.h"
#include "store/FileReplace.h"
#include "store/ObjectStream.h"
#include "store/Version.h"

#include <random>
#include <vector>

namespace lynkora::bench {

namespace {

const char* const kWords[] = {
    "news",   "linux",   "recipe", "travel",  "music",  "science", "guide",   "review",
    "python", "garden",  "photo",  "history", "maps",   "weather", "finance", "football",
    "coffee", "library", "design", "learn",   "video",  "forum",   "shop",    "docs"};
const char* const kHosts[] = {"www.example.com", "blog.example.org", "docs.example.net",
                              "news.example.co.uk", "shop.example.de", "wiki.example.fr"};

template <class Rng>
std::string Words(Rng& rng, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        if (i)
            out += ' ';
        out += kWords[rng() % std::size(kWords)];
    }
    return out;
}

} // namespace

void GenerateCollection(const std::string& path, const CollectionShape& shape) {
    std::mt19937 rng(shape.seed);
    struct Cat {
        int parent;
        int depth;
        std::string id;
    };
    // Each category hangs below a random earlier one that is not yet at the deepest level.
    std::vector<Cat> cats;
    FolderIdNumbers ids;
    for (int i = 0; i < shape.categories; ++i) {
        int parent = -1;
        if (!cats.empty() && rng() % 4 != 0) {
            parent = static_cast<int>(rng() % cats.size());
            if (cats[static_cast<std::size_t>(parent)].depth >= shape.maxDepth)
                parent = -1;
        }
        const int depth = parent < 0 ? 1 : cats[static_cast<std::size_t>(parent)].depth + 1;
        cats.push_back({parent, depth, ids.Next()});
    }
    std::vector<int> perCat(cats.size() + 1, 0);
    for (int i = 0; i < shape.shortcuts; ++i)
        ++perCat[rng() % perCat.size()];

    ReplaceWithNewFile(path, ChangeFileExt(path, ".$gn"), [&](cfb::Storage& root) {
        InitDataFile(root);
        WriteAppVersion(root, kProgramVersion);
        cfb::Storage folders = root.OpenStorage(kRootFolderStorage);
        std::vector<cfb::Storage> storages;
        storages.reserve(cats.size());
        auto fill = [&](TISFolder& f, int count) {
            for (int s = 0; s < count; ++s) {
                TIShortcut& sc = f.Shortcuts.Add();
                sc.Name = Words(rng, 2 + static_cast<int>(rng() % 4));
                std::string url = std::string("https://") + kHosts[rng() % std::size(kHosts)] + "/" +
                                  Words(rng, 1 + static_cast<int>(rng() % 3)) + "/page-" +
                                  std::to_string(rng() % 100000) + ".html";
                for (auto& c : url)
                    if (c == ' ')
                        c = '-';
                sc.URL = url;
                if (rng() % 2)
                    sc.Descr = Words(rng, 4 + static_cast<int>(rng() % 10));
                if (rng() % 3 == 0) {
                    sc.Keywords.Add(kWords[rng() % std::size(kWords)]);
                    sc.Keywords.Add(kWords[rng() % std::size(kWords)]);
                }
                sc.Added = 40000 + rng() % 6000 + (rng() % 1000) / 1000.0;
                if (rng() % 2) {
                    sc.Access = sc.Added + rng() % 300;
                    sc.Count = static_cast<std::int32_t>(rng() % 200);
                }
                if (rng() % 3 == 0) {
                    sc.Verified = sc.Added + rng() % 100;
                    sc.verResponse = "Verfication successful.";
                }
            }
        };
        TISFolder rootFolder;
        rootFolder.FolderName = kRootFolderName;
        fill(rootFolder, perCat.back());
        WriteFolder(folders, rootFolder, {});
        for (std::size_t i = 0; i < cats.size(); ++i) {
            TISFolder f;
            f.FolderID = cats[i].id;
            f.FolderName = Words(rng, 1 + static_cast<int>(rng() % 3));
            if (rng() % 3 == 0)
                f.Descr = Words(rng, 6);
            fill(f, perCat[i]);
            cfb::Storage& parent =
                cats[i].parent < 0 ? folders : storages[static_cast<std::size_t>(cats[i].parent)];
            storages.push_back(parent.CreateStorage(f.FolderID));
            storages.back().CreateStream(kDataStream).Write(ObjectStream::WriteObject(f));
        }
    }).Close();
}

} // namespace lynkora::bench
