// The dot-matrix glyph strips of the clock's digital readout: bitmap 150 (the
// time, 512 by 66) and 151 (the seconds, 352 by 45). A strip is 3 rows of 32
// cells, cell (row, column) holding the character 32 + 32 * row + column; every
// glyph is a 5 by 7 grid of dots, lit or unlit. Exactly three colours: lit
// 0xFFB53F, unlit 0x674017 and the black background (Windows colour values,
// red in the low byte), which the clock recolours as it loads the strip.
#include "tools/assetgen/assetgen.h"

#include <QPainter>
#include <array>
#include <string_view>

namespace {

constexpr int kGlyphRows = 7;
constexpr int kGlyphColumns = 5;
constexpr int kFirstCharacter = 32;
constexpr int kCharacterCount = 96;
constexpr int kCellsPerRow = 32;

// One glyph per character from 32 to 127: seven rows of five dots, '#' lit.
// The ';' cell holds a colon: the clock writes "16;40" and shows "16:40".
constexpr std::array<std::string_view, kCharacterCount> kGlyphs = {
    "..... ..... ..... ..... ..... ..... .....", // ' '
    "..#.. ..#.. ..#.. ..#.. ..#.. ..... ..#..", // '!'
    ".#.#. .#.#. ..... ..... ..... ..... .....", // '"'
    ".#.#. .#.#. ##### .#.#. ##### .#.#. .#.#.", // '#'
    "..#.. .#### #.#.. .###. ..#.# ####. ..#..", // '$'
    "##... ##..# ...#. ..#.. .#... #..## ...##", // '%'
    ".##.. #..#. #.#.. .#... #.#.# #..#. .##.#", // '&'
    "..#.. ..#.. .#... ..... ..... ..... .....", // '''
    "...#. ..#.. .#... .#... .#... ..#.. ...#.", // '('
    ".#... ..#.. ...#. ...#. ...#. ..#.. .#...", // ')'
    "..... ..#.. #.#.# .###. #.#.# ..#.. .....", // '*'
    "..... ..#.. ..#.. ##### ..#.. ..#.. .....", // '+'
    "..... ..... ..... ..... .##.. ..#.. .#...", // ','
    "..... ..... ..... ##### ..... ..... .....", // '-'
    "..... ..... ..... ..... ..... .##.. .##..", // '.'
    "..... ....# ...#. ..#.. .#... #.... .....", // '/'
    ".###. #...# #..## #.#.# ##..# #...# .###.", // '0'
    "..#.. .##.. ..#.. ..#.. ..#.. ..#.. .###.", // '1'
    ".###. #...# ....# ...#. ..#.. .#... #####", // '2'
    "##### ...#. ..#.. ...#. ....# #...# .###.", // '3'
    "...#. ..##. .#.#. #..#. ##### ...#. ...#.", // '4'
    "##### #.... ####. ....# ....# #...# .###.", // '5'
    "..##. .#... #.... ####. #...# #...# .###.", // '6'
    "##### ....# ...#. ..#.. .#... .#... .#...", // '7'
    ".###. #...# #...# .###. #...# #...# .###.", // '8'
    ".###. #...# #...# .#### ....# ...#. .##..", // '9'
    "..... .##.. .##.. ..... .##.. .##.. .....", // ':'
    "..... .##.. .##.. ..... .##.. .##.. .....", // ';' (the clock's colon)
    "...#. ..#.. .#... #.... .#... ..#.. ...#.", // '<'
    "..... ..... ##### ..... ##### ..... .....", // '='
    ".#... ..#.. ...#. ....# ...#. ..#.. .#...", // '>'
    ".###. #...# ....# ...#. ..#.. ..... ..#..", // '?'
    ".###. #...# ....# .##.# #.#.# #.#.# .###.", // '@'
    ".###. #...# #...# ##### #...# #...# #...#", // 'A'
    "####. #...# #...# ####. #...# #...# ####.", // 'B'
    ".###. #...# #.... #.... #.... #...# .###.", // 'C'
    "###.. #..#. #...# #...# #...# #..#. ###..", // 'D'
    "##### #.... #.... ####. #.... #.... #####", // 'E'
    "##### #.... #.... ####. #.... #.... #....", // 'F'
    ".###. #...# #.... #.### #...# #...# .####", // 'G'
    "#...# #...# #...# ##### #...# #...# #...#", // 'H'
    ".###. ..#.. ..#.. ..#.. ..#.. ..#.. .###.", // 'I'
    "..### ...#. ...#. ...#. ...#. #..#. .##..", // 'J'
    "#...# #..#. #.#.. ##... #.#.. #..#. #...#", // 'K'
    "#.... #.... #.... #.... #.... #.... #####", // 'L'
    "#...# ##.## #.#.# #.#.# #...# #...# #...#", // 'M'
    "#...# #...# ##..# #.#.# #..## #...# #...#", // 'N'
    ".###. #...# #...# #...# #...# #...# .###.", // 'O'
    "####. #...# #...# ####. #.... #.... #....", // 'P'
    ".###. #...# #...# #...# #.#.# #..#. .##.#", // 'Q'
    "####. #...# #...# ####. #.#.. #..#. #...#", // 'R'
    ".#### #.... #.... .###. ....# ....# ####.", // 'S'
    "##### ..#.. ..#.. ..#.. ..#.. ..#.. ..#..", // 'T'
    "#...# #...# #...# #...# #...# #...# .###.", // 'U'
    "#...# #...# #...# #...# #...# .#.#. ..#..", // 'V'
    "#...# #...# #...# #.#.# #.#.# #.#.# .#.#.", // 'W'
    "#...# #...# .#.#. ..#.. .#.#. #...# #...#", // 'X'
    "#...# #...# .#.#. ..#.. ..#.. ..#.. ..#..", // 'Y'
    "##### ....# ...#. ..#.. .#... #.... #####", // 'Z'
    ".###. .#... .#... .#... .#... .#... .###.", // '['
    "..... #.... .#... ..#.. ...#. ....# .....", // '\'
    ".###. ...#. ...#. ...#. ...#. ...#. .###.", // ']'
    "..#.. .#.#. #...# ..... ..... ..... .....", // '^'
    "..... ..... ..... ..... ..... ..... #####", // '_'
    ".#... ..#.. ...#. ..... ..... ..... .....", // '`'
    "..... ..... .###. ....# .#### #...# .####", // 'a'
    "#.... #.... #.##. ##..# #...# #...# ####.", // 'b'
    "..... ..... .###. #.... #.... #...# .###.", // 'c'
    "....# ....# .##.# #..## #...# #...# .####", // 'd'
    "..... ..... .###. #...# ##### #.... .###.", // 'e'
    "..##. .#..# .#... ###.. .#... .#... .#...", // 'f'
    "..... .#### #...# #...# .#### ....# .###.", // 'g'
    "#.... #.... #.##. ##..# #...# #...# #...#", // 'h'
    "..#.. ..... .##.. ..#.. ..#.. ..#.. .###.", // 'i'
    "...#. ..... ..##. ...#. ...#. #..#. .##..", // 'j'
    "#.... #.... #..#. #.#.. ##... #.#.. #..#.", // 'k'
    ".##.. ..#.. ..#.. ..#.. ..#.. ..#.. .###.", // 'l'
    "..... ..... ##.#. #.#.# #.#.# #...# #...#", // 'm'
    "..... ..... #.##. ##..# #...# #...# #...#", // 'n'
    "..... ..... .###. #...# #...# #...# .###.", // 'o'
    "..... ..... ####. #...# ####. #.... #....", // 'p'
    "..... ..... .##.# #..## .#### ....# ....#", // 'q'
    "..... ..... #.##. ##..# #.... #.... #....", // 'r'
    "..... ..... .###. #.... .###. ....# ####.", // 's'
    ".#... .#... ###.. .#... .#... .#..# ..##.", // 't'
    "..... ..... #...# #...# #...# #..## .##.#", // 'u'
    "..... ..... #...# #...# #...# .#.#. ..#..", // 'v'
    "..... ..... #...# #...# #.#.# #.#.# .#.#.", // 'w'
    "..... ..... #...# .#.#. ..#.. .#.#. #...#", // 'x'
    "..... ..... #...# #...# .#### ....# .###.", // 'y'
    "..... ..... ##### ...#. ..#.. .#... #####", // 'z'
    "...#. ..#.. ..#.. .#... ..#.. ..#.. ...#.", // '{'
    "..#.. ..#.. ..#.. ..#.. ..#.. ..#.. ..#..", // '|'
    ".#... ..#.. ..#.. ...#. ..#.. ..#.. .#...", // '}'
    "..... ..... .#... #.#.# ...#. ..... .....", // '~'
    "#.#.# .#.#. #.#.# .#.#. #.#.# .#.#. #.#.#", // 127
};

// A strip's geometry: cell size and where each dot lies in it.
struct StripLayout
{
    int cellWidth;
    int cellHeight;
    int pitchX; // from one dot column to the next
    int pitchY; // from one dot row to the next
    int dotWidth;
    int dotHeight;
};

bool Lit(int character, int row, int column)
{
    const std::string_view glyph = kGlyphs[static_cast<std::size_t>(character - kFirstCharacter)];
    return glyph[static_cast<std::size_t>(row * (kGlyphColumns + 1) + column)] == '#';
}

QImage DrawStrip(const StripLayout& layout)
{
    // Windows colour values 0xFFB53F and 0x674017 as red, green, blue.
    const QColor lit(0x3F, 0xB5, 0xFF);
    const QColor unlit(0x17, 0x40, 0x67);
    QImage strip(layout.cellWidth * kCellsPerRow, layout.cellHeight * (kCharacterCount / kCellsPerRow),
                 QImage::Format_RGB32);
    strip.fill(Qt::black);
    QPainter painter(&strip);
    for (int character = kFirstCharacter; character < kFirstCharacter + kCharacterCount; ++character) {
        const int index = character - kFirstCharacter;
        const int left = index % kCellsPerRow * layout.cellWidth;
        const int top = index / kCellsPerRow * layout.cellHeight;
        for (int row = 0; row < kGlyphRows; ++row)
            for (int column = 0; column < kGlyphColumns; ++column)
                painter.fillRect(left + column * layout.pitchX, top + row * layout.pitchY, layout.dotWidth,
                                 layout.dotHeight, Lit(character, row, column) ? lit : unlit);
    }
    return strip;
}

} // namespace

LMD_ASSET_GENERATOR(dot_matrix_glyphs)
{
    for (const std::string_view glyph : kGlyphs) {
        if (glyph.size() != kGlyphRows * (kGlyphColumns + 1) - 1) {
            out.Fail("dot-matrix glyph of the wrong size");
            return;
        }
    }
    // The time: cells 16 by 22, dots 2 by 2 on a 3-pixel pitch (glyphs 14 by 20).
    out.Bitmap("150", DrawStrip({16, 22, 3, 3, 2, 2}));
    // The seconds: cells 11 by 15, dots 1 wide and 2 high, 2 pixels apart across,
    // rows touching (glyphs 9 by 14 in a 10 by 14 glyph box).
    out.Bitmap("151", DrawStrip({11, 15, 2, 2, 1, 2}));
}
