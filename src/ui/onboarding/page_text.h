#pragma once

#include <QLabel>

#include "ui/widgets/text_widgets.h"

namespace orvalin::ui {

// Fonts and colours of the onboarding pages, beyond the shared text styles.
QFont onboardingTitleFont();   // the welcome title
QFont onboardingTitle2Font();  // the titles of the permission and ready pages
QColor successGreen(const QPalette& palette);
QColor attentionOrange(const QPalette& palette);

// A text of an onboarding page: centred, broken only where the text has a line break, in a
// colour role that follows the appearance.
class PageText : public QLabel {
    Q_OBJECT
public:
    PageText(const QString& text, const QFont& font, ColorRole role, QWidget* parent = nullptr);
    void setColorRole(ColorRole role);

protected:
    void changeEvent(QEvent* event) override;

private:
    void applyColor();
    ColorRole role_;
};

// A symbol followed by one line of text, both in a colour role, drawn at paint time so that they
// follow the appearance.
class PageSymbolLabel : public QWidget {
    Q_OBJECT
public:
    PageSymbolLabel(const QString& symbol, const QString& text, const QFont& font, ColorRole role,
                QWidget* parent = nullptr);
    QString text() const { return text_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString symbol_;
    QString text_;
    ColorRole role_;
};

}  // namespace orvalin::ui
