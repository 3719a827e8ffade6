// The panel on a real X server with the program's real platform objects: a click on a format row
// (a real pointer click through XTest) pastes that format's date into the window that had the
// keyboard, and the clipboard gets its previous content back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "app/application_runtime.h"
#include "core/date_format.h"
#include "core/preferences_store.h"
#include "engine/text_expansion_manager.h"
#include "ui/orvalin_app.h"
#include "ui/panel/menu_bar_panel.h"
#include "ui/panel/panel_rows.h"

#include "support/temp_home.h"
#include "support/xvfb_server.h"

namespace {

QString runTool(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    process.waitForFinished(10000);
    return QString::fromUtf8(process.readAllStandardOutput()).trimmed();
}

bool waitFor(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > timeoutMs) return false;
        QTest::qWait(50);
    }
    return true;
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(file.readAll());
}

TEST(PanelOnX11, ClickingAFormatPastesItsDateIntoTheFocusedWindow) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString output = dir.filePath("target.txt");
    QProcess target;
    target.start(QStringLiteral(TARGET_BINARY), {"--output", output});
    ASSERT_TRUE(target.waitForStarted(10000));
    QString window;
    ASSERT_TRUE(waitFor(
        [&] {
            target.waitForReadyRead(50);
            const QString out = QString::fromUtf8(target.peek(4096));
            const int at = out.indexOf("ready ");
            if (at < 0) return false;
            window = out.mid(at + 6).section('\n', 0, 0).trimmed();
            return true;
        },
        20000));
    runTool("xdotool", {"windowfocus", "--sync", window});
    ASSERT_EQ(runTool("xdotool", {"getwindowfocus"}).toStdString(), window.toStdString());

    orvalin::ApplicationRuntime runtime;
    ASSERT_EQ(runtime.start(), orvalin::ApplicationRuntime::StartResult::Running);
    orvalin::JsonFilePreferencesStore store(orvalin::JsonFilePreferencesStore::defaultPath());
    orvalin::ui::OrvalinApp app(runtime.manager(), store);
    app.start();

    QGuiApplication::clipboard()->setText(QStringLiteral("déjà copié"));
    ASSERT_TRUE(
        waitFor([] { return QGuiApplication::clipboard()->text() == QStringLiteral("déjà copié"); }, 5000));

    app.showPanel();
    orvalin::ui::MenuBarPanel& panel = app.panel();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel, 10000));
    // The rows in their order; those of an earlier showing may still wait for deletion, hidden.
    auto rows = panel.findChildren<orvalin::ui::FormatRow*>();
    rows.removeIf([](QWidget* row) { return row->isHidden(); });
    ASSERT_FALSE(rows.empty());
    const std::string pattern = runtime.manager().shortcuts().front().dateFormat;
    const QString expected =
        QString::fromStdString(orvalin::formatDate(std::chrono::system_clock::now(), pattern));
    // The focus stays with the target while the panel is open.
    EXPECT_EQ(runTool("xdotool", {"getwindowfocus"}).toStdString(), window.toStdString());

    QTest::qWait(300);
    const QPoint centre = rows.front()->mapToGlobal(rows.front()->rect().center());
    runTool("xdotool", {"mousemove", "--sync", QString::number(centre.x()), QString::number(centre.y())});
    runTool("xdotool", {"click", "1"});

    EXPECT_TRUE(waitFor([&] { return readText(output) == expected; }, 10000))
        << "target holds \"" << readText(output).toStdString() << "\", expected \"" << expected.toStdString()
        << '"';
    EXPECT_FALSE(panel.isVisible());
    EXPECT_TRUE(
        waitFor([] { return QGuiApplication::clipboard()->text() == QStringLiteral("déjà copié"); }, 10000))
        << "clipboard holds \"" << QGuiApplication::clipboard()->text().toStdString() << '"';

    target.terminate();
    target.waitForFinished(5000);
}

}  // namespace

// A private Xvfb and a fresh home, made before the application object exists.
int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (::testing::GTEST_FLAG(list_tests)) return RUN_ALL_TESTS();

    TempHome home;
    home.exportEnvironment();
    std::filesystem::create_directories(home.configDir() / "orvalin");
    std::ofstream prefs(home.configDir() / "orvalin/preferences.json");
    if (!(prefs << R"({"Orvalin.onboardingCompleted": true})" << std::flush)) return 1;

    XvfbServer xvfb("1280x800x24");
    if (!xvfb.start()) {
        std::fprintf(stderr, "%s\n", xvfb.error().c_str());
        return 1;
    }
    xvfb.exportDisplay();

    int result = 1;
    {
        QApplication app(argc, argv);
        result = RUN_ALL_TESTS();
    }
    return result;
}
