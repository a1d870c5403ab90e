#pragma once

#include "tools/Find.h"

#include <QObject>

namespace lynkora {

class TfrmMainLynkora;

// Find and Find next: the search dialog, the options they share, and the selection of a match
// in the tree and the list.
class FindController : public QObject {
public:
    explicit FindController(TfrmMainLynkora& window);

    void Find();     // acFind
    void FindNext(); // acFindNext

    const TSearchOptions& Options() const { return m_options; }
    // Find next needs a first search.
    bool Searched() const { return m_searched; }

private:
    void FindNextMatch();

    TfrmMainLynkora& m_w;
    TSearchOptions m_options; // for the window's lifetime, across files
    bool m_searched = false;
};

} // namespace lynkora
