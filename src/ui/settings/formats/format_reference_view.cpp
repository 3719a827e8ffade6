#include "ui/settings/formats/format_reference_view.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "ui/widgets/appearance.h"
#include "ui/widgets/section_label.h"

namespace orvalin::ui {

namespace {

constexpr int kCodeColumnWidth = 95;

QLabel* codeLabel(const QString& code, QWidget* parent) {
    auto* label = new QLabel(code, parent);
    label->setTextFormat(Qt::PlainText);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(13);
    font.setWeight(QFont::Medium);
    label->setFont(font);
    label->setFixedWidth(kCodeColumnWidth);
    label->setForegroundRole(QPalette::Highlight);
    return label;
}

QLabel* descriptionLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(textFont(TextStyle::Callout));
    return label;
}

QWidget* sectionBlock(const FormatReferenceView::Section& section, QWidget* parent) {
    auto* block = new QWidget(parent);
    auto* column = new QVBoxLayout(block);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addWidget(new SectionLabel(section.icon, section.title, SectionLabel::Kind::Page, block));
    auto* entries = new QVBoxLayout;
    entries->setContentsMargins(4, 0, 0, 0);
    entries->setSpacing(3);
    for (const auto& code : section.codes) {
        auto* row = new QHBoxLayout;
        row->setSpacing(0);
        row->addWidget(codeLabel(code.code, block), 0, Qt::AlignBaseline);
        row->addWidget(descriptionLabel(code.description, block), 1, Qt::AlignBaseline);
        entries->addLayout(row);
    }
    column->addLayout(entries);
    return block;
}

}  // namespace

std::vector<FormatReferenceView::Section> FormatReferenceView::sections() {
    return {
        {tr("Année"),
         "calendar",
         {{"yyyy", tr("Année sur 4 chiffres  ex : 2026")}, {"yy", tr("Année sur 2 chiffres  ex : 26")}}},
        {tr("Mois"),
         "calendar.badge.clock",
         {{"MMMM", tr("Nom complet            ex : mars")},
          {"MMM", tr("Nom abrégé             ex : mar.")},
          {"MM", tr("Numéro avec zéro       ex : 03")},
          {"M", tr("Numéro sans zéro       ex : 3")}}},
        {tr("Jour"),
         "number",
         {{"dd", tr("Jour avec zéro         ex : 05")},
          {"d", tr("Jour sans zéro         ex : 5")},
          {"D", tr("Jour de l'année        ex : 79")}}},
        {tr("Jour de la semaine"),
         "rectangle.grid.1x2",
         {{"EEEE", tr("Nom complet            ex : vendredi")},
          {"EEE", tr("Nom abrégé             ex : ven.")},
          {"e", tr("Numéro (lundi = 2)     ex : 6")}}},
        {tr("Heure (24 h)"),
         "clock",
         {{"HH", tr("Heure avec zéro        ex : 08")}, {"H", tr("Heure sans zéro        ex : 8")}}},
        {tr("Heure (12 h)"),
         "clock.badge",
         {{"hh", tr("Heure avec zéro        ex : 08")},
          {"h", tr("Heure sans zéro        ex : 8")},
          {"a", tr("AM / PM                ex : AM")}}},
        {tr("Minutes & secondes"),
         "timer",
         {{"mm", tr("Minutes avec zéro      ex : 04")}, {"ss", tr("Secondes avec zéro     ex : 09")}}},
        {tr("Séparateurs"),
         "character.cursor.ibeam",
         {{tr("/  -  .  espace"), tr("Caractères littéraux")},
          {tr("'texte'"), tr("Texte entre apostrophes")}}},
    };
}

FormatReferenceView::FormatReferenceView(QWidget* parent) : QScrollArea(parent) {
    setFixedSize(kWidth, kHeight);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setWidgetResizable(true);
    setAccessibleName(tr("Codes de format"));

    auto* content = new QWidget(this);
    content->setBackgroundRole(QPalette::Window);
    auto* column = new QVBoxLayout(content);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(16);
    auto* title = new QLabel(tr("Codes de format"), content);
    title->setFont(textFont(TextStyle::Headline));
    title->setContentsMargins(0, 0, 0, 2);
    column->addWidget(title);
    for (const Section& section : sections()) column->addWidget(sectionBlock(section, content));
    column->addStretch(1);
    setWidget(content);
}

FormatReferencePopup::FormatReferencePopup(QWidget* parent)
    : QFrame(parent, Qt::Popup), view_(new FormatReferenceView(this)) {
    setFrameShape(QFrame::StyledPanel);
    setAttribute(Qt::WA_WindowPropagation);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(view_);
    setFixedSize(sizeHint());
    setAccessibleName(view_->accessibleName());
}

void FormatReferencePopup::popupBelow(QWidget* anchor) {
    QPoint below = anchor->mapToGlobal(QPoint(anchor->width() / 2, anchor->height()));
    QPoint topLeft(below.x() - width() / 2, below.y() + 2);
    if (QScreen* screen = anchor->screen()) {
        const QRect room = screen->availableGeometry();
        topLeft.setX(std::clamp(topLeft.x(), room.left(), std::max(room.left(), room.right() - width())));
        // No room below: open above the button instead of running off the screen.
        if (topLeft.y() + height() > room.bottom())
            topLeft.setY(std::max(room.top(), anchor->mapToGlobal(QPoint(0, 0)).y() - height() - 2));
    }
    move(topLeft);
    show();
}

void FormatReferencePopup::hideEvent(QHideEvent* event) {
    QFrame::hideEvent(event);
    emit closed();
}

}  // namespace orvalin::ui
