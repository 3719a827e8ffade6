#pragma once

#include <QWidget>

class QGraphicsOpacityEffect;
class QPropertyAnimation;

namespace orvalin::ui {

// Shows its one child sliding down from its top edge while fading in, and the reverse. The child
// is hidden once fully out, so it sees a hide event.
class SlideReveal : public QWidget {
    Q_OBJECT
    Q_PROPERTY(qreal progress READ progress WRITE setProgress)
public:
    static constexpr int kDurationMs = 150;
    explicit SlideReveal(QWidget* content, QWidget* parent = nullptr);
    void setRevealed(bool revealed, bool animated);
    qreal progress() const { return progress_; }
    void setProgress(qreal progress);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void heightChanged();

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place();

    QWidget* content_;
    QGraphicsOpacityEffect* fade_;
    QPropertyAnimation* animation_;
    qreal progress_ = 1;
    bool revealed_ = true;
};

}  // namespace orvalin::ui
