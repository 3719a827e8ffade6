#pragma once

#include <QWidget>

#include "ui/widgets/color_role.h"

class QLabel;

namespace orvalin::ui {

// A symbol followed by a text, both in one colour role. Screen readers read the text; the symbol
// is decoration.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    // Wrapping: the text breaks into lines when room runs out, after a symbol a line tall.
    // OneLine: one line, as wide as its text, after a smaller symbol set closer to it.
    enum class Fit { Wrapping, OneLine };
    SymbolLabel(const QString& symbol, const QString& text, ColorRole role = ColorRole::Primary,
                QWidget* parent = nullptr);
    QString text() const;
    void setTextFont(const QFont& font);
    void setFit(Fit fit);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void refresh();

    QString symbol_;
    ColorRole role_;
    Fit fit_ = Fit::Wrapping;
    QLabel* icon_;
    QLabel* text_;
};

}  // namespace orvalin::ui
