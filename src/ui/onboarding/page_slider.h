#pragma once

#include <QPointer>
#include <QWidget>

class QVariantAnimation;

namespace orvalin::ui {

// Shows one page at a time. A new page comes in from the right while fading in, and the page it
// replaces leaves to the left while fading out; the old page is deleted once it is out.
class PageSlider : public QWidget {
    Q_OBJECT
public:
    static constexpr int kDurationMs = 300;

    explicit PageSlider(QWidget* parent = nullptr);

    // Takes `page` (and ownership of it) as the page shown.
    void setPage(QWidget* page, bool animated);
    QWidget* page() const { return current_; }
    bool isSliding() const;
    // Ends a slide under way at once, as if its time had run out.
    void finishSliding();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(qreal progress);
    void endSlide();

    QPointer<QWidget> current_;
    QPointer<QWidget> leaving_;
    QVariantAnimation* slide_;
};

}  // namespace orvalin::ui
