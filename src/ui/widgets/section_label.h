#pragma once

#include <QString>
#include <QWidget>

class QLabel;

namespace orvalin::ui {

// A section heading in the secondary colour; a heading for screen readers. Page: the settings and
// onboarding pages' symbol and semibold title, no insets of its own (the page places it). Panel:
// the panel's caption-sized title without a symbol, inset 14 left and right, 6 above, 2 below.
class SectionLabel : public QWidget {
    Q_OBJECT
public:
    enum class Kind { Page, Panel };
    SectionLabel(const QString& symbol, const QString& title, Kind kind = Kind::Page,
                 QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshIcon();

    QString symbol_;
    QLabel* icon_;
    QLabel* text_;
};

}  // namespace orvalin::ui
