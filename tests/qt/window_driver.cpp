#include "window_driver.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "resources/pattern_strings.h"
#include "ui/qt/square_button.h"

namespace qrv::qt::test {

namespace {

char fakeFolder[1024] = "";

bool LoadFake(NetworkBinding& binding, LoadFailure& failure) {
    if (fakeFolder[0] == '\0') {
        return false;
    }
    return LoadNetworkLibrary(binding, fakeFolder, &failure);
}

template <typename Proc>
Proc FakeControl(const char* name) {
    auto proc = reinterpret_cast<Proc>(seam::FindEntryPoint(MainWindow::GameSession().Network().Library, name));
    if (proc == nullptr) {
        qFatal("the fake library's control %s is missing", name);
    }
    return proc;
}

bool Near(QRgb pixel, const QColor& colour) {
    return qAbs(qRed(pixel) - colour.red()) <= 8 && qAbs(qGreen(pixel) - colour.green()) <= 8 &&
           qAbs(qBlue(pixel) - colour.blue()) <= 8;
}

}  // namespace

int FocusPixels(const QImage& square) {
    const QColor face = QApplication::palette().color(QPalette::Button);
    int count = 0;
    for (int y = 0; y < square.height(); ++y) {
        for (int x = 0; x < square.width(); ++x) {
            const bool ring = x < kFocusRing || y < kFocusRing ||
                              x >= square.width() - kFocusRing || y >= square.height() - kFocusRing;
            count += ring && !Near(square.pixel(x, y), face);
        }
    }
    return count;
}

void UseFakeLibrary(const char* variant) {
    if (variant == nullptr) {
        fakeFolder[0] = '\0';
    } else {
        std::snprintf(fakeFolder, sizeof fakeFolder, "%s%s/", QRV_FAKE_LIBRARY_ROOT, variant);
    }
}

WindowSetup FakeSetup() {
    return {LoadPatternString, LoadFake};
}

void SetFakeAnswers(std::initializer_list<int> answers) {
    using SetAnswers = void (*)(const int*, int);
    FakeControl<SetAnswers>("FakeNetSetAnswers")(answers.begin(), static_cast<int>(answers.size()));
}

int FakeCallCount() {
    return FakeControl<int (*)()>("FakeNetCallCount")();
}

WindowDriver::WindowDriver(const WindowSetup& setup)
    : window_(std::make_unique<MainWindow>(setup)) {
    if (MainWindow::GameSession().Network().Library != nullptr &&
        seam::FindEntryPoint(MainWindow::GameSession().Network().Library, "FakeNetSetAnswers") != nullptr) {
        SetFakeAnswers({});
    }
    window_->show();
    if (!QTest::qWaitForWindowExposed(window_.get())) {
        qFatal("the main window was never exposed");
    }
}

QPushButton* WindowDriver::Button(const char* name) const {
    return window_->findChild<QPushButton*>(QString::fromLatin1(name));
}

QWidget* WindowDriver::Square(int square) const {
    return window_->findChild<SquareButton*>(QStringLiteral("square%1").arg(square));
}

QLineEdit* WindowDriver::Status() const {
    return window_->findChild<QLineEdit*>(QStringLiteral("status"));
}

QString WindowDriver::StatusText() const {
    return Status()->text();
}

void WindowDriver::Click(int square) {
    QTest::mouseClick(Square(square), Qt::LeftButton);
}

void WindowDriver::PlayO() {
    QTest::mouseClick(Button("playO"), Qt::LeftButton);
}

void WindowDriver::Reset() {
    QTest::mouseClick(Button("reset"), Qt::LeftButton);
}

void WindowDriver::ChooseOpponent(const char* actionName) {
    window_->findChild<QAction*>(QString::fromLatin1(actionName))->trigger();
    QCoreApplication::processEvents();
}

void WindowDriver::PlaySequence(std::initializer_list<int> squares) {
    int left = static_cast<int>(squares.size());
    for (int square : squares) {
        Click(square);
        if (--left > 0) {
            PlayO();
        }
    }
}

QImage WindowDriver::Grab(int square) const {
    return Square(square)->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QString WindowDriver::Drawn() const {
    QString drawn;
    const QColor face = window_->palette().color(QPalette::Button);
    for (int square = 0; square < kSquareCount; ++square) {
        const QImage image = Grab(square);
        int normal = 0;
        int highlight = 0;
        int other = 0;
        // The outer three pixels hold the focus frame, never a mark.
        for (int y = kFocusRing; y < image.height() - kFocusRing; ++y) {
            for (int x = kFocusRing; x < image.width() - kFocusRing; ++x) {
                const QRgb pixel = image.pixel(x, y);
                if (Near(pixel, kNormalMarkColour)) {
                    ++normal;
                } else if (Near(pixel, kHighlightMarkColour)) {
                    ++highlight;
                } else if (!Near(pixel, face)) {
                    ++other;
                }
            }
        }
        QChar mark = QLatin1Char(' ');
        if (other > 0 || (normal > 0 && highlight > 0)) {
            mark = QLatin1Char('?');
        } else if (normal + highlight > 0) {
            // The diagonals of a cross meet in the middle of the figure's box; a nought's
            // middle is filled with the face colour.
            const QPoint middle((4 + image.width() - 6) / 2, (4 + image.height() - 6) / 2);
            const bool cross = !Near(image.pixel(middle), face);
            mark = QLatin1Char(cross ? 'X' : 'O');
            if (highlight > 0) {
                mark = mark.toLower();
            }
        }
        drawn.append(mark);
    }
    return drawn;
}

void WindowDriver::SaveScreenshot(const QString& name) const {
    window_->grab().save(QString::fromLatin1(QRV_QT_TEST_OUTPUT) + name);
}

}  // namespace qrv::qt::test
