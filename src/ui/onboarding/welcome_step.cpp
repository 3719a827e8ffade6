#include "ui/onboarding/welcome_step.h"

#include <QHBoxLayout>
#include <QIcon>
#include <QPainter>

#include "ui/onboarding/feature_pill.h"
#include "ui/onboarding/page_text.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/icons.h"
#include "ui/widgets/prominent_button.h"

namespace orvalin::ui {

namespace {

// An icon drawn at the screen's own resolution, so it stays sharp on scaled screens.
class IconView : public QWidget {
public:
    IconView(QIcon icon, int side) : icon_(std::move(icon)) { setFixedSize(side, side); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        icon_.paint(&painter, rect());
    }

private:
    QIcon icon_;
};

}  // namespace

QIcon applicationIcon() {
    QIcon builtIn(QStringLiteral(":/orvalin/orvalin.svg"));
    if (!builtIn.availableSizes().isEmpty() || !builtIn.pixmap(16, 16).isNull()) return builtIn;
    return QIcon::fromTheme(QStringLiteral("orvalin"), symbolIcon(QStringLiteral("calendar")));
}

WelcomeStep::WelcomeStep(std::function<void()> onNext, QWidget* parent)
    : OnboardingPage(parent), onNext_(std::move(onNext)) {
    setObjectName("welcomeStep");
    addFlexibleSpace(kTopSpace);

    auto* icon = new IconView(applicationIcon(), kIconSide);
    icon->setObjectName("applicationIcon");
    addCentred(icon, 20);

    addCentred(new PageText(tr("Bienvenue dans Orvalin"), onboardingTitleFont(), ColorRole::Primary));
    column()->addSpacing(8);
    addCentred(new PageText(tr("Insérez des dates instantanément\ndans n'importe quelle application."),
                            textFont(TextStyle::Body), ColorRole::Secondary),
               28);

    auto* pillRow = new QWidget;
    pillRow->setObjectName("featurePills");
    auto* pillLine = new QHBoxLayout(pillRow);
    pillLine->setContentsMargins(0, 0, 0, 0);
    pillLine->setSpacing(12);
    for (const auto& [symbol, label] :
         {std::pair{"keyboard", tr("Déclencheurs")}, std::pair{"command.square.fill", tr("Raccourcis")},
          std::pair{"calendar", tr("Calendrier")}}) {
        auto* pill = new FeaturePill(QString::fromUtf8(symbol), label);
        pillLine->addWidget(pill);
    }
    addCentred(pillRow);
    addFlexibleSpace(kMiddleSpace);

    start_ = new ProminentButton(tr("Commencer"), 180);
    start_->setObjectName("startButton");
    connect(start_, &QAbstractButton::clicked, this, [this] {
        if (onNext_) onNext_();
    });
    addCentred(start_, 32);
}

QAbstractButton* WelcomeStep::mainButton() const {
    return start_;
}

}  // namespace orvalin::ui
