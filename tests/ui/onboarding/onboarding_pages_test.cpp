// What each onboarding page shows: its elements in order, the trigger box, the toggle, the page
// indicator, the accessible names; and that nothing is pushed out of the window.
#include <QCheckBox>

#include "core/date_format.h"
#include "onboarding_fixture.h"
#include "support/scoped_env.h"
#include "ui/onboarding/feature_pill.h"
#include "ui/onboarding/page_indicator.h"
#include "ui/onboarding/symbol_badge.h"
#include "ui/onboarding/trigger_box.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/launch_at_login_switch.h"

namespace orvalin::ui {
namespace {

using namespace std::chrono_literals;

// The texts of the labels of a page, top to bottom.
QStringList textsTopToBottom(QWidget* page) {
    QStringList texts;
    for (QLabel* label : testing::shownChildren<QLabel>(page)) {
        if (!label->text().isEmpty()) texts << label->text();
    }
    return texts;
}

QRect rectIn(QWidget* widget, QWidget* ancestor) {
    return QRect(widget->mapTo(ancestor, QPoint(0, 0)), widget->size());
}

TEST_F(OnboardingTest, WelcomePageShowsIconTextsPillsAndButtonInOrder) {
    makeView();
    WelcomeStep* welcome = page<WelcomeStep>();
    ASSERT_NE(welcome, nullptr);
    EXPECT_EQ(textsTopToBottom(welcome),
              QStringList({"Bienvenue dans Orvalin",
                           "Insérez des dates instantanément\ndans n'importe quelle application."}));
    auto pills = testing::shownChildren<FeaturePill>(welcome);
    ASSERT_EQ(pills.size(), 3u);
    for (std::size_t i = 1; i < pills.size(); ++i)
        EXPECT_EQ(pills[i]->x() - pills[i - 1]->geometry().right() - 1, 12);
    QWidget* icon = welcome->findChild<QWidget*>("applicationIcon");
    ASSERT_NE(icon, nullptr);
    QAbstractButton* start = welcome->mainButton();
    // Icon above the title, pills above the button, the button 32 above the indicator band.
    QLabel* title = welcome->findChildren<QLabel*>().front();
    EXPECT_LT(rectIn(icon, welcome).bottom(), rectIn(title, welcome).top());
    EXPECT_LT(rectIn(pills[0], welcome).bottom(), rectIn(start, welcome).top());
    EXPECT_EQ(welcome->height() - rectIn(start, welcome).bottom() - 1, 32);
    // Everything centred in the 480-wide window.
    EXPECT_NEAR(rectIn(start, view.get()).center().x(), 240, 1);
    EXPECT_NEAR(rectIn(icon, view.get()).center().x(), 240, 1);
}

// Granted before the page shows, it offers Continue and waits for it; withdrawn, the page goes
// back to asking, and stays.
TEST_F(OnboardingTest, PermissionPageFollowsTheTrustBothWaysAndNeverAdvancesByItself) {
    makeView(/*trusted=*/true);
    PermissionStep& permission = toPermissionPage();
    auto* badge = named<SymbolBadge>("permissionBadge");
    EXPECT_EQ(textsTopToBottom(&permission),
              QStringList(
                  {"Permission accordée ✓", "L'expansion de texte et les raccourcis clavier sont actifs."}));
    EXPECT_EQ(badge->symbol(), "checkmark.shield.fill");
    EXPECT_GT(badge->color().green(), badge->color().red());
    EXPECT_TRUE(button("continueButton")->isVisible());
    EXPECT_EQ(permission.mainButton(), button("continueButton"));
    EXPECT_FALSE(button("helpButton")->isVisible());
    EXPECT_FALSE(button("skipButton")->isVisible());
    advanceClock(5s);
    EXPECT_EQ(view->step(), 1);

    setTrusted(false);
    EXPECT_EQ(textsTopToBottom(&permission),
              QStringList({"Autorisation nécessaire",
                           "Pour détecter vos déclencheurs et insérer la date,\nOrvalin doit surveiller les "
                           "touches clavier.",
                           "Aucune frappe n'est enregistrée ni transmise."}));
    EXPECT_EQ(badge->symbol(), "keyboard.badge.exclamationmark");
    EXPECT_GT(badge->color().red(), badge->color().green());
    EXPECT_EQ(named("privacyNote")->accessibleName(), "Aucune frappe n'est enregistrée ni transmise.");
    EXPECT_TRUE(named("privacyNote")->isVisible());
    EXPECT_TRUE(button("helpButton")->isVisible());
    EXPECT_TRUE(button("skipButton")->isVisible());
    EXPECT_FALSE(button("continueButton")->isVisible());
    advanceClock(40s);
    EXPECT_EQ(view->step(), 1);
}

TEST_F(OnboardingTest, TriggerBoxListsEveryFormatTrimmedWithTodaysDate) {
    startManager().setShortcuts({entry("Nouveau", "dd/MM/yyyy", "new "), entry("Sans", "yyyy", ""),
                                 entry("Tab", "MMMM", "\t x\t"), entry("ISO", "yyyy-MM-dd ", "dt ")});
    toReadyPage();
    TriggerBox* box = named<TriggerBox>("triggerBox");
    EXPECT_EQ(triggerRows(),
              (QStringList{"new → 10/02/2026", " → 2026",
                           "x → " + QString::fromStdString(formatDate(kNow, "MMMM")), "dt → 2026-02-10 "}));

    // The box hugs its rows and sits in the middle; it follows a change of the formats.
    EXPECT_LT(box->width(), 400);
    EXPECT_NEAR(rectIn(box, view.get()).center().x(), 240, 1);
    manager->setShortcuts({entry("Un", "yyyy", "un ")});
    QCoreApplication::processEvents();  // new rows show at the next turn of the event loop
    EXPECT_EQ(triggerRows(), QStringList{"un → 2026"});
}

TEST_F(OnboardingTest, TriggerBoxShowsTheDayEachFormatInsertsAndSaysWhenItIsNotToday) {
    ScopedEnv locale("LC_ALL", "fr_FR.UTF-8");
    Shortcut tomorrow = entry("Demain", "EEEE d MMMM", "dtm ");
    tomorrow.dayOffset = 1;
    tomorrow.locale = "en-US";
    Shortcut week = entry("Semaine", "dd/MM", "dts ");
    week.dayOffset = 7;
    startManager().setShortcuts({tomorrow, week, entry("ISO", "yyyy-MM-dd", "dt ")});
    toReadyPage();
    EXPECT_EQ(triggerRows(), (QStringList{"dtm → Wednesday 11 February", "dts → 17/02", "dt → 2026-02-10"}));
    QStringList said;
    for (const QString& row : triggerRows())
        said << testing::byAccessibleName(named("triggerBox"), row)->accessibleDescription();
    EXPECT_EQ(said, (QStringList{"demain", "dans 7 jours", ""}));
}

TEST_F(OnboardingTest, TheBoxHugsTheBuiltInFormatsAndStaysForAnEmptyList) {
    toReadyPage();
    TriggerBox* box = named<TriggerBox>("triggerBox");
    ASSERT_EQ(triggerRows().size(), 3u);
    EXPECT_EQ(box->size(), box->sizeHint()) << "the built-in formats fit without scrolling";
    manager->setShortcuts({});
    QCoreApplication::processEvents();
    EXPECT_TRUE(triggerRows().empty());
    EXPECT_EQ(box->size(), QSize(40, 28));
    EXPECT_TRUE(box->isVisible());
}

TEST_F(OnboardingTest, ManyFormatsAndLongDatesNeverPushTheButtonsOutOfTheWindow) {
    std::vector<Shortcut> many;
    for (int i = 0; i < 25; ++i) {
        many.push_back(entry("F" + std::to_string(i),
                             "EEEE d MMMM yyyy 'à' HH:mm:ss, 'semaine' w, 'jour' D 'de l’année'",
                             "long" + std::to_string(i) + " "));
    }
    startManager().setShortcuts(many);
    toReadyPage();
    ReadyStep* ready = page<ReadyStep>();
    const QRect inside = view->rect();
    for (QWidget* control : {static_cast<QWidget*>(ready->mainButton()),
                             static_cast<QWidget*>(named<LaunchAtLoginSwitch>("launchAtLogin"))}) {
        const QRect where = rectIn(control, view.get());
        EXPECT_TRUE(inside.contains(where)) << control->objectName().toStdString();
        EXPECT_GE(where.height(), control->sizeHint().height()) << "squeezed";
    }
    EXPECT_EQ(ready->height() - rectIn(ready->mainButton(), ready).bottom() - 1, 32);
    TriggerBox* box = named<TriggerBox>("triggerBox");
    EXPECT_LE(box->width(), 400);
    EXPECT_GE(rectIn(ready->findChild<QWidget*>("readyBadge"), ready).top(), OnboardingPage::kTopSpace);
    EXPECT_LT(rectIn(box, ready).bottom(), rectIn(named<LaunchAtLoginSwitch>("launchAtLogin"), ready).top());
}

TEST_F(OnboardingTest, TheCurrentDotIsLargerAndInTheAccentColour) {
    makeView();
    auto* dots = named<PageIndicator>("pageIndicator");
    auto diameters = [dots] {
        return std::vector{dots->dotDiameter(0), dots->dotDiameter(1), dots->dotDiameter(2)};
    };
    EXPECT_EQ(diameters(), (std::vector{8.0, 6.0, 6.0}));
    view->advanceStep();
    EXPECT_EQ(diameters(), (std::vector{6.0, 8.0, 6.0}));
    EXPECT_EQ(dots->height(), 28);
    EXPECT_EQ(view->height() - dots->geometry().bottom() - 1, 16);

    // The current dot's pixels are the accent colour, the others are not.
    const QImage image = dots->grab().toImage();
    const int middle = image.height() / 2;
    const QColor accent = accentColor(dots->palette());
    int accentPixels = 0;
    for (int x = 0; x < image.width(); ++x) accentPixels += image.pixelColor(x, middle) == accent;
    EXPECT_GE(accentPixels, 4);
    EXPECT_LE(accentPixels, 8);
}

}  // namespace
}  // namespace orvalin::ui
