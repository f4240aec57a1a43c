#include "ui/qt/main_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "resources/pattern_strings.h"
#include "resources/window_layout.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/dialog_units.h"
#include "ui/qt/settings.h"
#include "ui/qt/square_button.h"
#include "ui/qt/thinking_panel.h"

namespace qrv::qt {

namespace {

// The session starts its library and its game once, so each window has a new one; there is one
// window per process.
std::optional<Session> session;
const MainWindow* theWindow = nullptr;

QRect FrameBox(int row, int column) {
    return {QRV_FRAME_BOX(row, column)};
}

QRect SquareBox(int square) {
    return {QRV_SQUARE_BOX(square / 3, square % 3)};
}

QRect ToPixels(const DialogUnits& units, const QRect& box) {
    return units.Rect(box.x(), box.y(), box.width(), box.height());
}

QPushButton* MakeButton(QWidget* parent, const char* name, const char* text) {
    auto* button = new QPushButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    // Enter presses the focused push button, as in a dialog.
    button->setAutoDefault(true);
    return button;
}

}  // namespace

void ReportLibraryFailure(const LoadFailure& failure) {
    std::fprintf(stderr, "quorvane: cannot load the network library: %s%s%s\n", failure.Path,
                 failure.Path[0] != '\0' ? ": " : "", failure.Reason);
    QMessageBox box(QMessageBox::Critical, QString::fromLatin1(kLibraryErrorCaption),
                    QString::fromLatin1(kLibraryErrorText), QMessageBox::Ok);
    box.setObjectName(QStringLiteral("libraryError"));
    box.exec();
}

WindowSetup ProgramSetup() {
    return {LoadPatternString, StartNetworkLibrary, ReportLibraryFailure};
}

MainWindow::MainWindow(const WindowSetup& setup) {
    Q_ASSERT(theWindow == nullptr);
    theWindow = this;
    session.emplace();
    InstallAccessibility();

    // The icon is the application's, set before any window (main.cpp).
    setWindowTitle(QString::fromLatin1(kWindowCaption));
    // A caption, a system menu, minimise and close; no maximise box and no sizing border.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    // The menu bar above the client area, as on Windows; a plain widget with a layout costs
    // less at start-up than a main window with its docks and toolbars.
    menuBar_ = new QMenuBar(this);
    client_ = new QWidget(this);
    client_->setObjectName(QStringLiteral("client"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setMenuBar(menuBar_);
    // The client area, and the network's thinking beside it while it is shown.
    auto* row = new QHBoxLayout;
    row->setSpacing(0);
    row->addWidget(client_);
    layout->addLayout(row);
    BuildControls();
    BuildMenus();
    const Remembered remembered = BuildThinking(row);
    CenterOnScreen();

    // The library's error box shows before the window; without stored positions the window
    // has no game.
    SessionSetup start = setup;
    start.ShowThinking = remembered.ShowThinking;
    start.Records = remembered.Records;
    start.Opponent = remembered.Opponent;
    session->Start(*this, start);
}

MainWindow::~MainWindow() {
    Shutdown();
    theWindow = nullptr;
}

bool MainWindow::HasGame() const {
    return session->HasGame();
}

const Session& MainWindow::GameSession() {
    return *session;
}

void MainWindow::BuildControls() {
    const DialogUnits units(client_->fontMetrics());

    // Created in the template's order, which is also the tab order.
    exitButton_ = MakeButton(client_, "exit", "Exit");
    exitButton_->setGeometry(ToPixels(units, {QRV_EXIT_BOX}));
    connect(exitButton_, &QPushButton::clicked, this, &MainWindow::PostClose);

    auto* separator = new QFrame(client_);
    separator->setObjectName(QStringLiteral("separator"));
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    separator->setEnabled(false);
    HideFromAssistiveTechnology(separator);
    QRect line = ToPixels(units, {QRV_SEPARATOR_BOX});
    line.setHeight(2);  // an etched line is two pixels, whatever the unit
    separator->setGeometry(line);

    // The board holds the frames and the squares; it is laid out in the client's pixels.
    const int titleDrop = std::max(0, client_->fontMetrics().height() / 2 - 1);
    std::array<QRect, kSquareCount> frameBoxes{};
    QRect boardBox;
    for (int square = 0; square < kSquareCount; ++square) {
        // An etched box, as a group box without a title is drawn on Windows: its top line
        // runs half a line of text below the box's top, where a title would stand.
        QRect box = ToPixels(units, FrameBox(square / 3, square % 3));
        box.setTop(box.top() + titleDrop);
        // Its two etched lines at the right and the bottom stay clear of the square, however
        // the units round.
        const QRect inside = ToPixels(units, SquareBox(square));
        box.setRight(std::max(box.right(), inside.right() + 2));
        box.setBottom(std::max(box.bottom(), inside.bottom() + 2));
        frameBoxes[square] = box;
        boardBox |= box;
    }
    auto* board = new QWidget(client_);
    board->setObjectName(QStringLiteral("board"));
    ShowAsGroup(board, kBoardName);
    board->setGeometry(boardBox);
    const QPoint origin = boardBox.topLeft();
    for (int column = 0; column < 3; ++column) {
        for (int row = 0; row < 3; ++row) {
            auto* frame = new QFrame(board);
            frame->setObjectName(QStringLiteral("frame%1").arg(3 * row + column));
            frame->setFrameStyle(QFrame::Box | QFrame::Sunken);
            HideFromAssistiveTechnology(frame);
            frame->setGeometry(frameBoxes[3 * row + column].translated(-origin));
        }
    }
    for (int square = 0; square < kSquareCount; ++square) {
        auto* button = new SquareButton(square, board);
        button->setObjectName(QStringLiteral("square%1").arg(square));
        button->setGeometry(ToPixels(units, SquareBox(square)).translated(-origin));
        connect(button, &QAbstractButton::clicked, this,
                [square] { session->ClickSquare(square); });
        squares_[square] = button;
        button->setAccessibleName(QString::fromLatin1(session->Name(square).data()));
    }

    playButton_ = MakeButton(client_, "playO", "Play O");
    playButton_->setGeometry(ToPixels(units, {QRV_PLAY_O_BOX}));
    connect(playButton_, &QPushButton::clicked, this, [] { session->PlayO(); });

    resetButton_ = MakeButton(client_, "reset", "Reset");
    resetButton_->setGeometry(ToPixels(units, {QRV_RESET_BOX}));
    connect(resetButton_, &QPushButton::clicked, this, [] { session->Reset(); });

    statusField_ = new QLineEdit(client_);
    statusField_->setObjectName(QStringLiteral("status"));
    statusField_->setAccessibleName(QString::fromLatin1(kStatusName));
    statusField_->setGeometry(ToPixels(units, {QRV_STATUS_BOX}));
    announcer_ = new Announcer(client_);

    QWidget* previous = exitButton_;
    for (QWidget* next : squares_) {
        setTabOrder(previous, next);
        previous = next;
    }
    for (QWidget* next : {static_cast<QWidget*>(playButton_), static_cast<QWidget*>(resetButton_),
                          static_cast<QWidget*>(statusField_)}) {
        setTabOrder(previous, next);
        previous = next;
    }

    client_->setFixedSize(units.Size(QRV_MAIN_SIZE));
    exitButton_->setFocus();
}

void MainWindow::BuildMenus() {
    // No accelerator keys and no check marks: the menu does not show the chosen opponent.
    QMenu* file = menuBar_->addMenu(QStringLiteral("&File"));
    for (const OpponentChoice& choice : kOpponentChoices) {
        QAction* action = file->addAction(QString::fromLatin1(choice.MenuText));
        // "playNetwork" and so on.
        QString word = QString::fromLatin1(choice.Word);
        word[0] = word[0].toUpper();
        action->setObjectName(QStringLiteral("play") + word);
        const int kind = choice.Kind;
        connect(action, &QAction::triggered, this, [this, kind] { OnOpponent(kind); });
    }
    QAction* exit = file->addAction(QStringLiteral("E&xit"));
    exit->setObjectName(QStringLiteral("fileExit"));
    connect(exit, &QAction::triggered, this, &MainWindow::PostClose);

    QMenu* view = menuBar_->addMenu(QStringLiteral("&View"));
    showThinking_ = view->addAction(QString::fromLatin1(kShowThinkingItem));
    showThinking_->setObjectName(QStringLiteral("showThinking"));
    showThinking_->setCheckable(true);
    connect(showThinking_, &QAction::toggled, this, &MainWindow::OnShowThinking);

    QMenu* help = menuBar_->addMenu(QStringLiteral("&Help"));
    QAction* about = help->addAction(QStringLiteral("&About ..."));
    about->setObjectName(QStringLiteral("helpAbout"));
    connect(about, &QAction::triggered, this, &MainWindow::OnAbout);
}

void MainWindow::CenterOnScreen() {
    // The menu bar sits above the client area; the window keeps the size they make together.
    setFixedSize(sizeHint());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect placed(QPoint(0, 0), size());
        placed.moveCenter(screen->availableGeometry().center());
        move(placed.topLeft());
    }
}

void MainWindow::ShowUpdate(const SessionUpdate& update) {
    for (int k = 0; k < update.SquareCount; ++k) {
        const SquareChange& change = update.Squares[k];
        SquareButton* square = squares_[change.Square];
        // Setting the name tells assistive technology that it changed.
        square->setAccessibleName(QString::fromLatin1(change.Name.data()));
        square->Show(change.Mark, change.Highlighted);
    }
    if (update.StatusText != nullptr) {
        statusField_->setText(QString::fromLatin1(update.StatusText));
        // Shown from its first character, as a Windows edit field shows a new text.
        statusField_->setCursorPosition(0);
    }
    if (update.Thinking != nullptr) {
        thinking_->Show(*update.Thinking, session->Records());
    }
    // The squares' new names reach a screen reader only for the focused square, and the status
    // field's text not at all while it has no focus: the sentence says it all, once.
    announcer_->Announce(QString::fromLatin1(update.Spoken.data()));
    if (update.RecordsChanged) {
        Remember();
    }
}

void MainWindow::OnOpponent(int kind) {
    session->ChooseOpponent(kind);
    Remember();
    // The new game starts once the menu command is done, as a posted Reset.
    QMetaObject::invokeMethod(
        this, [] { session->Reset(); }, Qt::QueuedConnection);
}

void MainWindow::OnAbout() {
    AboutDialog about(this, client_);
    about.exec();
}

Remembered MainWindow::BuildThinking(QBoxLayout* row) {
    settings_ = std::make_unique<SettingsStore>();
    const Remembered remembered = settings_->Load();
    thinking_ = new ThinkingPanel(this);
    row->addWidget(thinking_);
    thinking_->setVisible(remembered.ShowThinking);
    // Reached after the status field, and only while it is shown.
    setTabOrder(statusField_, thinking_->Text());
    // The session learns of it when it starts.
    const QSignalBlocker quiet(showThinking_);
    showThinking_->setChecked(remembered.ShowThinking);
    return remembered;
}

void MainWindow::OnShowThinking(bool shown) {
    thinking_->setVisible(shown);
    // The window grows by the panel, and is today's again without it.
    layout()->activate();
    setFixedSize(sizeHint());
    session->ShowThinking(shown);
    Remember();
}

void MainWindow::Remember() {
    if (!session->HasGame()) {
        return;
    }
    settings_->Save({session->Game().OpponentKind, session->ThinkingShown(), session->Records()});
}

void MainWindow::PostClose() {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape anywhere in the window ends the program at once, without asking.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    Shutdown();
    event->accept();
}

void MainWindow::Shutdown() {
    // A second request (two close commands in a row) finds nothing left to release.
    session->ShutDown();
}

}  // namespace qrv::qt
