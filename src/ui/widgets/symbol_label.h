#pragma once

#include <QAbstractButton>
#include <QWidget>

#include "ui/widgets/text_widgets.h"

class QLabel;

namespace orvalin::ui {

// A symbol followed by a text, both in one colour role, the text wrapping when room runs out.
// Screen readers read the text; the symbol is decoration.
class SymbolLabel : public QWidget {
    Q_OBJECT
public:
    SymbolLabel(const QString& symbol, const QString& text, ColorRole role = ColorRole::Primary,
                QWidget* parent = nullptr);
    QString text() const;
    QString symbol() const { return symbol_; }
    ColorRole colorRole() const { return role_; }
    void setTextFont(const QFont& font);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    QString symbol_;
    ColorRole role_;
    QLabel* icon_;
    QLabel* text_;
};

// The grouped-content box of settings pages: a softly filled rounded rectangle with a hairline
// edge, in colours that follow the appearance.
class GroupBox : public QWidget {
    Q_OBJECT
public:
    explicit GroupBox(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// The filled, accent-coloured button of a page's main action, in the small control size.
class ProminentButton : public QAbstractButton {
    Q_OBJECT
public:
    explicit ProminentButton(const QString& text, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace orvalin::ui
