#pragma once

#include <QString>
#include <QWidget>

namespace orvalin::ui {

// A format's date on a soft accent-coloured plate, centred, shortened with "…" when too long.
// Its size does not depend on the text, so a new date at every keystroke only repaints it.
class PreviewPlate : public QWidget {
    Q_OBJECT
public:
    explicit PreviewPlate(QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
};

}  // namespace orvalin::ui
