#pragma once
// A contact sheet of the effect tests: pictures of one size in a grid on a dark
// ground, each under its label, for people to judge (saved as a screenshot).
// Header only: the display suites that include it link the screenshot support.
#include "tests/support/screens.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace lmd::test {

class ContactSheet
{
public:
    // Room for count cells of cell x cell pixels, columns to a row; labels in
    // text of fontPixels.
    ContactSheet(int count, int cell, int columns, int fontPixels) : m_cell(cell), m_columns(columns)
    {
        const int rows = (count + columns - 1) / columns;
        m_sheet = QImage(columns * (cell + kGap) + kGap, rows * (cell + kLabel + kGap) + kGap,
                         QImage::Format_RGB32);
        m_sheet.fill(QColor(40, 40, 44));
        m_painter.begin(&m_sheet);
        QFont font(QStringLiteral("Noto Sans CJK JP"));
        font.setPixelSize(fontPixels);
        m_painter.setFont(font);
        m_painter.setPen(Qt::white);
    }

    // Puts a picture and its label into cell k (row by row).
    void Place(int k, const QString& label, const QImage& picture)
    {
        const int x = kGap + (k % m_columns) * (m_cell + kGap);
        const int y = kGap + (k / m_columns) * (m_cell + kLabel + kGap);
        m_painter.drawText(QRect(x, y, m_cell, kLabel), Qt::AlignLeft | Qt::AlignVCenter, label);
        m_painter.drawImage(x, y + kLabel, picture);
    }

    // Ends the drawing and writes build/screens/<name>.png.
    void Save(const QString& name)
    {
        m_painter.end();
        SaveScreen(m_sheet, name);
    }

private:
    static constexpr int kLabel = 18; // height of the label line
    static constexpr int kGap = 6;    // around and between the cells

    int m_cell;
    int m_columns;
    QImage m_sheet;
    QPainter m_painter;
};

} // namespace lmd::test
