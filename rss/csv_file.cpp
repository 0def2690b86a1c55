#include "rss/csv_file.h"

#include "platform/ini.h"

#include <QFile>
#include <QFileInfo>

bool CCsvFile::Open(const QString& path)
{
    Close();
    // A FIFO or device would block or never end: only a regular file is read.
    const QFileInfo info(path);
    if (!info.isFile() || info.size() > kMaxFileBytes)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray data = file.read(kMaxFileBytes + 1);
    if (file.error() != QFileDevice::NoError || data.size() > kMaxFileBytes)
        return false;
    bool bom = false;
    m_lines = platform::DecodeText(data, bom).split(u'\n');
    // Every piece before a line feed is a line, without a carriage return at its
    // end; the text after the last line feed is one when it is not empty.
    const QString tail = m_lines.takeLast();
    for (QString& line : m_lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    if (!tail.isEmpty())
        m_lines.append(tail);
    return true;
}

bool CCsvFile::ReadRow(int& count, QString* fields, int capacity)
{
    count = 0;
    if (m_nextLine >= m_lines.size())
        return false;
    const QString& line = m_lines[m_nextLine++];
    qsizetype start = 0;
    while (start < line.size() && count < kMaxFields) {
        qsizetype end = line.indexOf(m_delimiter, start);
        if (end < 0)
            end = line.size();
        if (count < capacity)
            fields[count] = line.mid(start, end - start);
        ++count;
        start = end + 1;
    }
    return true;
}

void CCsvFile::Close()
{
    m_lines.clear();
    m_nextLine = 0;
}

std::deque<FeedEntry> ReadFeedList(const QString& path)
{
    std::deque<FeedEntry> feeds;
    CCsvFile list;
    if (!list.Open(path))
        return feeds;
    QString fields[3];
    int count = 0;
    while (list.ReadRow(count, fields, 3)) {
        if (count == 2)
            feeds.push_back({fields[0], fields[1]});
    }
    list.Close();
    return feeds;
}
