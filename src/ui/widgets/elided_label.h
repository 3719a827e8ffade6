#pragma once

#include <QWidget>

#include "ui/widgets/color_role.h"

namespace orvalin::ui {

// One line of text in a colour role, shortened with "…" when the layout gives it less room
// than it would like (so long labels never widen the panel). Drawn inside its contents margins.
class ElidedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setColorRole(ColorRole role);
    void setAlignment(Qt::Alignment alignment);
    // Whether the label may be shortened below its text's width.
    void setElidable(bool elidable);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    ColorRole role_ = ColorRole::Primary;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool elidable_ = true;
};

}  // namespace orvalin::ui
