#pragma once

#include <QColor>
#include <QWidget>
#include <string>

namespace orvalin::ui {

// Which palette-derived colour a piece of text is drawn in; resolved at paint time so that an
// appearance change recolours everything at once.
enum class ColorRole { Primary, Secondary, Tertiary, Accent, Orange, White };

QColor resolveColor(ColorRole role, const QPalette& palette);

// A trigger as shown to the user: spaces and tabs off both ends; line breaks stay.
QString trimSpacesAndTabs(const std::string& text);

// One line of text in a colour role, shortened with "…" when the layout gives it less room
// than it would like (so long labels never widen the panel). Drawn inside its contents margins.
class ElidedLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)
public:
    explicit ElidedLabel(const QString& text = {}, QWidget* parent = nullptr);

    void setText(const QString& text);
    QString text() const { return text_; }
    void setColorRole(ColorRole role);
    ColorRole colorRole() const { return role_; }
    void setAlignment(Qt::Alignment alignment);
    // Whether the label may be shortened below its text's width.
    void setElidable(bool elidable);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    ColorRole role_ = ColorRole::Primary;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
    bool elidable_ = true;
};

// A small text on a filled shape: a capsule, or a rounded rectangle with a hairline outline.
class Badge : public QWidget {
    Q_OBJECT
    Q_PROPERTY(QString text READ text)
public:
    enum class Shape { Capsule, RoundedRect };
    Badge(const QString& text, Shape shape, QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setFill(ColorRole textRole, QColor fill, bool outlined);
    // A fill that follows the palette: the control background.
    void setControlBackgroundFill(ColorRole textRole);
    // Space between the text and the shape's edge (5 and 2 unless told).
    void setPadding(int horizontal, int vertical);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    Shape shape_;
    ColorRole textRole_ = ColorRole::White;
    QColor fill_;
    bool paletteFill_ = false;
    bool outlined_ = false;
    int paddingH_ = 5;
    int paddingV_ = 2;
};

// A one-pixel horizontal line in the separator colour, with space above and below.
class Divider : public QWidget {
    Q_OBJECT
public:
    explicit Divider(int above = 0, int below = 0, QWidget* parent = nullptr);
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int above_;
    int below_;
};

// A caption-sized title in the secondary colour, inset 14 left and right, 6 above, 2 below; a
// heading for screen readers.
class SectionHeader : public ElidedLabel {
    Q_OBJECT
public:
    explicit SectionHeader(const QString& title, QWidget* parent = nullptr);
};

}  // namespace orvalin::ui
