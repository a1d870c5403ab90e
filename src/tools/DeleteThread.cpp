#include "DeleteThread.h"

#include "store/NameCollator.h"

namespace lynkora {

std::shared_ptr<TDeleteThread> TDeleteThread::Start(const std::string& folderId,
                                                    cfb::Storage storage, ThreadErrorSink* sink) {
    std::shared_ptr<TDeleteThread> thread(new TDeleteThread(folderId, std::move(storage)));
    thread->TBackgroundThread::Start(sink);
    return thread;
}

void TDeleteThread::Execute() {
    m_found = false;
    Search(m_storage);
    m_storage.Flush();
}

void TDeleteThread::Search(cfb::Storage& storage) {
    // A failure is reported at its own level; the levels above go on with their enumeration.
    try {
        for (const auto& e : storage.Elements()) {
            if (m_found)
                return;
            if (e.kind != cfb::ElementKind::Storage)
                continue;
            if (CompareAsciiNoCase(e.name, m_folderId) == 0) {
                storage.DestroyElement(e.name);
                m_found = true;
                return;
            }
            cfb::Storage below = storage.OpenStorage(e.name);
            Search(below);
        }
    } catch (...) {
        ReportError(std::current_exception());
    }
}

} // namespace lynkora
