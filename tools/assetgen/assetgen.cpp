#include "tools/assetgen/assetgen.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageWriter>
#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace assetgen {
namespace {

std::map<std::string, Generator>& Table()
{
    static std::map<std::string, Generator> table;
    return table;
}

// Group names registered twice (two files chose the same name).
std::vector<std::string>& Duplicates()
{
    static std::vector<std::string> duplicates;
    return duplicates;
}

bool ValidName(const QString& name)
{
    return !name.isEmpty() && !name.contains('/') && !name.contains('\\') && name != "." && name != "..";
}

} // namespace

Registration::Registration(const char* group, Generator generate)
{
    if (!Table().emplace(group, generate).second)
        Duplicates().emplace_back(group);
}

QByteArray EncodePng(const QImage& picture)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImage plain = picture;
    for (const QString& key : plain.textKeys())
        if (key != "HotSpot")
            plain.setText(key, QString());
    QImageWriter writer(&buffer, "png");
    writer.setCompression(9);
    writer.write(plain);
    return bytes;
}

Output::Output(QString resourceDir, QString dataDir)
    : resourceDir_(std::move(resourceDir)), dataDir_(std::move(dataDir))
{
}

void Output::Fail(const QString& message)
{
    std::fprintf(stderr, "assetgen: %s\n", qPrintable(message));
    ok_ = false;
}

void Output::Write(const QString& path, const QByteArray& bytes)
{
    // Unchanged files keep their time stamps, so nothing that reads them rebuilds.
    QFile old(path);
    if (old.open(QIODevice::ReadOnly) && old.size() == bytes.size() && old.readAll() == bytes)
        return;
    old.close();
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        Fail("cannot write " + path);
}

void Output::Embed(const QString& alias, const QString& file, const QByteArray& bytes)
{
    const bool taken = std::any_of(embedded_.begin(), embedded_.end(),
                                   [&](const auto& entry) { return entry.first == alias; });
    if (taken) {
        Fail("resource made twice: " + alias);
        return;
    }
    if (bytes.isEmpty()) {
        Fail("empty resource: " + alias);
        return;
    }
    embedded_.emplace_back(alias, file);
    Write(resourceDir_ + '/' + file, bytes);
}

void Output::Bitmap(const QString& name, const QImage& picture)
{
    if (!ValidName(name) || picture.isNull()) {
        Fail("bad bitmap resource '" + name + "'");
        return;
    }
    Embed("bitmap/" + name, "bitmap/" + name + ".png", EncodePng(picture));
}

void Output::Icon(const QString& name, const std::vector<QImage>& sizes)
{
    if (!ValidName(name) || sizes.empty()) {
        Fail("bad icon resource '" + name + "'");
        return;
    }
    for (const QImage& picture : sizes) {
        const QString size = QString::number(picture.width());
        Embed("icon/" + name + '/' + size, "icon/" + name + '/' + size + ".png", EncodePng(picture));
    }
}

void Output::Cursor(const QString& name, const QImage& picture, QPoint hotSpot)
{
    if (!ValidName(name) || picture.isNull()) {
        Fail("bad cursor resource '" + name + "'");
        return;
    }
    QImage withSpot = picture;
    withSpot.setText("HotSpot", QString("%1,%2").arg(hotSpot.x()).arg(hotSpot.y()));
    Embed("cursor/" + name, "cursor/" + name + ".png", EncodePng(withSpot));
}

void Output::Resource(const QString& kind, const QString& name, const QByteArray& bytes)
{
    if (!ValidName(kind) || !ValidName(name)) {
        Fail("bad resource '" + kind + '/' + name + "'");
        return;
    }
    Embed(kind + '/' + name, kind + '/' + name, bytes);
}

void Output::DataFile(const QString& path, const QByteArray& bytes)
{
    const QString clean = QDir::cleanPath(path);
    if (clean.isEmpty() || QDir::isAbsolutePath(clean) || clean.startsWith("..")) {
        Fail("bad data file path '" + path + "'");
        return;
    }
    Write(dataDir_ + '/' + clean, bytes);
}

void Output::DataImage(const QString& path, const QImage& picture)
{
    const QString format = QFileInfo(path).suffix().toLower();
    if (format == "png") {
        DataFile(path, EncodePng(picture));
        return;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format.toLatin1());
    if (format == "jpg" || format == "jpeg")
        writer.setQuality(92);
    if (!writer.write(picture)) {
        Fail("cannot encode " + path + ": " + writer.errorString());
        return;
    }
    DataFile(path, bytes);
}

bool Output::Finish()
{
    std::sort(embedded_.begin(), embedded_.end());
    QByteArray qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (const auto& [alias, file] : embedded_)
        qrc += "  <file alias=\"" + alias.toUtf8() + "\">" + file.toUtf8() + "</file>\n";
    qrc += "</qresource>\n</RCC>\n";
    // Always rewritten: its time stamp tells the build that this run has happened.
    QFile file(resourceDir_ + "/lmd_resources.qrc");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(qrc) != qrc.size())
        Fail("cannot write the resource list");
    return ok_;
}

int RunAll(const QString& resourceDir, const QString& dataDir)
{
    Output out(resourceDir, dataDir);
    for (const std::string& group : Duplicates())
        out.Fail(QString("two generators are called '%1'").arg(QString::fromStdString(group)));
    for (const auto& [group, generate] : Table())
        generate(out);
    return out.Finish() ? 0 : 1;
}

} // namespace assetgen
