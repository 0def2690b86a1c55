#include "effects/image_path_list.h"

QString CImagePathList::GetNextPath()
{
    if (m_paths.empty())
        return {};
    if (m_nIndex < 0 || static_cast<std::size_t>(m_nIndex) >= m_paths.size())
        m_nIndex = 0;
    QString path = m_paths[static_cast<std::size_t>(m_nIndex)];
    m_nIndex = static_cast<std::size_t>(m_nIndex) + 1 < m_paths.size() ? m_nIndex + 1 : 0;
    return path;
}

void CImagePathList::SetPaths(std::vector<QString> paths)
{
    m_paths = std::move(paths);
    m_nIndex = 0;
}
