#include "Compaction.h"

#include "FileReplace.h"

#include "cfb/Storage.h"

#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <set>

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

void CompactDataFile(const std::string& path) {
    CompactionTicket running(path);
    cfb::Storage source = cfb::OpenCompoundFile(path, false);
    cfb::Storage copy = ReplaceWithNewFile(path, ChangeFileExt(path, ".$$$"),
                                           [&](cfb::Storage& dest) { source.CopyTo(dest); });
    source.Close();
    copy.Close();
}

} // namespace lynkora
