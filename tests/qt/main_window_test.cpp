// Whole games through the window, with a fake network library whose answers the test chooses.
#include <unistd.h>

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTest>
#include <QTimer>

#include "resources/pattern_strings.h"
#include "rules/random.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/program_icon.h"
#include "window_driver.h"

namespace qrv::qt::test {

namespace {

const QString kOpening = QString::fromLatin1(kOpeningText);
const QString kWin = QString::fromLatin1(kYouWinText);
const QString kLose = QString::fromLatin1(kYouLoseText);
const QString kDrawn = QString::fromLatin1(kDrawnText);
const QString kBlocked = QString::fromLatin1(kBlockedText);
const QString kError = QString::fromLatin1(kErrorText);
const QString kEmpty = QStringLiteral("         ");

// Runs check on the first modal widget that opens, then closes it with close; gives up after
// a few seconds so that a box that never opens fails the test instead of hanging it.
void WhenModalOpens(std::function<void(QWidget*)> check, std::function<void(QWidget*)> close) {
    auto* timer = new QTimer;
    auto* waited = new int(0);
    QObject::connect(timer, &QTimer::timeout, [=] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr && ++*waited < 500) {
            return;
        }
        timer->stop();
        timer->deleteLater();
        delete waited;
        if (modal != nullptr) {
            check(modal);
            close(modal);
        }
    });
    timer->start(10);
}

// A control's place in the client area, whichever container holds it.
QRect InClient(const QWidget* widget, const MainWindow& window) {
    return {widget->mapTo(window.ClientArea(), QPoint(0, 0)), widget->size()};
}

int pretendStarts = 0;
bool PretendStart(NetworkBinding&, LoadFailure&) {
    ++pretendStarts;
    return true;
}

int NoStrings(unsigned, char* buffer, int size) {
    if (size > 0) {
        buffer[0] = '\0';
    }
    return 0;
}

// The fake library with values, the same for every position; the centre loses.
int FakeOutputs(const std::int32_t* /*input*/, float* outputs) {
    constexpr float kValues[kSquareCount] = {0.26F, 0.12F, 0.64F, 0.35F, -0.5F,
                                             0.48F, 0.05F, 0.71F, 0.3F};
    std::copy(kValues, kValues + kSquareCount, outputs);
    return 1;
}
bool StartFakeWithValues(NetworkBinding& binding, LoadFailure& failure) {
    const bool ready = FakeSetup().StartNetwork(binding, failure);
    binding.GetNetOutputs = FakeOutputs;
    return ready;
}

// The settings file of the program, in the test's own configuration folder.
QString SettingsFile() {
    return QSettings(QStringLiteral("quorvane"), QStringLiteral("quorvane")).fileName();
}

// What `run` writes to standard error.
QString StandardError(const std::function<void()>& run) {
    QTemporaryFile file;
    const int saved = dup(2);
    dup2(file.open() ? file.handle() : saved, 2);
    run();
    dup2(saved, 2);
    close(saved);
    file.seek(0);
    return QString::fromLocal8Bit(file.readAll());
}

QString PanelText(const MainWindow& window) {
    QAccessibleInterface* text = QAccessible::queryAccessibleInterface(
        window.findChild<QPlainTextEdit*>(QStringLiteral("thinkingText")));
    return text->textInterface()->text(0, text->textInterface()->characterCount());
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() {
        // The program's settings go to a folder of the test's, never the user's.
        qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    }
    void init() {
        UseFakeLibrary("fake_ready");
        QFile::remove(SettingsFile());
        QDir(SettingsFile()).removeRecursively();
    }

    void windowHasTheTemplatesProportions() {
        WindowDriver driver;
        MainWindow& window = driver.Window();
        QCOMPARE(window.windowTitle(), QStringLiteral("Play Xs & Os with Neural Network..."));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QVERIFY(!(window.windowFlags() & Qt::WindowMaximizeButtonHint));

        // The unit in pixels follows from the client area; every control must sit where the
        // template puts it in those units, within a pixel of rounding.
        QWidget* client = window.ClientArea();
        const double unitX = client->width() / 198.0;
        const double unitY = client->height() / 194.0;
        const QFontMetrics metrics(client->font());
        const QString letters =
            QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
        const double averageWidth = metrics.horizontalAdvance(letters) / 52.0;
        QVERIFY2(qAbs(unitX * 4 - averageWidth) <= 1.0, "horizontal unit is not the font's");
        QVERIFY2(qAbs(unitY * 8 - metrics.height()) <= 1.0, "vertical unit is not the font's");

        struct Expected {
            QWidget* widget;
            QRect units;
        };
        std::vector<Expected> expected = {
            {driver.Button("exit"), {126, 171, 50, 14}},
            {driver.Button("playO"), {20, 171, 50, 14}},
            {driver.Button("reset"), {73, 171, 50, 14}},
            {driver.Status(), {19, 150, 156, 13}},
        };
        for (int s = 0; s < kSquareCount; ++s) {
            expected.push_back({driver.Square(s), {20 + 52 * (s % 3), 22 + 40 * (s / 3), 51, 38}});
        }
        for (const Expected& e : expected) {
            QVERIFY(e.widget != nullptr);
            const QRect g = InClient(e.widget, window);
            const QString what = e.widget->objectName();
            QVERIFY2(qAbs(g.x() - e.units.x() * unitX) <= 1.5, qPrintable(what));
            QVERIFY2(qAbs(g.y() - e.units.y() * unitY) <= 1.5, qPrintable(what));
            QVERIFY2(qAbs(g.width() - e.units.width() * unitX) <= 1.5, qPrintable(what));
            QVERIFY2(qAbs(g.height() - e.units.height() * unitY) <= 1.5, qPrintable(what));
        }
        // A frame's line starts half a line of text below its box's top, as a group box's.
        const int drop = metrics.height() / 2 - 1;
        for (int s = 0; s < kSquareCount; ++s) {
            auto* frame = window.findChild<QFrame*>(QStringLiteral("frame%1").arg(s));
            QVERIFY(frame != nullptr);
            const QRect g = InClient(frame, window);
            const QRect box(19 + 52 * (s % 3), 17 + 40 * (s / 3), 53, 44);
            QVERIFY(qAbs(g.x() - box.x() * unitX) <= 1.5);
            QVERIFY(qAbs(g.width() - box.width() * unitX) <= 1.5);
            QVERIFY(qAbs(g.y() - drop - box.y() * unitY) <= 1.5);
            QVERIFY(qAbs(g.bottom() + 1 - (box.y() + box.height()) * unitY) <= 1.5);
            QVERIFY(frame->geometry().contains(driver.Square(s)->geometry()));
            // Its etched lines at the right and the bottom show beside the square.
            QVERIFY(g.right() >= InClient(driver.Square(s), window).right() + 2);
            QVERIFY(g.bottom() >= InClient(driver.Square(s), window).bottom() + 2);
        }
        // Top to bottom: the etched line, the board, the status field, the buttons.
        QWidget* separator = window.findChild<QWidget*>(QStringLiteral("separator"));
        QVERIFY(separator->geometry().bottom() < InClient(driver.Square(0), window).y());
        QVERIFY(InClient(driver.Square(6), window).bottom() < driver.Status()->y());
        QVERIFY(driver.Status()->geometry().bottom() < driver.Button("exit")->y());
        QVERIFY(driver.Button("playO")->x() < driver.Button("reset")->x());
        QVERIFY(driver.Button("reset")->x() < driver.Button("exit")->x());
        QVERIFY(!driver.Status()->isReadOnly());
    }

    void menusHaveTheItemsWithoutKeysOrChecks() {
        WindowDriver driver;
        const QList<QAction*> menus = driver.Window().MenuBar()->actions();
        QCOMPARE(menus.size(), 3);
        QCOMPARE(menus[0]->text(), QStringLiteral("&File"));
        QCOMPARE(menus[1]->text(), QStringLiteral("&View"));
        QCOMPARE(menus[2]->text(), QStringLiteral("&Help"));
        QStringList items;
        for (QAction* menu : menus) {
            for (QAction* item : menu->menu()->actions()) {
                items << item->text();
                QVERIFY(item->shortcuts().isEmpty());
                // Only the view's item has a check mark, off at first.
                QCOMPARE(item->isCheckable(), menu == menus[1]);
                QVERIFY(!item->isChecked());
                QVERIFY(!item->isSeparator());
            }
        }
        QCOMPARE(items, QStringList({QStringLiteral("Play against the &Random Number Generator"),
                                     QStringLiteral("Play against the &Neural Network"),
                                     QStringLiteral("Play against the &Genetic Algorithm"),
                                     QStringLiteral("E&xit"),
                                     QStringLiteral("Show the Network's &Thinking"),
                                     QStringLiteral("&About ...")}));
    }

    void keyboardStartsOnExitAndTabsInTemplateOrder() {
        WindowDriver driver;
        MainWindow& window = driver.Window();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), driver.Button("exit"));
        // A click gives a square the focus, but the focus frame waits for the keyboard.
        driver.Click(8);
        QCOMPARE(QApplication::focusWidget(), driver.Square(8));
        QCOMPARE(FocusPixels(driver.Grab(8)), 0);
        driver.Button("exit")->setFocus();

        std::vector<QWidget*> order;
        for (int s = 0; s < kSquareCount; ++s) {
            order.push_back(driver.Square(s));
        }
        order.push_back(driver.Button("playO"));
        order.push_back(driver.Button("reset"));
        order.push_back(driver.Status());
        order.push_back(driver.Button("exit"));
        for (QWidget* next : order) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), next);
            if (next == driver.Square(0)) {
                QVERIFY(FocusPixels(driver.Grab(0)) > 0);
                QCOMPARE(FocusPixels(driver.Grab(1)), 0);
            }
        }

        // Space presses the focused square; Enter the focused push button.
        driver.Square(4)->setFocus();
        QTest::keyClick(driver.Square(4), Qt::Key_Space);
        QCOMPARE(driver.Drawn(), QStringLiteral("    X    "));
        driver.Button("playO")->setFocus();
        QTest::keyClick(driver.Button("playO"), Qt::Key_Return);
        QCOMPARE(MainWindow::GameSession().Game().Turn, 2);
    }

    void everyWayOutClosesTheWindowAndReleasesTheLibrary_data() {
        QTest::addColumn<QString>("how");
        QTest::newRow("Exit button") << "exit";
        QTest::newRow("space on Exit") << "space";
        QTest::newRow("File > Exit") << "fileExit";
        QTest::newRow("Escape in the status field") << "escapeStatus";
        QTest::newRow("Escape on a square") << "escapeSquare";
        QTest::newRow("close box") << "close";
    }
    void everyWayOutClosesTheWindowAndReleasesTheLibrary() {
        QFETCH(QString, how);
        WindowDriver driver;
        MainWindow& window = driver.Window();
        QVERIFY(MainWindow::GameSession().Network().Library != nullptr);
        if (how == QLatin1String("exit")) {
            QTest::mouseClick(driver.Button("exit"), Qt::LeftButton);
        } else if (how == QLatin1String("space")) {
            QTest::keyClick(driver.Button("exit"), Qt::Key_Space);
        } else if (how == QLatin1String("fileExit")) {
            window.findChild<QAction*>(QStringLiteral("fileExit"))->trigger();
        } else if (how == QLatin1String("escapeStatus")) {
            QTest::keyClick(driver.Status(), Qt::Key_Escape);
        } else if (how == QLatin1String("escapeSquare")) {
            QTest::keyClick(driver.Square(2), Qt::Key_Escape);
        } else {
            window.close();
        }
        QTRY_VERIFY(!window.isVisible());
        QCOMPARE(MainWindow::GameSession().Network().Library, nullptr);
        // A second request finds nothing left to do.
        window.close();
        QCOMPARE(MainWindow::GameSession().Network().Library, nullptr);
    }

    void aWonGame() {
        WindowDriver driver;
        QCOMPARE(driver.StatusText(), kOpening);
        QCOMPARE(driver.Status()->cursorPosition(), 0);  // shown from its first letter
        driver.Click(0);
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral("XO       "));
        QCOMPARE(driver.StatusText(), kOpening);  // an ordinary move leaves the text alone
        // The status field is an ordinary edit field: what the person types stays there until
        // the next message.
        driver.Status()->clear();
        QTest::keyClicks(driver.Status(), QStringLiteral("typed"));
        driver.Click(4);
        QCOMPARE(driver.StatusText(), QStringLiteral("typed"));
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kBlocked);
        QCOMPARE(driver.Status()->cursorPosition(), 0);
        driver.Click(6);
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral("XO OX X O"));
        // The X completes the diagonal at once, without "Play O".
        driver.Click(2);
        QCOMPARE(driver.StatusText(), kWin);
        QCOMPARE(driver.Drawn(), QStringLiteral("XOxOx x O"));
        driver.SaveScreenshot(QStringLiteral("won-game.png"));

        // After the end clicks and "Play O" change nothing.
        const int asked = FakeCallCount();
        for (int square : {5, 7, 0, 1}) {
            driver.Click(square);
        }
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral("XOxOx x O"));
        QCOMPARE(driver.StatusText(), kWin);
        QCOMPARE(FakeCallCount(), asked);
    }

    void aLostGame() {
        WindowDriver driver;
        driver.PlaySequence({1, 4, 2, 5});
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kLose);
        QCOMPARE(driver.Drawn(), QStringLiteral("OXX XXooo"));
        QCOMPARE(MainWindow::GameSession().Game().Turn, kGameOver);
        driver.SaveScreenshot(QStringLiteral("lost-game.png"));
        driver.Click(3);
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral("OXX XXooo"));
    }

    void aDrawnGame() {
        WindowDriver driver;
        driver.PlaySequence({4, 2, 3});
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kBlocked);
        driver.Click(1);
        driver.PlayO();
        // The computer's drawn-game report does not end the game: the last X is still to come.
        QCOMPARE(driver.StatusText(), kDrawn);
        QCOMPARE(MainWindow::GameSession().Game().Turn, kLastTurn);
        driver.Status()->setText(QStringLiteral("typed by the person"));
        driver.Click(8);
        QCOMPARE(driver.StatusText(), kDrawn);
        QCOMPARE(driver.Drawn(), QStringLiteral("OXXXXOOOX"));
        QCOMPARE(MainWindow::GameSession().Game().Turn, kGameOver);
    }

    void thePendingXMovesAndOccupiedSquaresIgnoreClicks() {
        WindowDriver driver;
        driver.Click(4);
        driver.Click(0);
        QCOMPARE(driver.Drawn(), QStringLiteral("X        "));
        driver.Click(0);  // the pending X itself
        QCOMPARE(driver.Drawn(), QStringLiteral("X        "));
        driver.PlayO();
        driver.PlayO();  // no pending X: nothing
        QCOMPARE(driver.Drawn(), QStringLiteral("XO       "));
        QCOMPARE(MainWindow::GameSession().Game().Turn, 2);
        driver.Click(0);  // a committed X
        driver.Click(1);  // an O
        QCOMPARE(driver.Drawn(), QStringLiteral("XO       "));
        QCOMPARE(MainWindow::GameSession().Game().PendingSquare, kNoPendingSquare);
        // A double click places the X once; the second click finds the square taken.
        QTest::mouseClick(driver.Square(8), Qt::LeftButton);
        QTest::mouseDClick(driver.Square(8), Qt::LeftButton);
        QTest::mouseRelease(driver.Square(8), Qt::LeftButton);
        QCOMPARE(driver.Drawn(), QStringLiteral("XO      X"));
    }

    void anAnswerOnATakenSquareShowsTheErrorLine() {
        WindowDriver driver;
        SetFakeAnswers({1});
        driver.Click(1);
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kError);
        QCOMPARE(driver.Drawn(), QStringLiteral(" X       "));
        driver.Click(5);
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral(" X       "));
        QCOMPARE(driver.StatusText(), kError);
        driver.Reset();
        QCOMPARE(driver.Drawn(), kEmpty);
        QCOMPARE(driver.StatusText(), kOpening);
    }

    void theGeneticOpponentWithoutANetworkShowsTheErrorLine() {
        UseFakeLibrary("fake_without_getnetmove");
        WindowDriver driver;
        driver.ChooseOpponent("playGenetic");
        driver.Click(4);
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kError);
        QCOMPARE(driver.Drawn(), QStringLiteral("    X    "));
        // The network opponent has its own fallback and still plays.
        driver.ChooseOpponent("playNetwork");
        driver.Click(4);
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kOpening);
        QCOMPARE(driver.Drawn().count(QLatin1Char('O')), 1);
    }

    void opponentChoicesStartANewGameAfterTheCommand_data() {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("kind");
        QTest::newRow("random number generator") << "playRandom" << kRuleOpponent;
        QTest::newRow("neural network") << "playNetwork" << kNetworkOpponent;
        QTest::newRow("genetic algorithm") << "playGenetic" << kGeneticOpponent;
    }
    void opponentChoicesStartANewGameAfterTheCommand() {
        QFETCH(QString, action);
        QFETCH(int, kind);
        WindowDriver driver;
        driver.PlaySequence({0, 4});
        driver.PlayO();
        QCOMPARE(driver.StatusText(), kBlocked);
        driver.Window().findChild<QAction*>(action)->trigger();
        // The choice is made at once, the new game only once the command has returned.
        QCOMPARE(MainWindow::GameSession().Game().OpponentKind, kind);
        QCOMPARE(driver.StatusText(), kBlocked);
        QCOMPARE(driver.Window().windowTitle(), QString::fromLatin1(kWindowCaption));
        QTRY_COMPARE(driver.StatusText(), kOpening);
        QCOMPARE(driver.Drawn(), kEmpty);
        QCOMPARE(MainWindow::GameSession().Game().Turn, kFirstTurn);
        // The chosen opponent answers the next X, and the choice survives "Reset".
        SeedRandom(7);
        driver.Click(4);
        driver.PlayO();
        QCOMPARE(driver.Drawn().count(QLatin1Char('O')), 1);
        driver.Reset();
        QCOMPARE(MainWindow::GameSession().Game().OpponentKind, kind);
    }

    void resetClearsTheBoardAndTheHighlight() {
        WindowDriver driver;
        driver.Reset();  // before any move
        QCOMPARE(driver.StatusText(), kOpening);
        driver.PlaySequence({1, 4, 2, 5});
        driver.PlayO();
        QCOMPARE(driver.Drawn(), QStringLiteral("OXX XXooo"));
        driver.Reset();
        QCOMPARE(driver.Drawn(), kEmpty);
        QCOMPARE(driver.StatusText(), kOpening);
        driver.PlaySequence({0, 4});  // in the middle of a game
        driver.Reset();
        QCOMPARE(driver.Drawn(), kEmpty);
        QCOMPARE(MainWindow::GameSession().Game().OpponentKind, kNetworkOpponent);
    }

    void theAboutBoxLeavesTheGameAsItWas_data() {
        QTest::addColumn<int>("closeWith");
        QTest::newRow("OK") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("Enter") << 2;
    }
    void theAboutBoxLeavesTheGameAsItWas() {
        QFETCH(int, closeWith);
        WindowDriver driver;
        driver.PlaySequence({0, 4, 6});
        const QString before = driver.Drawn();
        QStringList seen;
        bool iconMatches = false;
        bool okIsDefault = false;
        WhenModalOpens(
            [&](QWidget* box) {
                seen << box->windowTitle();
                for (const char* name : {"aboutVersion", "aboutMaker", "aboutAddress"}) {
                    seen << box->findChild<QLabel*>(QString::fromLatin1(name))->text();
                }
                const QPixmap icon = box->findChild<QLabel*>(QStringLiteral("aboutIcon"))->pixmap();
                iconMatches = icon.toImage().convertToFormat(QImage::Format_ARGB32) ==
                              ProgramIconImage().convertToFormat(QImage::Format_ARGB32);
                okIsDefault = box->findChild<QPushButton*>(QStringLiteral("aboutOk"))->isDefault();
                box->grab().save(QString::fromLatin1(QRV_QT_TEST_OUTPUT) +
                                 QStringLiteral("about.png"));
            },
            [&](QWidget* box) {
                if (closeWith == 0) {
                    QTest::mouseClick(box->findChild<QPushButton*>(QStringLiteral("aboutOk")),
                                      Qt::LeftButton);
                } else {
                    QTest::keyClick(box, closeWith == 1 ? Qt::Key_Escape : Qt::Key_Return);
                }
            });
        driver.Window().findChild<QAction*>(QStringLiteral("helpAbout"))->trigger();
        QCOMPARE(seen, QStringList({QStringLiteral("About"), QStringLiteral("Quorvane Version 1.2"),
                                    QStringLiteral("Made by the Quorvane developers"),
                                    QStringLiteral("https://quorvane.example.org")}));
        QVERIFY(iconMatches);
        QVERIFY(okIsDefault);
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        QVERIFY(driver.Window().isVisible());
        QCOMPARE(driver.Drawn(), before);
        QCOMPARE(driver.StatusText(), kBlocked);
        QCOMPARE(MainWindow::GameSession().Game().PendingSquare, 6);
    }

    void theErrorBoxShowsBeforeTheWindowAndTheGameGoesOn() {
        // This test program has no library beside it, so the program's own start fails.
        QString caption;
        QString text;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        bool windowVisible = true;
        bool modal = false;
        WhenModalOpens(
            [&](QWidget* widget) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                QVERIFY(box != nullptr);
                caption = box->windowTitle();
                text = box->text();
                icon = box->icon();
                modal = box->isModal();
                windowVisible = false;
                for (QWidget* top : QApplication::topLevelWidgets()) {
                    windowVisible |= qobject_cast<MainWindow*>(top) != nullptr && top->isVisible();
                }
            },
            [](QWidget* widget) {
                qobject_cast<QMessageBox*>(widget)->button(QMessageBox::Ok)->click();
            });
        WindowDriver driver(ProgramSetup());
        QCOMPARE(caption, QStringLiteral("Error...Failed to load libSynaptra.so!"));
        QCOMPARE(text,
                 QStringLiteral(
                     "Close app, place libSynaptra.so & qrv.bpn in same folder as the program"));
        QCOMPARE(icon, QMessageBox::Critical);
        QVERIFY(modal);
        QVERIFY(!windowVisible);
        // The game goes on; the network opponent falls back on random squares.
        QVERIFY(driver.Window().HasGame());
        QCOMPARE(driver.StatusText(), kOpening);
        driver.Click(4);
        driver.PlayO();
        QCOMPARE(driver.Drawn().count(QLatin1Char('O')), 1);
    }

    void theThinkingViewExplainsEachMoveBesideTheBoardAndIsRemembered() {
        {
            WindowDriver driver(WindowSetup{LoadPatternString, StartFakeWithValues});
            MainWindow& window = driver.Window();
            const QSize today = window.size();
            auto* view = window.findChild<QAction*>(QStringLiteral("showThinking"));
            auto* panel = window.findChild<QWidget*>(QStringLiteral("thinking"));
            auto* text = window.findChild<QPlainTextEdit*>(QStringLiteral("thinkingText"));
            view->trigger();
            QCOMPARE(window.size(), today + QSize(panel->width(), 0));
            QCOMPARE(QAccessible::queryAccessibleInterface(panel)->text(QAccessible::Name),
                     QStringLiteral("The Network's Thinking"));
            SetFakeAnswers({7});
            driver.Click(0);
            driver.PlayO();
            QCOMPARE(PanelText(window),
                     "Neural Network\nStored position 3 of 17 was found as it stands, and the "
                     "network was asked.\nTop left: taken\nTop centre: 12%\nTop right: 64%\n"
                     "Middle left: 35%\nCentre: loses\nMiddle right: 48%\nBottom left: 5%\n"
                     "Bottom centre: 71%, chosen\nBottom right: 30%\n"
                     "Against the Random Number Generator: 0 won, 0 drawn, 0 lost\n"
                     "Against the Neural Network: 0 won, 0 drawn, 0 lost\n"
                     "Against the Genetic Algorithm: 0 won, 0 drawn, 0 lost");
            driver.Status()->setFocus();
            QTest::keyClick(driver.Status(), Qt::Key_Tab);
            QCOMPARE(QApplication::focusWidget(), text);
            driver.SaveScreenshot(QStringLiteral("thinking-light.png"));
            const QPalette light = QApplication::palette();
            const QColor grey(53, 53, 53);
            const QColor base(35, 35, 35);
            QPalette dark(Qt::white, grey, grey.lighter(), grey.darker(), grey.darker(130),
                          Qt::white, Qt::white, base, grey);
            QApplication::setPalette(dark);
            QCoreApplication::processEvents();
            const QImage shot = text->viewport()->grab().toImage();
            QCOMPARE(shot.pixelColor(shot.width() - 2, shot.height() - 2), base);
            driver.SaveScreenshot(QStringLiteral("thinking-dark.png"));
            QApplication::setPalette(light);

            view->trigger();
            QCOMPARE(window.size(), today);
            view->trigger();
            SetFakeAnswers({});  // the first empty square again, for a lost game
            driver.Reset();
            driver.PlaySequence({1, 4, 2, 5});
            driver.PlayO();
            QVERIFY(PanelText(window).contains(QLatin1String("Network: 0 won, 0 drawn, 1 lost")));
            driver.ChooseOpponent("playGenetic");
        }
        // The next run finds the opponent, the view and the record as this one left them.
        WindowDriver driver;
        QCOMPARE(MainWindow::GameSession().Game().OpponentKind, kGeneticOpponent);
        QVERIFY(PanelText(driver.Window()).startsWith(QLatin1String("Genetic Algorithm\n")) &&
                PanelText(driver.Window()).contains(QLatin1String("Network: 0 won, 0 drawn, 1")));
    }

    void badSettingsGiveTheDefaultsAndOneLine_data() {
        QTest::addColumn<QByteArray>("content");  // empty: a folder where the file should be
        QTest::addColumn<QString>("why");
        QTest::newRow("a folder") << QByteArray() << "cannot be read; the defaults are used";
        QTest::newRow("unknown words") << QByteArray("opponent=chess\nshowThinking=maybe\n")
                                       << "has a damaged value for opponent; its default is used";
        QTest::newRow("counts out of range")
            << QByteArray("[records]\nrandom\\won=99999999999\nnetwork\\lost=-3\n")
            << "has a damaged value for records/random/won; its default is used";
    }
    void badSettingsGiveTheDefaultsAndOneLine() {
        QFETCH(QByteArray, content);
        QFETCH(QString, why);
        const QString file = SettingsFile();
        QVERIFY(QDir().mkpath(content.isEmpty() ? file : QFileInfo(file).absolutePath()));
        if (QFile written(file); !content.isEmpty()) {
            QVERIFY(written.open(QIODevice::WriteOnly) && written.write(content) > 0);
        }
        const QString said = StandardError([] {
            WindowDriver driver;
            QCOMPARE(MainWindow::GameSession().Game().OpponentKind, kNetworkOpponent);
            // The result is saved, or fails to be, and the game goes on.
            driver.PlaySequence({1, 4, 2, 5});
            driver.PlayO();
            QCOMPARE(driver.StatusText(), kLose);
        });
        QCOMPARE(said, "quorvane: the settings file " + file + " " + why + "\n");
    }

    void aFailedPatternTableGivesAWindowWithoutAGame() {
        pretendStarts = 0;
        WindowDriver driver(WindowSetup{NoStrings, PretendStart});
        QVERIFY(!driver.Window().HasGame());
        QCOMPARE(pretendStarts, 0);  // the library is not even started
        QCOMPARE(driver.StatusText(), QString());
        driver.Click(4);
        driver.PlayO();
        driver.Reset();
        driver.ChooseOpponent("playRandom");
        QCOMPARE(driver.Drawn(), kEmpty);
        QCOMPARE(driver.StatusText(), QString());
        QTest::mouseClick(driver.Button("exit"), Qt::LeftButton);
        QTRY_VERIFY(!driver.Window().isVisible());
    }

private:
    QTemporaryDir config_;
};

}  // namespace qrv::qt::test

QTEST_MAIN(qrv::qt::test::MainWindowTest)
#include "main_window_test.moc"
