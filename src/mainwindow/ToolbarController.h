#pragma once

#include "settings/ToolbarStream.h"

#include <QObject>

class QMenu;

namespace lynkora {

class TfrmMainLynkora;

// The main tool bar's buttons: the stored layout loaded at start-up, "Customize toolbar..." with
// its window, and the rebuild of the buttons with their drop-downs after either.
class ToolbarController : public QObject {
public:
    explicit ToolbarController(TfrmMainLynkora& window);

    // The stored layout, or the default one when nothing is stored or the stored value does not
    // read (that is reported and the value left as it is until the next Save).
    void Load();
    void Customize(); // acCustom
    // The buttons from the layout, with the Open button's history drop-down.
    void Rebuild();
    const TToolBar& Layout() const { return m_layout; }

    QMenu* ContextMenu() const { return m_popTool; }

private:
    void RebuildButtons();

    TfrmMainLynkora& m_w;
    TToolBar m_layout;
    QMenu* m_popTool;
};

} // namespace lynkora
