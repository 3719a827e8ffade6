// What an insertion leaves on the selections and sends as keys, on an X server of its own: the
// markers that keep the date out of clipboard managers, the user's selection coming back, a
// keyboard layout that cannot type the paste chord, the keyboard held while a paste is fetched
// and a connection lost with a paste waiting.
#include <sys/socket.h>

#include <QElapsedTimer>
#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/x11/kept_selections.h"
#include "x11_fixtures.h"

namespace orvalin::x11 {
namespace {

// Another program takes the selection; returns once this program has seen it change hands, as
// the program has long before the user types a trigger.
void copyElsewhere(const char* selection, const char* text) {
    const QClipboard::Mode mode =
        std::string(selection) == "primary" ? QClipboard::Selection : QClipboard::Clipboard;
    bool changed = false;
    auto watch = QObject::connect(QGuiApplication::clipboard(), &QClipboard::changed,
                                  [&](QClipboard::Mode m) { changed = changed || m == mode; });
    xclip({"-i", "-selection", selection}, text);
    spin([&] { return changed; }, 3000);
    QObject::disconnect(watch);
}

// The date goes on as an insertion puts it, pasted with Shift+Insert (which reads PRIMARY).
class InsertionPasteboard : public PasteboardTest {
protected:
    void insertFromPrimary(const std::string& date) {
        pasteboard_->setText(date);
        pasteboard_->chordQueued();
        pasteboard_->chordChosen(true);
        pasteboard_->chordSent();
    }
};

TEST_F(InsertionPasteboard, TheDateIsMarkedForKlipperAndCopyqOnBothSelections) {
    insertFromPrimary("2026-12-07 ");
    for (const char* selection : {"clipboard", "primary"}) {
        const std::string targets = readSelection(selection, "TARGETS");
        EXPECT_NE(targets.find("x-kde-passwordManagerHint"), std::string::npos) << selection << targets;
        EXPECT_NE(targets.find("application/x-copyq-hidden"), std::string::npos) << selection << targets;
        EXPECT_EQ(readSelection(selection, "application/x-copyq-hidden"), "1") << selection;
        EXPECT_EQ(readSelection(selection), "2026-12-07 ") << selection;
    }
}

// CopyQ, a clipboard manager that ignores the KDE hint, with a history of its own.
class Copyq {
public:
    Copyq() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
            env.insert(name, home_.path());
        env.insert("XDG_RUNTIME_DIR", home_.path());
        server_.setProcessEnvironment(env);
        server_.start("copyq", {});
        env_ = env;
    }
    ~Copyq() {
        command({"exit"});
        if (!server_.waitForFinished(5000)) server_.kill();
        // It leaves read-only files the temporary folder could not remove.
        std::filesystem::path home = home_.path().toStdString();
        std::error_code ec;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(home, ec))
            std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                         std::filesystem::perm_options::add, ec);
    }
    // Its answer to a command, or nothing when it does not answer.
    std::optional<std::string> command(const QStringList& args) {
        QProcess client;
        client.setProcessEnvironment(env_);
        client.start("copyq", args);
        if (!spin([&] { return client.state() == QProcess::NotRunning; }, 5000) || client.exitCode() != 0)
            return std::nullopt;
        return client.readAllStandardOutput().toStdString();
    }
    std::optional<int> count() {
        auto answer = command({"count"});
        return answer ? std::optional<int>(std::atoi(answer->c_str())) : std::nullopt;
    }

private:
    QTemporaryDir home_;
    QProcessEnvironment env_;
    QProcess server_;
};

// Whether copyq keeps a plain copy made by another program; its clipboard monitor starts a moment
// after the server answers, and now and then not at all on a loaded machine.
bool watchesTheClipboard(Copyq& copyq) {
    if (!spin([&] { return copyq.count() == 0; }, 20000)) return false;
    return spin(
        [&] {
            copyElsewhere("clipboard", "bonjour");
            return spin([&] { return copyq.count() == 1; }, 2000);
        },
        10000);
}

TEST_F(InsertionPasteboard, CopyqKeepsTheUsersCopyButNotTheDate) {
    if (QStandardPaths::findExecutable("copyq").isEmpty()) GTEST_SKIP() << "copyq is not installed";
    std::optional<Copyq> copyq;
    for (int attempt = 0; attempt < 3; ++attempt) {
        copyq.emplace();
        if (watchesTheClipboard(*copyq)) break;
        copyq.reset();
    }
    if (!copyq) GTEST_SKIP() << "copyq never kept a plain copy: nothing to judge the date by";

    insertFromPrimary("2026-12-07 ");
    QTest::qWait(1500);  // time for copyq to look at the date, serving its requests
    EXPECT_EQ(copyq->count(), 1);
    EXPECT_EQ(copyq->command({"read", "0"}), "bonjour");
}

TEST_F(InsertionPasteboard, ContentMarkedSecretByItsOwnerStaysMarkedOnceBack) {
    auto* secret = new QMimeData;
    secret->setText("mot de passe");
    secret->setData("x-kde-passwordManagerHint", "secret");
    QGuiApplication::clipboard()->setMimeData(secret);
    PasteboardSnapshot saved = pasteboard_->snapshot();
    pasteboard_->setText("date");
    pasted();
    pasteboard_->restore(saved);
    ASSERT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }));
    EXPECT_EQ(readSelection("clipboard"), "mot de passe");
    EXPECT_EQ(readSelection("clipboard", "x-kde-passwordManagerHint"), "secret");
}

TEST_F(InsertionPasteboard, ANewCopyKeepsTheClipboardAndThePrimarySelectionStillComesBack) {
    copyElsewhere("primary", "sélection");
    copyElsewhere("clipboard", "ancien");
    ASSERT_TRUE(spin([] { return QGuiApplication::clipboard()->text() == "ancien"; }));
    PasteboardSnapshot saved = pasteboard_->snapshot();
    insertFromPrimary("2026-12-07 ");
    ASSERT_EQ(readSelection("primary"), "2026-12-07 ");

    // The user copies something else before the restore is asked for, then while it is held.
    copyElsewhere("clipboard", "nouveau");
    ASSERT_TRUE(spin([] { return !QGuiApplication::clipboard()->ownsClipboard(); }));
    pasteboard_->restore(saved);
    ASSERT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }, 3000));
    EXPECT_EQ(readSelection("clipboard"), "nouveau");
    EXPECT_EQ(readSelection("primary"), "sélection");

    copyElsewhere("clipboard", "ancien");
    saved = pasteboard_->snapshot();
    insertFromPrimary("2026-12-08 ");
    pasteboard_->restore(saved);
    ASSERT_TRUE(pasteboard_->restoreHeld());
    copyElsewhere("clipboard", "encore");
    ASSERT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }, 3000));
    EXPECT_EQ(readSelection("clipboard"), "encore");
    EXPECT_EQ(readSelection("primary"), "sélection");
}

// The longest the event loop went without running while `during` was under way.
template <typename During>
qint64 longestStall(During during) {
    QElapsedTimer sinceTick;
    sinceTick.start();
    qint64 longest = 0;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&] { longest = std::max(longest, sinceTick.restart()); });
    ticker.start(10);
    during();
    return std::max(longest, sinceTick.elapsed());
}

TEST_F(InsertionPasteboard, HostileOwnersCostOneBoundWithoutHoldingTheLoopAndAreNeverTakenForEmpty) {
    reader_->bound = 600ms;
    // Never answers; lists six formats and sends none; answers everything 1.2 s late.
    const std::vector<std::function<void(OtherXClient&)>> owners = {
        [](OtherXClient& o) { o.takeClipboardAndHang(); },
        [](OtherXClient& o) { o.takeClipboardListingFormatsOnly(); },
        [](OtherXClient& o) { o.takeClipboardListingFormatsOnly(1200); }};
    for (std::size_t i = 0; i < owners.size(); ++i) {
        SCOPED_TRACE(i);
        OtherXClient owner;
        owners[i](owner);
        QTest::qWait(50);

        // An insertion asks: the event loop runs on, and the answer comes once the bound passed.
        std::optional<PasteboardSnapshot> saved;
        QElapsedTimer t;
        t.start();
        const qint64 stall = longestStall([&] {
            pasteboard_->snapshotWhenReady([&](PasteboardSnapshot s) { saved = std::move(s); });
            spin([&] { return saved.has_value(); }, 3000);
        });
        EXPECT_LT(stall, 150) << "the read held the program up";
        ASSERT_TRUE(saved);
        EXPECT_TRUE(saved->unreadable) << "an empty snapshot would have the restore clear the clipboard";
        EXPECT_LT(t.elapsed(), 600 + 150) << "one bound for every format, not one each";

        // Outside the key path a caller may wait, for the same single bound.
        t.restart();
        EXPECT_TRUE(pasteboard_->snapshot().unreadable);
        EXPECT_LT(t.elapsed(), 600 + 150);
        EXPECT_FALSE(QGuiApplication::clipboard()->ownsClipboard());
    }

    // A silent primary selection would be pasted by a terminal in place of the date, or lost.
    OtherXClient owner;
    owner.takeClipboardListingFormatsOnly(-1, "PRIMARY");
    copyElsewhere("clipboard", "lisible");
    std::optional<PasteboardSnapshot> saved;
    pasteboard_->snapshotWhenReady([&](PasteboardSnapshot s) { saved = std::move(s); });
    ASSERT_TRUE(spin([&] { return saved.has_value(); }, 3000));
    EXPECT_TRUE(saved->unreadable);
    EXPECT_FALSE(QGuiApplication::clipboard()->ownsSelection());
}

TEST_F(InsertionPasteboard, ContentIsReadWholeBackAtOnceWhenThePasteFailedAndRefusedAboveItsCap) {
    // xclip sends content larger than one request in increments.
    const QByteArray big(3 << 20, 'x');
    copyElsewhere("clipboard", big.constData());
    PasteboardSnapshot saved = pasteboard_->snapshot();
    ASSERT_FALSE(saved.unreadable);
    const auto text = std::find_if(saved.items.begin(), saved.items.end(),
                                   [](const auto& item) { return item.first == "UTF8_STRING"; });
    ASSERT_NE(text, saved.items.end());
    EXPECT_EQ(text->second.size(), big.size());
    for (const auto& item : saved.items) EXPECT_NE(item.first, "TARGETS");
    pasteboard_->setText("date");
    pasteboard_->chordQueued();
    pasteboard_->chordFailed();
    pasteboard_->restore(saved);
    EXPECT_TRUE(spin([&] { return !pasteboard_->restoreHeld(); }, 100))
        << "nothing will fetch the date: no reason to wait for it";
    EXPECT_EQ(readSelection("clipboard").size(), big.size());

    // Part of the content is not the content: above the cap it is unreadable, not cut.
    reader_->formatCap = 1000;
    copyElsewhere("clipboard", QByteArray(4000, 'y').constData());
    EXPECT_TRUE(pasteboard_->snapshot().unreadable);
    reader_->formatCap = 2000;
    reader_->totalCap = 1000;
    copyElsewhere("clipboard", QByteArray(1500, 'z').constData());
    EXPECT_TRUE(pasteboard_->snapshot().unreadable);
}

using Synthesis = KeyboardTest;

TEST_F(Synthesis, ALayoutWithoutVSendsNoOtherKeyAndSaysThePasteFailed) {
    layout("ru");
    EXPECT_FALSE(synth_->postCommandV());
    EXPECT_TRUE(synth_->postBackspace()) << "Backspace is still on the keyboard";
    ASSERT_TRUE(spin([&] { return seenCount(51) == 1; }));
    QTest::qWait(300);
    EXPECT_EQ(seenCount(9), 0) << "no chord on whatever key sits where V was";
    EXPECT_EQ(chords_.sent, 0);
    EXPECT_EQ(chords_.failed, 1);
    EXPECT_FALSE(chords_.pending());

    layout("us");
    EXPECT_TRUE(synth_->postCommandV());
    EXPECT_TRUE(spin([&] { return seenCount(9) == 1; }));
    EXPECT_EQ(chords_.sent, 1);
    EXPECT_EQ(chords_.failed, 1);
}

TEST_F(Synthesis, AfterAPasteTheKeyboardIsHeldUntilTheFetchNeverPastItsBound) {
    auto held = [&] {
        conn_->alive();  // our requests were handled before another client asks
        return user_.keyboardHeldByAnother();
    };
    QtClipboardPasteboard clipboard;
    auto sequence = std::make_unique<PasteSequence>(*conn_, clipboard);  // keys held 750 ms at most
    synth_ = synthesizer(*sequence);
    sequence->setText("2026-12-07 ");
    EXPECT_TRUE(synth_->postBackspace());
    EXPECT_FALSE(held()) << "only a paste has something to wait for";
    ASSERT_TRUE(synth_->postCommandV());
    EXPECT_TRUE(held());
    EXPECT_EQ(readSelection("clipboard"), "2026-12-07 ");  // the target fetches the date
    EXPECT_TRUE(spin([&] { return !held(); }, 200));

    ASSERT_TRUE(synth_->postCommandV());  // a target that never fetches
    QElapsedTimer t;
    t.start();
    EXPECT_TRUE(spin([&] { return !held(); }, 3000));
    EXPECT_LT(t.elapsed(), 1500);

    ASSERT_TRUE(synth_->postCommandV());
    synth_.reset();  // the program ends
    sequence.reset();
    EXPECT_FALSE(held());
    EXPECT_FALSE(user_.anyKeyDown());
}

TEST_F(Synthesis, ALostConnectionFailsThePasteStillWaitingSoTheRestoreDoesNotWait) {
    user_.key(XCB_KEY_PRESS, 37);  // Control held: the paste waits for its release
    QTest::qWait(50);
    ASSERT_TRUE(synth_->postCommandV());
    EXPECT_TRUE(chords_.pending());
    ::shutdown(xcb_get_file_descriptor(conn_->raw()), SHUT_RDWR);
    EXPECT_TRUE(spin([&] { return !chords_.pending(); }, 2000));
    EXPECT_EQ(chords_.failed, 1);
    EXPECT_EQ(chords_.sent, 0);
    EXPECT_FALSE(synth_->postCommandV()) << "nothing goes out any more: no paste is reported done";
    EXPECT_FALSE(chords_.pending());
    user_.key(XCB_KEY_RELEASE, 37);
}

TEST(ClipboardKeeper, SelectionsTravelWholeToTheKeeperAndDamagedInputIsRefused) {
    const std::vector<KeptSelection> kept = {
        {"CLIPBOARD", {{"text/plain", "texte connu"}, {"image/png", std::string("\x89PNG\0\r\n", 7)}}},
        {"PRIMARY", {{"text/plain", ""}}}};
    const std::string bytes = encodeKeptSelections(kept);
    EXPECT_EQ(decodeKeptSelections(bytes), kept);
    for (std::size_t cut : {std::size_t{0}, std::size_t{5}, bytes.size() / 2, bytes.size() - 1})
        EXPECT_TRUE(decodeKeptSelections(bytes.substr(0, cut)).empty()) << cut;
    EXPECT_TRUE(decodeKeptSelections(bytes + "x").empty());
    EXPECT_TRUE(decodeKeptSelections("n'importe quoi").empty());
}

}  // namespace
}  // namespace orvalin::x11
