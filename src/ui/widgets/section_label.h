#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace orvalin::ui {

// A section heading of the settings and onboarding pages: a symbol and a title, semibold, in the
// secondary colour. No insets of its own; the page places it.
class SectionLabel : public QWidget {
    Q_OBJECT
public:
    SectionLabel(const QString& symbol, const QString& title, QWidget* parent = nullptr);
    QString title() const { return title_; }
    QString symbol() const { return symbol_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshIcon();

    QString symbol_;
    QString title_;
    QLabel* icon_;
    QLabel* text_;
};

}  // namespace orvalin::ui
