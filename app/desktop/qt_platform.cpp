#include "app/desktop/qt_platform.h"

#include <QClipboard>
#include <QDesktopServices>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "app/desktop/message_box_style.h"
#include "app/desktop/parameter_window.h"
#include "app/desktop/program_name.h"
#include "app/desktop/qt_text.h"
#include "check/engine_tables.h"

namespace oc {

namespace {

// How far a box is moved from one already open at the same place.
constexpr int kPromptOffset = 32;
// How far an engine's prompt stays from the centre of the screen.
constexpr int kPromptGap = 8;

// Which half of the screen a box belongs to: an engine's prompt its own (Baidu
// left of the centre, 360 right of it), so the two never cover each other.
enum class Side { Any, Left, Right };

Side sideOf(const Text& title) {
    if (title == engineTable(Engine::Baidu).promptTitle) {
        return Side::Left;
    }
    if (title == engineTable(Engine::So360).promptTitle) {
        return Side::Right;
    }
    return Side::Any;
}

// A message box that, once placed for showing, takes its engine's half of the
// screen, then moves on until its corner is not that of another open box.
class Prompt : public QMessageBox {
  public:
    Prompt(Side side, std::function<QList<QMessageBox*>()> others)
        : side_(side), others_(std::move(others)) {}

  protected:
    void showEvent(QShowEvent* event) override {
        QMessageBox::showEvent(event);
        QPoint corner = pos();
        if (QScreen* shown = screen(); shown != nullptr && side_ != Side::Any) {
            const QRect area = shown->availableGeometry();
            const int centre = area.center().x();
            const int width = frameGeometry().width();
            corner.setX(side_ == Side::Left ? std::max(area.left(), centre - width - kPromptGap)
                                            : std::min(area.right() - width, centre + kPromptGap));
        }
        const QList<QMessageBox*> others = others_();
        auto taken = [&](QPoint at) {
            return std::any_of(others.begin(), others.end(), [&](QMessageBox* other) {
                return other != this && other->pos() == at;
            });
        };
        while (taken(corner)) {
            corner += QPoint(kPromptOffset, kPromptOffset);
        }
        if (corner != pos()) {
            move(corner);
        }
    }

  private:
    Side side_;
    std::function<QList<QMessageBox*>()> others_;
};

}  // namespace

QtPlatform::QtPlatform(GuiBridge& bridge, Text settingsPath)
    : bridge_(bridge), settingsPath_(std::move(settingsPath)) {}

QtPlatform::~QtPlatform() {
    closeOpenBoxes();
    delete parameters_.data();
}

Text QtPlatform::clipboardText() {
    return bridge_.call([] { return gbkFromQString(QGuiApplication::clipboard()->text()); },
                        Text());
}

std::string QtPlatform::clipboardUtf8() {
    return bridge_.call([] { return QGuiApplication::clipboard()->text().toStdString(); },
                        std::string());
}

bool QtPlatform::setClipboardText(const Text& text) {
    return bridge_.call(
        [text] {
            QGuiApplication::clipboard()->setText(qstringFromGbk(text));
            return true;
        },
        false);
}

bool QtPlatform::setClipboardUtf8(const std::string& utf8) {
    return bridge_.call(
        [utf8] {
            QGuiApplication::clipboard()->setText(qstringFromUtf8(utf8));
            return true;
        },
        false);
}

int QtPlatform::screenWidth() {
    return bridge_.call(
        [] {
            QScreen* screen = QGuiApplication::primaryScreen();
            return screen == nullptr ? 0 : screen->size().width();
        },
        0);
}

int QtPlatform::screenHeight() {
    return bridge_.call(
        [] {
            QScreen* screen = QGuiApplication::primaryScreen();
            return screen == nullptr ? 0 : screen->size().height();
        },
        0);
}

QMessageBox* QtPlatform::makeBox(const Text& message, int style, const Text& title) {
    auto* box = new Prompt(sideOf(title), [this] { return openBoxes(); });
    // A box without a title of its own says whose it is.
    box->setWindowTitle(title.empty() || title == kDefaultMessageTitle ? programName()
                                                                       : qstringFromGbk(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(qstringFromGbk(message).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
    applyMessageBoxStyle(*box, style);
    box->setWindowModality(Qt::NonModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    boxes_.removeAll(nullptr);
    boxes_.append(box);
    return box;
}

int QtPlatform::messageBox(const Text& message, int style, const Text& title) {
    if (bridge_.stopping()) {
        return kAnswerCancel;
    }
    if (bridge_.onGuiThread()) {
        // Only a worker may wait without blocking the window; the GUI thread
        // itself has to wait in the box's own loop.
        QMessageBox* box = makeBox(message, style, title);
        box->setAttribute(Qt::WA_DeleteOnClose, false);
        box->exec();
        const int answer = answerOf(*box);
        delete box;
        return answer;
    }
    auto answer = std::make_shared<std::promise<int>>();
    std::future<int> future = answer->get_future();
    bridge_.post([this, message, style, title, answer] {
        QMessageBox* box = makeBox(message, style, title);
        // The time an engine's prompt waits for the user is told, once each way.
        auto open = std::make_shared<bool>(promptShown_ && sideOf(title) != Side::Any);
        if (*open) {
            promptShown_(true);
        }
        QObject::connect(box, &QMessageBox::finished, box, [this, box, answer, open] {
            if (*open) {
                *open = false;
                promptShown_(false);
            }
            try {
                answer->set_value(answerOf(*box));
            } catch (const std::future_error&) {
                // Answered already.
            }
        });
        // Shown without a modal loop and modal to nothing: the main window
        // and another pass's box stay usable.
        box->show();
    });
    return bridge_.await(future, static_cast<int>(kAnswerCancel));
}

QList<QMessageBox*> QtPlatform::openBoxes() const {
    QList<QMessageBox*> open;
    for (const QPointer<QMessageBox>& box : boxes_) {
        if (box != nullptr && box->isVisible()) {
            open.append(box.data());
        }
    }
    return open;
}

void QtPlatform::closeOpenBoxes() {
    const QList<QPointer<QMessageBox>> boxes = boxes_;
    boxes_.clear();
    for (const QPointer<QMessageBox>& box : boxes) {
        delete box.data();
    }
}

// The opener runs as a process of its own: one that cannot start, or that
// ends with a failure within kOpenerVerdict (xdg-open without any browser),
// did not open the page. One still running then is taken as opening it.
bool QtPlatform::openWithShell(const Text& target) {
    return bridge_.call(
        [this, target] {
            const QString url =
                QString::fromUtf8(QUrl(qstringFromGbk(target), QUrl::TolerantMode).toEncoded());
            const QString program = QStandardPaths::findExecutable(urlOpener_);
            if (program.isEmpty() || url.isEmpty()) {
                return false;
            }
            auto* opener = new QProcess;
            opener->setStandardOutputFile(QProcess::nullDevice());
            opener->setStandardErrorFile(QProcess::nullDevice());
            QEventLoop wait;
            QObject::connect(opener, &QProcess::finished, &wait, &QEventLoop::quit);
            QObject::connect(opener, &QProcess::errorOccurred, &wait, &QEventLoop::quit);
            QTimer::singleShot(kOpenerVerdict, &wait, &QEventLoop::quit);
            opener->start(program, {url});
            if (opener->state() != QProcess::NotRunning) {
                wait.exec();
            }
            if (opener->state() != QProcess::NotRunning) {
                // A browser that stays with its opener: it goes when it ends.
                QObject::disconnect(opener, nullptr, &wait, nullptr);
                QObject::connect(opener, &QProcess::finished, opener, &QObject::deleteLater);
                return true;
            }
            const bool opened = opener->error() == QProcess::UnknownError &&
                                opener->exitStatus() == QProcess::NormalExit &&
                                opener->exitCode() == 0;
            delete opener;
            return opened;
        },
        false);
}

bool QtPlatform::openLocalFile(const std::string& path) {
    return bridge_.call(
        [path] {
            return QDesktopServices::openUrl(QUrl::fromLocalFile(
                QFile::decodeName(QByteArray(path.data(), static_cast<qsizetype>(path.size())))));
        },
        false);
}

bool QtPlatform::showWindow(ProgramWindow window, bool modal) {
    if (window != ProgramWindow::Parameters) {
        return false;
    }
    return bridge_.call(
        [this, modal] {
            if (parameters_ != nullptr) {
                parameters_->raise();
                parameters_->activateWindow();
                return true;
            }
            auto* dialog = new ParameterWindow(*this, settingsPath_);
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            QObject::connect(dialog, &QObject::destroyed, [this] {
                if (parametersClosed_) {
                    parametersClosed_();
                }
            });
            parameters_ = dialog;
            if (modal) {
                dialog->setWindowModality(Qt::ApplicationModal);
                dialog->exec();
            } else {
                dialog->show();
            }
            return true;
        },
        false);
}

void QtPlatform::closeWindow(ProgramWindow window) {
    if (window != ProgramWindow::Parameters) {
        return;
    }
    bridge_.run([this] {
        if (parameters_ != nullptr) {
            QMetaObject::invokeMethod(parameters_.data(), &QWidget::close, Qt::QueuedConnection);
        }
    });
}

}  // namespace oc
