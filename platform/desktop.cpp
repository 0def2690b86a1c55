#include "platform/desktop.h"

#include "platform/owned_windows.h"

#include <QCursor>
#include <QDir>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <canberra.h>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace platform {
namespace {

// Plays sounds on a thread of its own: opening the sound server or device may
// take time or fail, and the caller (an alarm on the GUI thread) must not wait.
class SoundPlayer
{
public:
    static SoundPlayer& Instance()
    {
        static SoundPlayer player;
        return player;
    }

    void Play(const QByteArray& eventId)
    {
        {
            const std::lock_guard lock(mutex_);
            if (queue_.size() >= kMaxQueued)
                return; // a stuck backend must not make the queue grow
            queue_.push_back(eventId);
            if (!worker_.joinable())
                worker_ = std::thread([this] { Run(); });
        }
        wake_.notify_one();
    }

    ~SoundPlayer()
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_one();
        if (worker_.joinable())
            worker_.join();
    }

private:
    static constexpr std::size_t kMaxQueued = 8;

    void Run()
    {
        ca_context* context = nullptr;
        if (ca_context_create(&context) != CA_SUCCESS)
            context = nullptr;
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_)
                break;
            const QByteArray id = queue_.front();
            queue_.pop_front();
            lock.unlock();
            if (context) // errors (no device, no theme) are not the caller's concern
                ca_context_play(context, 0, CA_PROP_EVENT_ID, id.constData(), nullptr);
            lock.lock();
        }
        lock.unlock();
        if (context)
            ca_context_destroy(context);
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<QByteArray> queue_;
    bool stop_ = false;
    std::thread worker_;
};

std::unique_ptr<DesktopActions>& Current()
{
    static std::unique_ptr<DesktopActions> current;
    return current;
}

bool StartDetached(const Command& command)
{
    return QProcess::startDetached(command.program, command.arguments);
}

int FirstButton(unsigned style)
{
    const unsigned buttons = style & 0xF;
    return buttons == MB_YESNO || buttons == MB_YESNOCANCEL ? IDYES : IDOK;
}

// Text, caption, icon and buttons of a box in the style's terms.
void PrepareMessageBox(QMessageBox& box, const QString& text, const QString& caption, unsigned style)
{
    box.setWindowTitle(caption);
    box.setText(text);
    switch (style & 0xF0) {
    case MB_ICONERROR:
        box.setIcon(QMessageBox::Critical);
        break;
    case MB_ICONQUESTION:
        box.setIcon(QMessageBox::Question);
        break;
    case MB_ICONWARNING:
        box.setIcon(QMessageBox::Warning);
        break;
    case MB_ICONINFORMATION:
        box.setIcon(QMessageBox::Information);
        break;
    default:
        break;
    }
    switch (style & 0xF) {
    case MB_OKCANCEL:
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
        break;
    case MB_YESNOCANCEL:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        break;
    case MB_YESNO:
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        break;
    default:
        box.setStandardButtons(QMessageBox::Ok);
        break;
    }
}

// The button a finished box was answered with.
int Answer(const QMessageBox& box, unsigned style)
{
    switch (box.standardButton(box.clickedButton())) {
    case QMessageBox::Cancel:
        return IDCANCEL;
    case QMessageBox::Yes:
        return IDYES;
    case QMessageBox::No:
        return IDNO;
    case QMessageBox::Ok:
        return IDOK;
    default: // closed from the title bar, or not answered at all
        return (style & 0xF) == MB_OK ? IDOK : IDCANCEL;
    }
}

// A box that does not block: it lives until it is answered, or until its
// owner goes (the program's end included), whichever comes first.
class MessageBoxHolder final : public QObject
{
public:
    explicit MessageBoxHolder(QWidget& owner) : QObject(&owner) {}
    QMessageBox& Box() { return box_; }

private:
    QMessageBox box_;
};

} // namespace

QString SoundEventId(const QString& alias)
{
    struct Entry
    {
        const char16_t* alias;
        const char* eventId;
    };
    static const Entry table[] = {
        {u"Notification.Reminder", "alarm-clock-elapsed"},
        {u"SystemAsterisk", "dialog-information"},
        {u"SystemExclamation", "dialog-warning"},
        {u"SystemHand", "dialog-error"},
        {u"SystemQuestion", "dialog-question"},
        {u"SystemNotification", "message"},
        {u".Default", "bell"},
    };
    for (const auto& entry : table) {
        if (alias.compare(QStringView(entry.alias), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.eventId);
    }
    return QStringLiteral("bell");
}

Command OpenCommand(const QString& target)
{
    // A name starting with '-' would read as an option of xdg-open.
    const QString argument = target.startsWith(u'-') ? QStringLiteral("./") + target : target;
    return {QStringLiteral("xdg-open"), {argument}};
}

std::vector<Command> LockCommands()
{
    return {{QStringLiteral("loginctl"), {QStringLiteral("lock-session")}},
            {QStringLiteral("xdg-screensaver"), {QStringLiteral("lock")}}};
}

// --- SystemDesktop ---------------------------------------------------------------

void SystemDesktop::PlaySystemSound(const QString& alias)
{
    SoundPlayer::Instance().Play(SoundEventId(alias).toUtf8());
}

bool SystemDesktop::OpenWithAssociatedProgram(const QString& target)
{
    if (target.isEmpty())
        return false;
    return StartDetached(OpenCommand(target));
}

bool SystemDesktop::LockWorkstation()
{
    // loginctl tells by its exit code whether it found the session to lock; only
    // then is the screensaver fallback needed. Both run without blocking the caller.
    const std::vector<Command> commands = LockCommands();
    auto* first = new QProcess;
    const Command fallback = commands[1];
    auto useFallback = [first, fallback] {
        StartDetached(fallback);
        first->deleteLater();
    };
    QObject::connect(first, &QProcess::finished, first,
                     [first, useFallback](int code, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || code != 0)
                             useFallback();
                         else
                             first->deleteLater();
                     });
    QObject::connect(first, &QProcess::errorOccurred, first, [useFallback](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            useFallback();
    });
    first->start(commands[0].program, commands[0].arguments);
    return true;
}

void DesktopActions::OpenMessageBox(QWidget& owner, const QString& text, const QString& caption, unsigned style,
                                    std::function<void(int)> done)
{
    const int answer = MessageBox(&owner, text, caption, style);
    if (done)
        done(answer);
}

int SystemDesktop::MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style)
{
    QMessageBox box;
    PrepareMessageBox(box, text, caption, style);
    if (!parent) // an ownerless box must not hide under the top-most clock
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    RunModal(box, parent);
    return Answer(box, style);
}

void SystemDesktop::OpenMessageBox(QWidget& owner, const QString& text, const QString& caption, unsigned style,
                                   std::function<void(int)> done)
{
    auto* const holder = new MessageBoxHolder(owner); // owned by the owner, as its child
    QMessageBox& box = holder->Box();
    PrepareMessageBox(box, text, caption, style);
    OpenModal(box, &owner, [holder, &box, style, done = std::move(done)](int) {
        holder->deleteLater();
        if (done)
            done(Answer(box, style));
    });
}

QString SystemDesktop::PicturesFolder()
{
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return folder.isEmpty() ? QDir::homePath() + QStringLiteral("/Pictures") : folder;
}

QPoint SystemDesktop::CursorPos()
{
    return QCursor::pos();
}

bool SystemDesktop::IsKeyDown(Key key)
{
    // Asks the display server, like an asynchronous key-state query.
    const Qt::KeyboardModifiers held = QGuiApplication::queryKeyboardModifiers();
    switch (key) {
    case Key::Shift:
        return held.testFlag(Qt::ShiftModifier);
    case Key::Control:
        return held.testFlag(Qt::ControlModifier);
    case Key::Alt:
        return held.testFlag(Qt::AltModifier);
    }
    return false;
}

// --- RecordingDesktop ------------------------------------------------------------

void RecordingDesktop::PlaySystemSound(const QString& alias)
{
    sounds.push_back(alias);
}

bool RecordingDesktop::OpenWithAssociatedProgram(const QString& target)
{
    opened.push_back(target);
    return openSucceeds;
}

bool RecordingDesktop::LockWorkstation()
{
    ++locks;
    return true;
}

int RecordingDesktop::MessageBox(QWidget*, const QString& text, const QString& caption, unsigned style)
{
    messageBoxes.push_back({text, caption, style});
    return messageBoxAnswer != 0 ? messageBoxAnswer : FirstButton(style);
}


QString RecordingDesktop::PicturesFolder()
{
    return picturesFolder;
}

QPoint RecordingDesktop::CursorPos()
{
    return cursorPos;
}

bool RecordingDesktop::IsKeyDown(Key key)
{
    switch (key) {
    case Key::Shift:
        return shiftDown;
    case Key::Control:
        return controlDown;
    case Key::Alt:
        return altDown;
    }
    return false;
}

// --- message boxes and paints ------------------------------------------------------

namespace {

int g_paintDepth = 0; // GUI thread only

} // namespace

PaintInProgress::PaintInProgress()
{
    ++g_paintDepth;
}

PaintInProgress::~PaintInProgress()
{
    --g_paintDepth;
}

int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style)
{
    if (g_paintDepth == 0)
        return Desktop().MessageBox(parent, text, caption, style);
    // Shown from the event loop once the paint has returned; a parent gone by
    // then leaves the box without one.
    QTimer::singleShot(0, qApp, [parent = QPointer<QWidget>(parent), text, caption, style] {
        Desktop().MessageBox(parent.data(), text, caption, style);
    });
    return FirstButton(style);
}

// --- selection -------------------------------------------------------------------

DesktopActions& Desktop()
{
    auto& current = Current();
    if (!current)
        current = std::make_unique<SystemDesktop>();
    return *current;
}

std::unique_ptr<DesktopActions> SetDesktopActions(std::unique_ptr<DesktopActions> actions)
{
    auto& current = Current();
    std::unique_ptr<DesktopActions> previous = std::move(current);
    current = std::move(actions);
    return previous;
}

ScopedRecordingDesktop::ScopedRecordingDesktop()
{
    auto recorder = std::make_unique<RecordingDesktop>();
    recorder_ = recorder.get();
    previous_ = SetDesktopActions(std::move(recorder));
}

ScopedRecordingDesktop::~ScopedRecordingDesktop()
{
    SetDesktopActions(std::move(previous_));
}

} // namespace platform
