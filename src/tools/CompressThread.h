#pragma once

#include "BackgroundThread.h"

#include "store/Compaction.h"

#include <memory>
#include <string>

namespace lynkora {

// Compacts a data file after it was closed in direct mode.
class TCompressThread : public TBackgroundThread {
public:
    static std::shared_ptr<TCompressThread> Start(const std::string& path, ThreadErrorSink* sink);

private:
    explicit TCompressThread(std::string path)
        : TBackgroundThread("cp"), m_path(std::move(path)),
          m_ticket(std::make_unique<CompactionTicket>(m_path)) {}
    void Execute() override;

    std::string m_path;
    std::unique_ptr<CompactionTicket> m_ticket; // held from creation until the job ends
};

} // namespace lynkora
