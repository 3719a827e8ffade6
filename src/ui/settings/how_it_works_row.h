#pragma once

#include <QColor>
#include <QWidget>

class QLabel;

namespace orvalin::ui {

// One explanation row of the General tab: a tinted symbol in a narrow column, a semibold title
// and a description that wraps onto as many lines as it needs.
class HowItWorksRow : public QWidget {
    Q_OBJECT
public:
    HowItWorksRow(const QString& symbol, const QColor& color, const QString& title,
                  const QString& description, QWidget* parent = nullptr);
    QString title() const;
    QString description() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshColours();

    QString symbol_;
    QColor color_;
    QLabel* icon_;
    QLabel* title_;
    QLabel* description_;
};

}  // namespace orvalin::ui
