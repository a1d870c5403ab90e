#pragma once

#include <QColor>
#include <QToolButton>

#include <functional>

class QMenu;

namespace lynkora {

// A button showing a colour; it drops down a palette of 20 colours and "&Other" for the full
// colour dialog. The colour is also readable as a stored colour value (0x00BBGGRR).
class ColorButton : public QToolButton {
public:
    explicit ColorButton(QWidget* parent = nullptr);

    QColor Color() const { return m_color; }
    void SetColor(const QColor& color);
    std::int32_t StoredColor() const;
    void SetStoredColor(std::int32_t value);

    static const QColor (&Palette())[20];
    // Replaceable for tests: the full colour dialog; an invalid colour when cancelled.
    std::function<QColor(const QColor& start)> AskColor;
    QMenu* PaletteMenu() const { return m_menu; }

private:
    void UpdateSwatch();

    QColor m_color = Qt::red;
    QMenu* m_menu;
};

} // namespace lynkora
