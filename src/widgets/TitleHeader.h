#pragma once

#include <QString>
#include <QWidget>

namespace lynkora {

// The header above the list: a bold caption on the left and a record text on the right. Both
// are cut with an ellipsis to the room there is, so a long text never widens the header or
// pushes the panes beside it.
class TitleHeader : public QWidget {
public:
    explicit TitleHeader(QWidget* parent = nullptr);

    void SetCaption(const QString& text);
    void SetRecord(const QString& text);
    const QString& Caption() const { return m_caption; }
    const QString& Record() const { return m_record; }
    void Clear();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_caption;
    QString m_record;
};

} // namespace lynkora
