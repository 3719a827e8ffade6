#pragma once

#include <QLabel>
#include <QString>

namespace orvalin::ui {

// A label with a built-in symbol drawn before its text, in the text's colour and one line high:
// one widget where a row of an icon label and a text label took three, which adds up on a page
// of a hundred cards. Screen readers read it as the plain label it is.
class IconLabel : public QLabel {
    Q_OBJECT
public:
    IconLabel(const QString& symbol, const QString& text, int spacing, QWidget* parent = nullptr);

protected:
    void changeEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    int side() const;
    void makeRoom();

    QString symbol_;
    int spacing_;
};

}  // namespace orvalin::ui
