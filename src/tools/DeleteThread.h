#pragma once

#include "BackgroundThread.h"

#include "cfb/Storage.h"

#include <memory>
#include <string>

namespace lynkora {

// Removes one category's storage, found by its identifier at any depth below the given
// storage, with everything below it, from the open data file.
class TDeleteThread : public TBackgroundThread {
public:
    static std::shared_ptr<TDeleteThread> Start(const std::string& folderId, cfb::Storage storage,
                                                ThreadErrorSink* sink);

private:
    TDeleteThread(std::string folderId, cfb::Storage storage)
        : TBackgroundThread("dt"), m_folderId(std::move(folderId)), m_storage(std::move(storage)) {}
    void Execute() override;
    void Search(cfb::Storage& storage);

    std::string m_folderId;
    cfb::Storage m_storage;
    bool m_found = false;
};

} // namespace lynkora
