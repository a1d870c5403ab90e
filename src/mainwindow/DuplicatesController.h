#pragma once

#include <QObject>

namespace lynkora {

class TfrmMainLynkora;
struct TDupURL;

// Scan for duplicates: the scan with its progress in the status bar, then the duplicates window
// where the user deletes what is not wanted.
class DuplicatesController : public QObject {
public:
    explicit DuplicatesController(TfrmMainLynkora& window);

    void Scan(); // acScanDup
    bool Scanning() const { return m_scanning; }

private:
    void Delete(const TDupURL& entry);
    void SetControlsEnabled(bool enabled);

    TfrmMainLynkora& m_w;
    bool m_scanning = false;
    bool m_refillQueued = false;
    unsigned long long m_treeChanges = 0;
};

} // namespace lynkora
