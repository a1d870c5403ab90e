#include "CompressThread.h"

#include "store/Compaction.h"

namespace lynkora {

std::shared_ptr<TCompressThread> TCompressThread::Start(const std::string& path,
                                                        ThreadErrorSink* sink) {
    std::shared_ptr<TCompressThread> thread(new TCompressThread(path));
    thread->TBackgroundThread::Start(sink);
    return thread;
}

void TCompressThread::Execute() {
    try {
        CompactDataFile(m_path);
    } catch (...) {
        m_ticket.reset();
        throw;
    }
    m_ticket.reset();
}

} // namespace lynkora
