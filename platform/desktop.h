#pragma once
// The clock's outward actions and the desktop state it asks about: system sound,
// opening a file or link with its associated program, locking the workstation,
// message boxes, the pictures folder, the cursor position and the key state.
//
// Everything goes through one small interface, DesktopActions. The process uses
// the real one (SystemDesktop) unless a test installs another, usually a
// RecordingDesktop, which records each action instead of acting and answers from
// values the test sets. Call through Desktop() (or the free functions below) on
// the GUI thread.
#include <QPoint>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

class QWidget;

namespace platform {

// Message-box styles and answers, with the values the clock's code uses.
enum MessageBoxStyle : unsigned
{
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONERROR = 0x10,
    MB_ICONQUESTION = 0x20,
    MB_ICONWARNING = 0x30,
    MB_ICONINFORMATION = 0x40,
};
enum MessageBoxAnswer : int
{
    IDOK = 1,
    IDCANCEL = 2,
    IDYES = 6,
    IDNO = 7
};

enum class Key
{
    Shift,
    Control,
    Alt
};

class DesktopActions
{
public:
    virtual ~DesktopActions() = default;

    // Plays a system sound by its Windows alias ("Notification.Reminder", ...) and
    // returns at once; no sound device is no error.
    virtual void PlaySystemSound(const QString& alias) = 0;
    // Opens a file, folder or URL with the program associated with it. False when
    // the opener could not be started.
    virtual bool OpenWithAssociatedProgram(const QString& target) = 0;
    // Locks the user's session. False when no locker could be started.
    virtual bool LockWorkstation() = 0;
    // A message box modal to parent's window (see RunModal; with no parent, to
    // nothing, and kept above every window); returns the button chosen (IDOK,
    // IDCANCEL, IDYES, IDNO) once it is answered.
    virtual int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style) = 0;
    // The same box, modal to owner's window, without waiting (see OpenModal):
    // done gets the button once the box is answered. A box whose owner goes
    // first goes with it, unanswered. Unless overridden, MessageBox answers
    // it at once.
    virtual void OpenMessageBox(QWidget& owner, const QString& text, const QString& caption, unsigned style,
                                std::function<void(int answer)> done);
    // The user's pictures folder (not created when missing).
    virtual QString PicturesFolder() = 0;
    // The cursor position in screen pixels.
    virtual QPoint CursorPos() = 0;
    // Whether the key is held right now (the asynchronous key state).
    virtual bool IsKeyDown(Key key) = 0;
};

// The real desktop: libcanberra, xdg-open, loginctl / xdg-screensaver,
// QMessageBox, XDG folders, the X server's pointer and modifier state.
class SystemDesktop final : public DesktopActions
{
public:
    void PlaySystemSound(const QString& alias) override;
    bool OpenWithAssociatedProgram(const QString& target) override;
    bool LockWorkstation() override;
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style) override;
    void OpenMessageBox(QWidget& owner, const QString& text, const QString& caption, unsigned style,
                        std::function<void(int answer)> done) override;
    QString PicturesFolder() override;
    QPoint CursorPos() override;
    bool IsKeyDown(Key key) override;
};

// The test double: records every action, answers from its public fields.
class RecordingDesktop final : public DesktopActions
{
public:
    struct MessageBoxCall
    {
        QString text;
        QString caption;
        unsigned style;
    };

    std::vector<QString> sounds; // aliases, in order
    std::vector<QString> opened; // targets, in order
    int locks = 0;               // LockWorkstation calls
    std::vector<MessageBoxCall> messageBoxes;

    int messageBoxAnswer = 0; // 0: the box's first button (IDOK or IDYES)
    bool openSucceeds = true;
    QString picturesFolder = QStringLiteral("/nonexistent/Pictures");
    QPoint cursorPos;
    bool shiftDown = false;
    bool controlDown = false;
    bool altDown = false;

    void PlaySystemSound(const QString& alias) override;
    bool OpenWithAssociatedProgram(const QString& target) override;
    bool LockWorkstation() override;
    int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style) override;
    QString PicturesFolder() override;
    QPoint CursorPos() override;
    bool IsKeyDown(Key key) override;
};

// The process-wide desktop (a SystemDesktop until replaced).
DesktopActions& Desktop();
// Installs actions for the whole process and returns the previous ones; null
// puts a SystemDesktop back.
std::unique_ptr<DesktopActions> SetDesktopActions(std::unique_ptr<DesktopActions> actions);

// Installs a RecordingDesktop for the life of the object (tests).
class ScopedRecordingDesktop
{
public:
    ScopedRecordingDesktop();
    ~ScopedRecordingDesktop();
    ScopedRecordingDesktop(const ScopedRecordingDesktop&) = delete;
    ScopedRecordingDesktop& operator=(const ScopedRecordingDesktop&) = delete;

    RecordingDesktop* operator->() const { return recorder_; }
    RecordingDesktop& operator*() const { return *recorder_; }

private:
    RecordingDesktop* recorder_;
    std::unique_ptr<DesktopActions> previous_;
};

// Shorthands for Desktop().X(...).
inline void PlaySystemSound(const QString& alias)
{
    Desktop().PlaySystemSound(alias);
}
inline bool OpenWithAssociatedProgram(const QString& target)
{
    return Desktop().OpenWithAssociatedProgram(target);
}
inline bool LockWorkstation()
{
    return Desktop().LockWorkstation();
}
// A message box, unless a paint is in progress (see PaintInProgress): then the
// box is shown once the paint has returned, and the call returns at once with
// the box's first button (IDOK or IDYES), so only boxes that merely inform
// belong inside a paint.
int MessageBox(QWidget* parent, const QString& text, const QString& caption, unsigned style);
inline void OpenMessageBox(QWidget& owner, const QString& text, const QString& caption, unsigned style,
                           std::function<void(int answer)> done)
{
    Desktop().OpenMessageBox(owner, text, caption, style, std::move(done));
}

// Marks a paint in progress for its lifetime (nests). A modal box raised inside
// a paint would run its own event loop there: the window could not draw for as
// long as the box is up, and the paint would finish after it. Message boxes
// asked for meanwhile wait for the paint to return instead.
class PaintInProgress
{
public:
    PaintInProgress();
    ~PaintInProgress();
    PaintInProgress(const PaintInProgress&) = delete;
    PaintInProgress& operator=(const PaintInProgress&) = delete;
};
inline QString PicturesFolder()
{
    return Desktop().PicturesFolder();
}
inline QPoint CursorPos()
{
    return Desktop().CursorPos();
}
inline bool IsKeyDown(Key key)
{
    return Desktop().IsKeyDown(key);
}

// How the real desktop acts, exposed for tests.
struct Command
{
    QString program;
    QStringList arguments; // passed as a list, never through a shell
};
// The freedesktop sound-theme event id for a Windows sound alias
// ("Notification.Reminder" -> "alarm-clock-elapsed"); unknown aliases give "bell".
QString SoundEventId(const QString& alias);
// xdg-open with the target as one argument (blanks and all).
Command OpenCommand(const QString& target);
// loginctl lock-session first, then xdg-screensaver lock when that fails.
std::vector<Command> LockCommands();

} // namespace platform
