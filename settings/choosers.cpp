#include "settings/choosers.h"

#include "platform/owned_windows.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QStringList>

namespace {

std::unique_ptr<Choosers>& Installed()
{
    static std::unique_ptr<Choosers> choosers = std::make_unique<SystemChoosers>();
    return choosers;
}

// The file or folder chosen in the dialog, run modally to parent's window.
std::optional<QString> Chosen(QFileDialog& dialog, QWidget* parent)
{
    if (platform::RunModal(dialog, parent) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString QtNameFilter(const QString& filter)
{
    const QStringList parts = filter.split(u'|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << QStringLiteral("%1 (%2)").arg(parts[i], QString(parts[i + 1]).replace(u';', u' '));
    return filters.join(QStringLiteral(";;"));
}

std::optional<QString> SystemChoosers::ChooseFile(QWidget* parent, const FileChooserRequest& request)
{
    QFileDialog dialog(nullptr, request.title, request.initialFolder, QtNameFilter(request.filter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(request.defaultExtension);
    return Chosen(dialog, parent);
}

std::optional<QString> SystemChoosers::ChooseFolder(QWidget* parent, const QString& title,
                                                    const QString& startFolder)
{
    QFileDialog dialog(nullptr, title, startFolder);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return Chosen(dialog, parent);
}

std::optional<platform::COLORREF> SystemChoosers::ChooseColor(QWidget* parent, platform::COLORREF initial)
{
    QColorDialog dialog(QColor::fromRgb(platform::ToPixel(initial)));
    if (platform::RunModal(dialog, parent) != QDialog::Accepted || !dialog.selectedColor().isValid())
        return std::nullopt;
    return platform::FromPixel(dialog.selectedColor().rgb());
}

std::optional<QString> RecordingChoosers::ChooseFile(QWidget*, const FileChooserRequest& request)
{
    files.push_back(request);
    return fileAnswer;
}

std::optional<QString> RecordingChoosers::ChooseFolder(QWidget*, const QString& title, const QString& startFolder)
{
    folders.push_back({title, startFolder});
    return folderAnswer;
}

std::optional<platform::COLORREF> RecordingChoosers::ChooseColor(QWidget*, platform::COLORREF initial)
{
    colors.push_back(initial);
    return colorAnswer;
}

Choosers& PageChoosers()
{
    return *Installed();
}

std::unique_ptr<Choosers> SetPageChoosers(std::unique_ptr<Choosers> choosers)
{
    std::unique_ptr<Choosers> previous = std::move(Installed());
    Installed() = choosers ? std::move(choosers) : std::make_unique<SystemChoosers>();
    return previous;
}

ScopedRecordingChoosers::ScopedRecordingChoosers()
{
    auto recorder = std::make_unique<RecordingChoosers>();
    recorder_ = recorder.get();
    previous_ = SetPageChoosers(std::move(recorder));
}

ScopedRecordingChoosers::~ScopedRecordingChoosers()
{
    SetPageChoosers(std::move(previous_));
}
