#pragma once

#include <QObject>

namespace lynkora {

class TfrmMainLynkora;

// "Options...": fills the options window from the settings, and on OK applies what was chosen
// to the running window in a fixed order and saves the settings.
class OptionsController : public QObject {
public:
    explicit OptionsController(TfrmMainLynkora& window);

    void Options(); // Options1

private:
    TfrmMainLynkora& m_w;
};

} // namespace lynkora
