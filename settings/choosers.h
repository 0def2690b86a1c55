#pragma once
// The choosers the settings pages open: a file to open, a folder, a colour.
//
// Every chooser goes through one small interface, Choosers. The process uses
// the real one (SystemChoosers, Qt's dialogs) unless a test installs another,
// usually a RecordingChoosers, which records each request and answers it from
// values the test sets. Call through PageChoosers() on the GUI thread.
#include "platform/surface.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

// A file-open chooser's request. The filter is written as pairs of name and
// patterns separated by "|" ("ビットマップファイル(*.bmp)|*.bmp|..."), ending
// with "||"; patterns of one pair are separated by ";".
struct FileChooserRequest
{
    QString title;
    QString filter;
    QString initialFolder;
    QString defaultExtension; // added to a typed name without one
};

class Choosers
{
public:
    virtual ~Choosers() = default;

    // The path of an existing file, or nothing when the chooser was cancelled.
    virtual std::optional<QString> ChooseFile(QWidget* parent, const FileChooserRequest& request) = 0;
    // A folder (only file-system folders), starting at startFolder; nothing
    // when cancelled.
    virtual std::optional<QString> ChooseFolder(QWidget* parent, const QString& title,
                                                const QString& startFolder) = 0;
    // A colour, with every control of the chooser shown; nothing when cancelled.
    virtual std::optional<platform::COLORREF> ChooseColor(QWidget* parent, platform::COLORREF initial) = 0;
};

// Qt's file, folder and colour dialogs, modal to the parent.
class SystemChoosers final : public Choosers
{
public:
    std::optional<QString> ChooseFile(QWidget* parent, const FileChooserRequest& request) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;
    std::optional<platform::COLORREF> ChooseColor(QWidget* parent, platform::COLORREF initial) override;
};

// The test double: records every request, answers from its public fields
// (nothing set = the chooser was cancelled).
class RecordingChoosers final : public Choosers
{
public:
    struct FolderRequest
    {
        QString title;
        QString startFolder;
    };

    std::vector<FileChooserRequest> files;
    std::vector<FolderRequest> folders;
    std::vector<platform::COLORREF> colors; // the initial colours

    std::optional<QString> fileAnswer;
    std::optional<QString> folderAnswer;
    std::optional<platform::COLORREF> colorAnswer;

    std::optional<QString> ChooseFile(QWidget* parent, const FileChooserRequest& request) override;
    std::optional<QString> ChooseFolder(QWidget* parent, const QString& title, const QString& startFolder) override;
    std::optional<platform::COLORREF> ChooseColor(QWidget* parent, platform::COLORREF initial) override;
};

// The process-wide choosers (SystemChoosers until replaced).
Choosers& PageChoosers();
// Installs choosers for the whole process and returns the previous ones; null
// puts SystemChoosers back.
std::unique_ptr<Choosers> SetPageChoosers(std::unique_ptr<Choosers> choosers);

// Installs a RecordingChoosers for the life of the object (tests).
class ScopedRecordingChoosers
{
public:
    ScopedRecordingChoosers();
    ~ScopedRecordingChoosers();
    ScopedRecordingChoosers(const ScopedRecordingChoosers&) = delete;
    ScopedRecordingChoosers& operator=(const ScopedRecordingChoosers&) = delete;

    RecordingChoosers* operator->() const { return recorder_; }
    RecordingChoosers& operator*() const { return *recorder_; }

private:
    RecordingChoosers* recorder_;
    std::unique_ptr<Choosers> previous_;
};

// A filter in the "|" form as Qt's name filter ("ビットマップファイル(*.bmp) (*.bmp);;...").
QString QtNameFilter(const QString& filter);
