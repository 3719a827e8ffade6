#pragma once

#include <QAbstractButton>
#include <QColor>

namespace orvalin::ui {

// One link of the About page: a coloured tile with a white symbol, a title over a subtitle, and
// an arrow at the far end. The whole row is the link, the empty middle included; it is drawn
// without button chrome, lights up under the pointer and takes the keyboard focus.
class AboutLinkRow : public QAbstractButton {
    Q_OBJECT
public:
    AboutLinkRow(const QString& symbol, const QColor& tile, const QString& title, const QString& subtitle,
                 QString url, QWidget* parent = nullptr);

    const QString& url() const { return url_; }
    QString title() const { return text(); }
    const QString& subtitle() const { return subtitle_; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void activated(const QString& url);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

private:
    QString symbol_;
    QColor tile_;
    QString subtitle_;
    QString url_;
};

}  // namespace orvalin::ui
