#pragma once

#include <QLabel>

#include "ui/widgets/color_role.h"

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

}  // namespace orvalin::ui
