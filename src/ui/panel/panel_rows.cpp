#include "ui/panel/panel_rows.h"

#include <QChildEvent>
#include <QEasingCurve>
#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QPainter>
#include <QPropertyAnimation>
#include <QStyle>
#include <QStyleOptionButton>

#include "ui/capture/combination_text.h"
#include "ui/widgets/accessible_role.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/day_offset_text.h"
#include "ui/widgets/glyph_button.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/text_widgets.h"

namespace orvalin::ui {

namespace {
constexpr int kAnimationMs = 150;
constexpr int kGlyph = 14;
constexpr int kPadH = 8;
constexpr int kPadV = 5;
constexpr int kGap = 6;
}  // namespace

PanelRowButton::PanelRowButton(QWidget* parent) : QAbstractButton(parent) {
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize PanelRowButton::sizeHint() const {
    return layout() ? layout()->sizeHint() : QSize(0, 0);
}
QSize PanelRowButton::minimumSizeHint() const {
    return layout() ? layout()->minimumSize() : QSize(0, 0);
}

void PanelRowButton::childEvent(QChildEvent* event) {
    // The row is the button: clicks on its texts and glyphs must reach it.
    if (event->added() && event->child()->isWidgetType()) {
        static_cast<QWidget*>(event->child())->setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QAbstractButton::childEvent(event);
}

bool PanelRowButton::showsKeyboardFocus() const {
    return hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

void PanelRowButton::paintEvent(QPaintEvent*) {
    if (!(underMouse() || isDown() || showsKeyboardFocus())) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor fill = separatorColor(palette());
    if (isDown()) fill.setAlphaF(std::min(1.0f, fill.alphaF() * 1.8f));
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()).adjusted(6, 1, -6, -1), 6, 6);
}

FormatRow::FormatRow(const Shortcut& entry, const QString& preview, QWidget* parent)
    : PanelRowButton(parent) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(14, 6, 14, 6);
    line->setSpacing(8);

    const QString label = QString::fromStdString(entry.label);
    auto* labelText = new ElidedLabel(label, this);
    labelText->setObjectName("label");
    labelText->setFont(textFont(TextStyle::Body, QFont::Medium));
    labelText->setFixedWidth(52);
    line->addWidget(labelText, 0, Qt::AlignVCenter);

    auto* previewText = new ElidedLabel(preview, this);
    previewText->setObjectName("preview");
    previewText->setFont(textFont(TextStyle::Body));
    previewText->setColorRole(ColorRole::Secondary);
    previewText->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    line->addWidget(previewText, 1, Qt::AlignVCenter);

    QStringList details;
    // The date alone does not say it is not today's.
    if (const QString when = dayOffsetPhrase(entry.effectiveDayOffset()); !when.isEmpty()) details << when;
    const QString trigger = trimSpacesAndTabs(entry.trigger);
    if (!trigger.isEmpty()) {
        addTrigger(line, trigger);
        details << tr("déclencheur %1").arg(trigger);
    }
    if (entry.globalShortcut) {
        const QString combination = combinationText(*entry.globalShortcut);
        addBadge(line, combination);
        details << tr("raccourci %1").arg(combination);
    }
    // Patterns often end with a space, which a listener has no use for.
    const QString spokenDate = preview.trimmed();
    setAccessibleName(label.trimmed().isEmpty() ? spokenDate : tr("%1, %2").arg(label, spokenDate));
    setAccessibleDescription(details.join(QStringLiteral(", ")));
    setToolTip(preview);
}

void FormatRow::addTrigger(QHBoxLayout* line, const QString& trigger) {
    auto* text = new ElidedLabel(trigger, this);
    text->setObjectName("trigger");
    text->setFont(textFont(TextStyle::MonospacedCaption));
    text->setColorRole(ColorRole::Tertiary);
    text->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    line->addWidget(text, 0, Qt::AlignVCenter);
}

void FormatRow::addBadge(QHBoxLayout* line, const QString& combination) {
    auto* badge = new Badge(combination, Badge::Shape::RoundedRect, this);
    badge->setObjectName("badge");
    badge->setFont(textFont(TextStyle::Caption2));
    badge->setControlBackgroundFill(ColorRole::Tertiary);
    // Room for the usual combinations; a long key name must not push the date out of the row.
    badge->setMaximumWidth(100);
    line->addWidget(badge, 0, Qt::AlignVCenter);
}

CalendarToggle::CalendarToggle(QWidget* parent) : PanelRowButton(parent) {
    auto* line = new QHBoxLayout(this);
    line->setContentsMargins(14, 5, 14, 5);
    line->setSpacing(6);
    icon_ = new GlyphButton("calendar", QSize(16, 16), 14, this);
    icon_->setHoverFeedback(false);
    label_ = new ElidedLabel(tr("Choisir une date"), this);
    label_->setFont(textFont(TextStyle::Callout));
    chevron_ = new GlyphButton("chevron.right", QSize(12, 12), 10, this);
    chevron_->setObjectName("chevron");
    chevron_->setHoverFeedback(false);
    for (GlyphButton* glyph : {icon_, chevron_}) setAccessibleRole(glyph, QAccessible::Graphic);
    line->addWidget(icon_, 0, Qt::AlignVCenter);
    line->addWidget(label_, 0, Qt::AlignVCenter);
    line->addStretch(1);
    line->addWidget(chevron_, 0, Qt::AlignVCenter);
    turn_ = new QPropertyAnimation(chevron_, "rotation", this);
    turn_->setDuration(kAnimationMs);
    turn_->setEasingCurve(QEasingCurve::InOutQuad);
    // A push button that says whether the calendar below is expanded.
    setAccessibleRole(this, QAccessible::Button);
    setAccessibleName(label_->text());
}

void CalendarToggle::setExpanded(bool expanded, bool animated) {
    const ColorRole role = expanded ? ColorRole::Primary : ColorRole::Secondary;
    label_->setColorRole(role);
    icon_->setColorRole(role);
    const qreal target = expanded ? 90.0 : 0.0;
    turn_->stop();
    if (animated) {
        turn_->setStartValue(chevron_->rotation());
        turn_->setEndValue(target);
        turn_->start();
    } else {
        chevron_->setRotation(target);
    }
    announceExpandedChange(this, expanded);
}

WarningButton::WarningButton(const QString& text, const QString& symbol, int width, QWidget* parent)
    : QAbstractButton(parent), symbol_(symbol), width_(width) {
    setText(text);
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
}

QRect WarningButton::textRect(const QRect& inside) const {
    return inside.adjusted(kPadH + kGlyph + kGap, kPadV, -kPadH, -kPadV);
}

QSize WarningButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int textWidth = width_ - 2 * kPadH - kGlyph - kGap;
    const QRect bounds = metrics.boundingRect(QRect(0, 0, textWidth, 10000), Qt::TextWordWrap, text());
    return {width_, std::max(bounds.height(), kGlyph) + 2 * kPadV};
}

void WarningButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (hasFocus()) option.state |= QStyle::State_HasFocus;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }

    const QRect text = textRect(rect());
    const QFontMetrics metrics(font());
    const QRect bounds =
        metrics.boundingRect(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, this->text());
    const int glyphTop = bounds.top() + (metrics.height() - kGlyph) / 2;
    paintSymbol(painter, symbol_, QRectF(kPadH, glyphTop, kGlyph, kGlyph), warningOrange());
    painter.setPen(warningOrange());
    painter.drawText(text, Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignVCenter, this->text());
}

SlideReveal::SlideReveal(QWidget* content, QWidget* parent)
    : QWidget(parent), content_(content), fade_(new QGraphicsOpacityEffect(this)) {
    content_->setParent(this);
    content_->show();  // a new parent hides a widget; it shows with us from now on
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    fade_->setOpacity(1.0);
    fade_->setEnabled(false);
    setGraphicsEffect(fade_);
    animation_ = new QPropertyAnimation(this, "progress", this);
    animation_->setDuration(kAnimationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QPropertyAnimation::finished, this, [this] {
        fade_->setEnabled(false);
        if (!revealed_) {
            content_->hide();
            hide();
            emit heightChanged();
        }
    });
}

void SlideReveal::setRevealed(bool revealed, bool animated) {
    revealed_ = revealed;
    animation_->stop();
    if (revealed) {
        content_->show();
        show();
    }
    if (!animated) {
        setProgress(revealed ? 1.0 : 0.0);
        fade_->setEnabled(false);
        if (!revealed) {
            content_->hide();
            hide();
        }
        emit heightChanged();
        return;
    }
    fade_->setEnabled(true);
    animation_->setStartValue(progress_);
    animation_->setEndValue(revealed ? 1.0 : 0.0);
    animation_->start();
}

void SlideReveal::setProgress(qreal progress) {
    progress_ = std::clamp<qreal>(progress, 0.0, 1.0);
    fade_->setOpacity(progress_);
    updateGeometry();
    place();
    emit heightChanged();
}

QSize SlideReveal::sizeHint() const {
    const QSize full = content_->sizeHint();
    return {full.width(), static_cast<int>(std::lround(full.height() * progress_))};
}

bool SlideReveal::event(QEvent* event) {
    // The content is placed by hand, not by a layout: pass its size changes on.
    if (event->type() == QEvent::LayoutRequest) {
        updateGeometry();
        place();
        emit heightChanged();
    }
    return QWidget::event(event);
}

void SlideReveal::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    place();
}

void SlideReveal::place() {
    const int fullHeight = content_->sizeHint().height();
    const int visible = static_cast<int>(std::lround(fullHeight * progress_));
    content_->setGeometry(0, visible - fullHeight, width(), fullHeight);
}

}  // namespace orvalin::ui
