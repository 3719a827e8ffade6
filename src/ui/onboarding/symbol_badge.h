#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

class QVariantAnimation;

namespace orvalin::ui {

// A 72-wide disc in a light tint of a colour with a symbol in that colour on it. A change of
// symbol and colour can cross-fade.
class SymbolBadge : public QWidget {
    Q_OBJECT
public:
    static constexpr int kSide = 72;

    SymbolBadge(const QString& symbol, const QColor& color, int glyphSize, QWidget* parent = nullptr);

    void setState(const QString& symbol, const QColor& color, bool animated, int durationMs);
    QString symbol() const { return symbol_; }
    QColor color() const { return color_; }

    QSize sizeHint() const override { return {kSide, kSide}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintLayer(QPainter& painter, const QString& symbol, const QColor& color, qreal opacity);

    QString symbol_;
    QColor color_;
    QString previousSymbol_;
    QColor previousColor_;
    qreal progress_ = 1;  // of the cross-fade from the previous state
    int glyphSize_;
    QVariantAnimation* fade_;
};

}  // namespace orvalin::ui
