#include "Compaction.h"

#include "CategoryTree.h"
#include "DataFileStorage.h"
#include "Errors.h"
#include "FileReplace.h"
#include "TextTools.h"

#include "cfb/Storage.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>
#include <tuple>
#include <vector>

namespace lynkora {

namespace {

std::mutex g_mutex;
std::condition_variable g_done;
std::multiset<std::string> g_running;

std::string Key(const std::string& path) {
    std::error_code ec;
    auto p = std::filesystem::weakly_canonical(path, ec);
    return ec ? path : p.string();
}

// What the copy must hold: every stream by its path, with its size and a hash of its bytes.
using Fingerprint = std::vector<std::tuple<std::string, std::uint64_t, std::uint64_t>>;

std::uint64_t Hash(const std::string& bytes) {
    std::uint64_t h = 14695981039346656037ull;
    for (unsigned char c : bytes)
        h = (h ^ c) * 1099511628211ull;
    return h;
}

[[noreturn]] void Damaged(const std::string& file, const std::string& what) {
    throw ELynkora("The data file " + file + " is damaged (" + what + "); it was not compacted.");
}

// Reads every stream whole. Two elements of one name in a storage (which a copy would merge into
// one) or a stream shorter than its entry says make the file one that cannot be copied faithfully.
void Take(const cfb::Storage& storage, const std::string& path, const std::string& file, Fingerprint& print) {
    std::set<std::string> names;
    for (const cfb::ElementInfo& e : storage.Elements()) {
        const std::string where = path + e.name;
        if (!names.insert(LowerAscii(e.name)).second)
            Damaged(file, "\"" + QuoteForMessage(where, 200) + "\" is there twice");
        if (e.kind == cfb::ElementKind::Storage) {
            Take(storage.OpenStorage(e.name), where + "/", file, print);
            continue;
        }
        const std::string bytes = storage.OpenStream(e.name).ReadAll();
        if (bytes.size() != e.size)
            Damaged(file, "\"" + QuoteForMessage(where, 200) + "\" cannot be read whole");
        print.emplace_back(where, e.size, Hash(bytes));
    }
}

} // namespace

CompactionTicket::CompactionTicket(const std::string& path) : m_key(Key(path)) {
    std::lock_guard lock(g_mutex);
    g_running.insert(m_key);
}

CompactionTicket::~CompactionTicket() {
    {
        std::lock_guard lock(g_mutex);
        g_running.erase(g_running.find(m_key));
    }
    g_done.notify_all();
}

void WaitForCompaction(const std::string& path) {
    const std::string key = Key(path);
    std::unique_lock lock(g_mutex);
    g_done.wait(lock, [&] { return g_running.count(key) == 0; });
}

void WaitForAllCompactions() {
    std::unique_lock lock(g_mutex);
    g_done.wait(lock, [] { return g_running.empty(); });
}

void CompactDataFile(const std::string& path) {
    CompactionTicket running(path);
    cfb::Storage source = OpenDataFile(path, false);
    // Only a file that reads completely, as opening reads it, is compacted; the copy must then
    // hold every stream the file holds before it may take the file's place.
    {
        CategoryTree tree;
        LoadWholeCollection(source, path, tree);
    }
    Fingerprint before;
    Take(source, "", path, before);
    cfb::Storage copy = ReplaceWithNewFile(path, SideFileName(path, ".$$$"), [&](cfb::Storage& dest) {
        source.CopyTo(dest);
        Fingerprint after;
        Take(dest, "", path, after);
        if (after != before)
            throw ELynkora("The compacted copy of " + path + " differs from the file; the file was left as it was.");
    });
    source.Close();
    copy.Close();
}

} // namespace lynkora
