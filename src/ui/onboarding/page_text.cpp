#include "ui/onboarding/page_text.h"

#include <QApplication>
#include <QEvent>

#include "ui/widgets/appearance.h"

namespace orvalin::ui {

namespace {
bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}
}  // namespace

QFont onboardingTitleFont() {
    return systemFont(22, QFont::Bold);
}

QFont onboardingTitle2Font() {
    return systemFont(17, QFont::Bold);
}

QColor successGreen(const QPalette& palette) {
    return isDark(palette) ? QColor(0x30, 0xd1, 0x58) : QColor(0x28, 0xb4, 0x4c);
}

QColor attentionOrange(const QPalette& palette) {
    return isDark(palette) ? QColor(0xff, 0x9f, 0x0a) : QColor(0xf0, 0x8a, 0x00);
}

PageText::PageText(const QString& text, const QFont& font, ColorRole role, QWidget* parent)
    : QLabel(text, parent), role_(role) {
    setFont(font);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    setTextFormat(Qt::PlainText);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    applyColor();
}

void PageText::setColorRole(ColorRole role) {
    role_ = role;
    applyColor();
}

void PageText::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    // The colour is derived from the surrounding palette: follow it and a new parent.
    if (event->type() == QEvent::PaletteChange || event->type() == QEvent::ParentChange) applyColor();
}

void PageText::applyColor() {
    QPalette own = palette();
    const QColor color =
        resolveColor(role_, parentWidget() ? parentWidget()->palette() : QApplication::palette());
    if (own.color(QPalette::WindowText) == color) return;
    own.setColor(QPalette::WindowText, color);
    setPalette(own);
}

}  // namespace orvalin::ui
