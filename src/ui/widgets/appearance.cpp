#include "ui/widgets/appearance.h"

#include <QApplication>
#include <QEvent>
#include <QFontDatabase>
#include <QStyle>
#include <QStyleFactory>
#include <QWidget>
#include <QWindow>

namespace orvalin::ui {

namespace {

struct PlatformLook {
    bool captured = false;
    QString styleName;
    QPalette palette;
    Appearance current = Appearance::System;
};

PlatformLook& platformLook() {
    static PlatformLook look;
    return look;
}

void captureOnce() {
    PlatformLook& look = platformLook();
    if (look.captured) return;
    look.captured = true;
    look.styleName = QApplication::style() ? QApplication::style()->name() : QString();
    look.palette = QApplication::palette();
}

void setStyleNamed(const QString& name) {
    if (QApplication::style() && QApplication::style()->name().compare(name, Qt::CaseInsensitive) == 0)
        return;
    if (QStyle* style = QStyleFactory::create(name)) QApplication::setStyle(style);
}

}  // namespace

Appearance appearanceFromSetting(std::string_view value) {
    if (value == "light") return Appearance::Light;
    if (value == "dark") return Appearance::Dark;
    return Appearance::System;
}

void applyAppearance(Appearance appearance) {
    captureOnce();
    PlatformLook& look = platformLook();
    switch (appearance) {
        case Appearance::Light:
            setStyleNamed("Fusion");
            QApplication::setPalette(lightPalette());
            break;
        case Appearance::Dark:
            setStyleNamed("Fusion");
            QApplication::setPalette(darkPalette());
            break;
        case Appearance::System:
            if (!look.styleName.isEmpty()) setStyleNamed(look.styleName);
            QApplication::setPalette(look.palette);
            break;
    }
    look.current = appearance;
    // Qt tells only windows that exist on screen; windows built but not shown yet (the panel
    // before its first showing) would keep the old colours.
    QEvent change(QEvent::ApplicationPaletteChange);
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (!window->windowHandle()) QCoreApplication::sendEvent(window, &change);
    }
}

Appearance currentAppearance() {
    return platformLook().current;
}

QPalette lightPalette() {
    QPalette p;
    const QColor window(0xf2, 0xf2, 0xf4);
    const QColor text(0x1d, 0x1d, 0x1f);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::AlternateBase, QColor(0xf5, 0xf5, 0xf7));
    p.setColor(QPalette::ToolTipBase, Qt::white);
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0xfb, 0xfb, 0xfd));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, Qt::white);
    p.setColor(QPalette::Midlight, QColor(0xe4, 0xe4, 0xe8));
    p.setColor(QPalette::Mid, QColor(0xc7, 0xc7, 0xcc));
    p.setColor(QPalette::Dark, QColor(0xa0, 0xa0, 0xa6));
    p.setColor(QPalette::Shadow, QColor(0x60, 0x60, 0x66));
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x7a, 0xff));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x0a, 0x64, 0xd6));
    p.setColor(QPalette::LinkVisited, QColor(0x6e, 0x3c, 0xbc));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, QColor(0xa0, 0xa0, 0xa6));
    }
    return p;
}

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x26, 0x26, 0x29);
    const QColor text(0xf2, 0xf2, 0xf5);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, QColor(0x1c, 0x1c, 0x1e));
    p.setColor(QPalette::AlternateBase, QColor(0x2c, 0x2c, 0x2f));
    p.setColor(QPalette::ToolTipBase, QColor(0x32, 0x32, 0x36));
    p.setColor(QPalette::ToolTipText, text);
    p.setColor(QPalette::PlaceholderText, QColor(0x8e, 0x8e, 0x93));
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, QColor(0x3a, 0x3a, 0x3e));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Light, QColor(0x4a, 0x4a, 0x4f));
    p.setColor(QPalette::Midlight, QColor(0x3e, 0x3e, 0x43));
    p.setColor(QPalette::Mid, QColor(0x30, 0x30, 0x34));
    p.setColor(QPalette::Dark, QColor(0x18, 0x18, 0x1a));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Highlight, QColor(0x0a, 0x84, 0xff));
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::Link, QColor(0x40, 0x9c, 0xff));
    p.setColor(QPalette::LinkVisited, QColor(0xb0, 0x8c, 0xf0));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        p.setColor(QPalette::Disabled, role, QColor(0x70, 0x70, 0x76));
    }
    return p;
}

namespace {
QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(static_cast<float>(alpha));
    return color;
}
bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5;
}
}  // namespace

QColor secondaryText(const QPalette& palette) {
    return withAlpha(palette.color(QPalette::WindowText), 0.6);
}
QColor tertiaryText(const QPalette& palette) {
    return withAlpha(palette.color(QPalette::WindowText), 0.38);
}
QColor separatorColor(const QPalette& palette) {
    return withAlpha(palette.color(QPalette::WindowText), isDark(palette) ? 0.16 : 0.12);
}
QColor accentColor(const QPalette& palette) {
    return palette.color(QPalette::Active, QPalette::Highlight);
}
QColor controlBackground(const QPalette& palette) {
    return palette.color(QPalette::Base);
}
QColor weekendRed(const QPalette& palette) {
    return isDark(palette) ? QColor(0xff, 0x5f, 0x57) : QColor(0xe0, 0x34, 0x2c);
}
QColor warningOrange() {
    return QColor(0xf0, 0x8a, 0x00);
}
QColor badgeOrange() {
    return QColor(0xff, 0x95, 0x00);
}

QFont systemFont(int pixelSize, QFont::Weight weight) {
    QFont font = QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont textFont(TextStyle style, QFont::Weight weight) {
    switch (style) {
        case TextStyle::Headline:
            return systemFont(15, weight == QFont::Normal ? QFont::DemiBold : weight);
        case TextStyle::Body:
            return systemFont(13, weight);
        case TextStyle::Callout:
            return systemFont(12, weight);
        case TextStyle::Subheadline:
        case TextStyle::Caption:
            return systemFont(11, weight);
        case TextStyle::Caption2:
            return systemFont(10, weight);
        case TextStyle::MonospacedCaption: {
            // Triggers are read letter by letter ("dtl" is not "dt1"): faces whose l has a clear
            // tail and whose 1 a flat foot come first, at a size that draws both; the desktop's
            // fixed-pitch font after them.
            QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            font.setFamilies({QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Hack"),
                              QStringLiteral("Noto Sans Mono"), font.family()});
            font.setStyleHint(QFont::Monospace);
            font.setPixelSize(12);
            font.setWeight(weight);
            return font;
        }
    }
    return systemFont(13, weight);
}

}  // namespace orvalin::ui
