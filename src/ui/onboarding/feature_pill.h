#pragma once

#include <QString>
#include <QWidget>

namespace orvalin::ui {

// One thing the program does, in a small rounded box: a symbol in the accent colour and a short
// label in the secondary colour.
class FeaturePill : public QWidget {
    Q_OBJECT
public:
    FeaturePill(const QString& icon, const QString& label, QWidget* parent = nullptr);

    QString icon() const { return icon_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int glyphSide() const;

    QString icon_;
    QString label_;
};

}  // namespace orvalin::ui
