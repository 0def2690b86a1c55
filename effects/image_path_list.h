#pragma once
// CImagePathList: the slideshow's image files with one running index. The main
// window fills it from the image folder; the back, middle and front layers take
// turns on the same sequence.
#include <QString>
#include <vector>

class CImagePathList
{
public:
    // The path at the running index; the index then advances and wraps to 0 after
    // the last path. An empty list returns an empty text and keeps its index.
    QString GetNextPath();

    // Replaces the paths and starts again at the first.
    void SetPaths(std::vector<QString> paths);
    const std::vector<QString>& Paths() const { return m_paths; }
    int Index() const { return m_nIndex; }

private:
    int m_nIndex = 0;
    std::vector<QString> m_paths;
};
