#include "ui/settings/general_tab.h"

#include <QHBoxLayout>
#include <QScrollBar>
#include <QVBoxLayout>

#include "ui/settings/how_it_works_row.h"
#include "ui/settings/segmented_control.h"
#include "ui/widgets/appearance.h"
#include "ui/widgets/color_role.h"
#include "ui/widgets/divider.h"
#include "ui/widgets/group_box.h"
#include "ui/widgets/launch_at_login_switch.h"
#include "ui/widgets/prominent_button.h"
#include "ui/widgets/section_label.h"
#include "ui/widgets/symbol_label.h"

namespace orvalin::ui {

namespace {

// A settings row: its content inset 8 above and below, 4 left and right.
QWidget* settingsRow(QWidget* content) {
    auto* row = new QWidget;
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(4, 8, 4, 8);
    layout->setSpacing(0);
    layout->addWidget(content);
    return row;
}

// The system colours of the explanation rows' symbols.
const QColor kBlue(0x0a, 0x84, 0xff);
const QColor kPurple(0xaf, 0x52, 0xde);
const QColor kGreen(0x30, 0xb0, 0x50);

}  // namespace

GeneralTab::GeneralTab(TextExpansionManager& manager, PreferencesStore& store, QWidget* parent)
    : QScrollArea(parent), manager_(manager), store_(store) {
    setObjectName("generalTab");
    setFrameShape(QFrame::NoFrame);
    // The page itself is no stop for Tab; its controls are, and the view follows them.
    setFocusPolicy(Qt::NoFocus);
    setWidgetResizable(true);
    // Scrolls with the wheel and follows the keyboard focus, without a visible bar.
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    auto* content = new QWidget;
    content->setObjectName("generalContent");
    content->setAutoFillBackground(false);
    auto* stack = new QVBoxLayout(content);
    stack->setContentsMargins(20, 20, 20, 20);
    stack->setSpacing(20);
    stack->addWidget(new SectionLabel(QStringLiteral("gearshape.fill"), tr("Général")));
    stack->addWidget(buildSettingsBox());
    stack->addWidget(new SectionLabel(QStringLiteral("questionmark.circle.fill"), tr("Comment ça marche")));
    stack->addWidget(buildHowItWorksBox());
    stack->addStretch(1);
    setWidget(content);
    viewport()->setAutoFillBackground(false);

    showStoredAppearance();
    showPermissionState();
    subscription_ = manager_.subscribe([this](TextExpansionManager::Change change) {
        if (change == TextExpansionManager::Change::AccessibilityPermission) showPermissionState();
    });
    storeListener_ = store_.addListener([this](const std::string& key) {
        if (key == prefkey::kAppearance) showStoredAppearance();
    });
}

GeneralTab::~GeneralTab() {
    manager_.unsubscribe(subscription_);
    store_.removeListener(storeListener_);
}

QWidget* GeneralTab::buildSettingsBox() {
    auto* box = new GroupBox;
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(8, 2, 8, 2);
    stack->setSpacing(0);
    launchAtLogin_ = new LaunchAtLoginSwitch(manager_, tr("Lancer au démarrage"));
    launchAtLogin_->setObjectName("launchAtLogin");
    stack->addWidget(settingsRow(launchAtLogin_));
    stack->addWidget(new Divider);
    stack->addWidget(settingsRow(buildAppearanceRow()));
    permissionDivider_ = new Divider;
    stack->addWidget(permissionDivider_);
    permissionRow_ = settingsRow(buildPermissionRow());
    permissionRow_->setObjectName("permissionRow");
    stack->addWidget(permissionRow_);
    return box;
}

QWidget* GeneralTab::buildAppearanceRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    auto* label = new SymbolLabel(QStringLiteral("circle.lefthalf.filled"), tr("Apparence"));
    appearance_ = new SegmentedControl;
    appearance_->setObjectName("appearance");
    appearance_->setAccessibleName(tr("Apparence"));
    appearance_->addSegment(tr("Système"), QStringLiteral("system"));
    appearance_->addSegment(tr("Clair"), QStringLiteral("light"));
    appearance_->addSegment(tr("Sombre"), QStringLiteral("dark"));
    connect(appearance_, &SegmentedControl::chosen, this, &GeneralTab::chooseAppearance);
    line->addWidget(label, 1);
    line->addWidget(appearance_, 0, Qt::AlignVCenter);
    return row;
}

QWidget* GeneralTab::buildPermissionRow() {
    auto* row = new QWidget;
    auto* line = new QHBoxLayout(row);
    line->setContentsMargins(0, 0, 0, 0);
    line->setSpacing(12);
    auto* warning = new SymbolLabel(QStringLiteral("keyboard.badge.exclamationmark"),
                                    tr("Expansion de texte désactivée"), ColorRole::Orange);
    auto* button = new ProminentButton(tr("Afficher l'aide…"));
    button->setObjectName("permissionButton");
    button->setAccessibleDescription(tr("Expansion de texte désactivée"));
    connect(button, &QAbstractButton::clicked, this, [this] { manager_.requestAccessibilityPermission(); });
    permissionButton_ = button;
    line->addWidget(warning, 1);
    line->addWidget(button, 0, Qt::AlignVCenter);
    return row;
}

QWidget* GeneralTab::buildHowItWorksBox() {
    auto* box = new GroupBox;
    auto* stack = new QVBoxLayout(box);
    stack->setContentsMargins(12, 8, 12, 8);
    stack->setSpacing(10);
    rows_ = {
        new HowItWorksRow(
            QStringLiteral("keyboard"), kBlue, tr("Déclencheur texte"),
            tr("Tapez le déclencheur d'un format (ex : « dt ») dans n'importe quelle app — la date "
               "est insérée automatiquement.")),
        new HowItWorksRow(
            QStringLiteral("command.square.fill"), kPurple, tr("Raccourci clavier"),
            tr("Assignez un raccourci global à chaque format dans l'onglet Formats. Il fonctionne "
               "dans toutes les applications.")),
        new HowItWorksRow(QStringLiteral("calendar"), kGreen, tr("Calendrier"),
                          tr("Cliquez sur l'icône dans la zone de notification, ouvrez le calendrier et "
                             "sélectionnez n'importe quelle date.")),
    };
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (i > 0) stack->addWidget(new Divider);
        stack->addWidget(rows_[i]);
    }
    return box;
}

void GeneralTab::chooseAppearance(const QString& value) {
    // The application follows the stored value (it listens to the store), so a write is all it
    // takes; a write that fails shows the value still in force.
    if (!store_.write({{prefkey::kAppearance, value.toStdString()}})) showStoredAppearance();
}

void GeneralTab::showStoredAppearance() {
    appearance_->setValue(QString::fromStdString(store_.string(prefkey::kAppearance).value_or("system")));
}

void GeneralTab::showPermissionState() {
    const bool missing = !manager_.hasAccessibilityPermission();
    permissionDivider_->setVisible(missing);
    permissionRow_->setVisible(missing);
}

}  // namespace orvalin::ui
