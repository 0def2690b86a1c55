#include "rss/csv_file.h"

#include "platform/ini.h"

bool CCsvFile::Open(const QString& path)
{
    Close();
    const platform::FileRead file = platform::ReadRunTimeFile(path, platform::FileKind::FeedList);
    if (!file.Ok())
        return false;
    bool bom = false;
    for (platform::TextLine& line : platform::DecodeTextLines(file.bytes, bom))
        m_lines.append(std::move(line.text));
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
