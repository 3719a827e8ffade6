#include "ui/capture/shortcut_capture_widget.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "ui/capture/combination_text.h"
#include "ui/capture/key_event_translation.h"

namespace orvalin {

namespace {

constexpr int kIntrinsicWidth = 110;
constexpr int kIntrinsicHeight = 22;
constexpr qreal kCornerRadius = 5.0;
// Room kept around the text when a font is too large for the intrinsic size.
constexpr int kTextMarginX = 6;
constexpr int kTextMarginY = 4;

// The prompt and the placeholder are a little smaller than the body text, the combination a little
// smaller again in the fixed-pitch font (11 and 12 against a body size of 13).
constexpr qreal kPromptScale = 11.0 / 13.0;
constexpr qreal kDisplayScale = 12.0 / 13.0;

QFont scaled(QFont font, const QFont& base, qreal factor) {
    if (base.pointSizeF() > 0) {
        font.setPointSizeF(std::max(1.0, base.pointSizeF() * factor));
    } else if (base.pixelSize() > 0) {
        font.setPixelSize(std::max(1, static_cast<int>(std::lround(base.pixelSize() * factor))));
    }
    return font;
}

QString recordingPrompt() {
    return ShortcutCaptureWidget::tr("Appuyer sur une touche…", "Shortcut capture — recording state prompt");
}

QString idlePlaceholder() {
    return ShortcutCaptureWidget::tr("Cliquer pour assigner", "Shortcut capture — idle state placeholder");
}

bool isRecordingButton(Qt::MouseButton button) {
    return button == Qt::LeftButton || button == Qt::RightButton;
}

}  // namespace

ShortcutCaptureWidget::ShortcutCaptureWidget(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    // Clicking gives it the focus, so that keys it lets through go to the normal handling of the
    // window it sits in.
    setFocusPolicy(Qt::ClickFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

ShortcutCaptureWidget::~ShortcutCaptureWidget() {
    removeMonitors();
}

void ShortcutCaptureWidget::setShortcut(std::optional<GlobalShortcut> shortcut) {
    if (shortcut == current_) return;
    current_ = std::move(shortcut);
    updateGeometry();
    update();
}

QString ShortcutCaptureWidget::displayedText() const {
    if (recording_) return recordingPrompt();
    if (current_) return combinationText();
    return idlePlaceholder();
}

QString ShortcutCaptureWidget::combinationText() const {
    return current_ ? ui::combinationText(*current_) : QString();
}

void ShortcutCaptureWidget::startRecording() {
    if (recording_) return;
    recording_ = true;
    update();
    installMonitors();
    emit recordingChanged(true);
}

void ShortcutCaptureWidget::endRecording() {
    if (!recording_) return;
    recording_ = false;
    update();
    removeMonitors();
    emit recordingChanged(false);
}

void ShortcutCaptureWidget::installMonitors() {
    // Keys and clicks for every window of the program pass through this filter first, the way
    // they reach the program.
    if (QCoreApplication* app = QCoreApplication::instance()) {
        app->installEventFilter(this);
        filtering_ = true;
    }
    // The keyboard grab keeps the desktop's own shortcuts from taking the combination being
    // recorded. Keys still arrive through the window's focus chain, so those let through get
    // their normal handling. Without a grab (no window system support) recording works all the same.
    if (QWidget* top = window(); top && top->windowHandle() && top->isVisible()) {
        QWindow* handle = top->windowHandle();
        if (handle->setKeyboardGrabEnabled(true)) grabbedWindow_ = handle;
    }
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        applicationStateConnection_ =
            connect(gui, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) endRecording();
            });
    }
}

void ShortcutCaptureWidget::removeMonitors() {
    if (filtering_) {
        if (QCoreApplication* app = QCoreApplication::instance()) app->removeEventFilter(this);
        filtering_ = false;
    }
    if (grabbedWindow_) grabbedWindow_->setKeyboardGrabEnabled(false);
    grabbedWindow_.clear();
    if (applicationStateConnection_) disconnect(applicationStateConnection_);
    applicationStateConnection_ = {};
}

bool ShortcutCaptureWidget::handleRecordingKey(QKeyEvent& event, bool act) {
    const capture::KeyPress press = capture::translateKeyEvent(event);
    // A key the window system cannot place can be neither recorded nor matched later.
    if (!press.keyCode) return false;
    const RecordingKeyOutcome outcome =
        orvalin::handleRecordingKey(*press.keyCode, press.modifiers, press.characters);
    if (!outcome.consumed()) return false;
    event.accept();
    if (!act) return true;

    QPointer<ShortcutCaptureWidget> self(this);
    switch (outcome.kind) {
        case RecordingKeyOutcome::Kind::clear:
            emit shortcutChanged(std::nullopt);
            break;
        case RecordingKeyOutcome::Kind::record:
            emit shortcutChanged(outcome.shortcut);
            break;
        case RecordingKeyOutcome::Kind::cancel:
        case RecordingKeyOutcome::Kind::passOn:
            break;
    }
    if (self) endRecording();
    return true;
}

bool ShortcutCaptureWidget::isClickOutside(QObject* receiver, const QMouseEvent& event) const {
    // A click in another window of the program is outside even where that window covers this one.
    const QWidget* top = window();
    bool sameWindow = false;
    if (receiver->isWidgetType()) {
        sameWindow = static_cast<QWidget*>(receiver)->window() == top;
    } else if (receiver->isWindowType()) {
        sameWindow = receiver == top->windowHandle();
    }
    if (!sameWindow) return true;
    const QPoint local = mapFromGlobal(event.globalPosition()).toPoint();
    return !rect().contains(local);
}

bool ShortcutCaptureWidget::eventFilter(QObject* watched, QEvent* event) {
    if (!recording_) return QWidget::eventFilter(watched, event);
    switch (event->type()) {
        case QEvent::ShortcutOverride:
            // A key it takes must not fire a shortcut of the window first.
            return handleRecordingKey(*static_cast<QKeyEvent*>(event), false);
        case QEvent::KeyPress:
            return handleRecordingKey(*static_cast<QKeyEvent*>(event), true);
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            const auto& mouse = *static_cast<QMouseEvent*>(event);
            // The click itself goes on to its target.
            if (isRecordingButton(mouse.button()) && isClickOutside(watched, mouse)) endRecording();
            return false;
        }
        case QEvent::WindowDeactivate:
            if (watched == window()) endRecording();
            return false;
        default:
            return false;
    }
}

bool ShortcutCaptureWidget::event(QEvent* event) {
    // Taken out of its window, it must not go on holding the keyboard.
    if (event->type() == QEvent::ParentAboutToChange) endRecording();
    return QWidget::event(event);
}

void ShortcutCaptureWidget::mousePressEvent(QMouseEvent* event) {
    // Only the primary button toggles; other clicks on the field change nothing.
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    if (recording_) {
        endRecording();
    } else {
        startRecording();
    }
}

void ShortcutCaptureWidget::hideEvent(QHideEvent* event) {
    // A closed settings window must not keep catching the keys typed elsewhere.
    endRecording();
    QWidget::hideEvent(event);
}

void ShortcutCaptureWidget::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange && !isEnabled()) endRecording();
    if (event->type() == QEvent::FontChange) updateGeometry();
    QWidget::changeEvent(event);
}

QFont ShortcutCaptureWidget::promptFont() const {
    return scaled(font(), font(), kPromptScale);
}

QFont ShortcutCaptureWidget::displayFont() const {
    QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    mono.setWeight(QFont::Medium);
    return scaled(mono, font(), kDisplayScale);
}

QSize ShortcutCaptureWidget::sizeHint() const {
    // 110 x 22, unless the fonts in use need more to show the texts whole.
    const QFontMetricsF prompt(promptFont());
    qreal width =
        std::max(prompt.horizontalAdvance(recordingPrompt()), prompt.horizontalAdvance(idlePlaceholder()));
    qreal height = prompt.height();
    if (current_) {
        const QFontMetricsF display(displayFont());
        width = std::max(width, display.horizontalAdvance(combinationText()));
        height = std::max(height, display.height());
    }
    return {std::max(kIntrinsicWidth, static_cast<int>(std::ceil(width)) + 2 * kTextMarginX),
            std::max(kIntrinsicHeight, static_cast<int>(std::ceil(height)) + 2 * kTextMarginY)};
}

void ShortcutCaptureWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPalette& pal = palette();

    const QRectF r = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    QPainterPath path;
    path.addRoundedRect(r, kCornerRadius, kCornerRadius);
    painter.fillPath(path, pal.color(recording_ ? QPalette::Highlight : QPalette::Base));
    painter.setPen(QPen(pal.color(QPalette::Mid), 1.0));
    painter.drawPath(path);

    QColor colour;
    QFont textFont;
    if (recording_) {
        colour = pal.color(QPalette::HighlightedText);
        textFont = promptFont();
    } else if (current_) {
        colour = pal.color(QPalette::Text);
        textFont = displayFont();
    } else {
        colour = pal.color(QPalette::PlaceholderText);
        textFont = promptFont();
    }

    // A field held narrower than its text (a long key name) shows the start of it.
    const QFontMetricsF metrics(textFont);
    const QString text = metrics.elidedText(displayedText(), Qt::ElideRight, r.width() - 2 * kTextMarginX);
    const qreal w = metrics.horizontalAdvance(text);
    const qreal h = metrics.height();
    painter.setFont(textFont);
    painter.setPen(colour);
    painter.drawText(QRectF((r.width() - w) * 0.5, (r.height() - h) * 0.5, w, h),
                     Qt::AlignCenter | Qt::TextSingleLine, text);
}

}  // namespace orvalin
