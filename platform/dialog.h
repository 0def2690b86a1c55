#pragma once
// Dialog templates as data. A dialog is described by a table of controls (id,
// kind, rectangle in dialog units, style bits, text), as a resource script would
// describe it; BuildDialog turns the table into absolutely placed Qt widgets.
//
// Dialog units use the fixed base of "MS Shell Dlg" 8 at 96 dpi, 6 by 13 pixels:
// x pixels = x * 6 / 4, y pixels = y * 13 / 8, rounded like MulDiv. Positions and
// sizes are mapped separately, as dialog creation does.
//
// Also here: data exchange between controls and variables (DDX_Check, DDX_Radio,
// DDX_Text, ...), the fixed Windows 10 default system colours and metrics
// (GetSysColor, GetSystemMetrics), and Windows font names mapped to installed
// fonts.
#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <map>
#include <vector>

class QButtonGroup;

namespace platform {

using COLORREF = std::uint32_t;

// --- dialog units -----------------------------------------------------------------

inline constexpr int kDialogBaseX = 6;
inline constexpr int kDialogBaseY = 13;

int DluToPixelsX(int x);
int DluToPixelsY(int y);
// A dialog-unit rectangle (x, y, width, height) in pixels.
QRect MapDialogRect(const QRect& dlu);

// The lines of text a label of this pixel height holds in font: its height in
// line spacings, rounded to the nearest, at least one.
int LabelLines(const QFont& font, int height);

// --- templates --------------------------------------------------------------------

enum class ControlKind
{
    Static,        // text label (QLabel)
    Picture,       // empty label for a bitmap or icon the dialog sets
    Frame,         // etched or sunken frame (QFrame)
    GroupBox,      // QGroupBox (title only; controls stay children of the dialog)
    PushButton,    // QPushButton
    DefPushButton, // the default push button
    CheckBox,      // QCheckBox
    RadioButton,   // QRadioButton, exclusive within its WS_GROUP run
    Edit,          // QLineEdit, or QPlainTextEdit with ES_MULTILINE
    ComboBox,      // QComboBox; editable unless CBS_DROPDOWNLIST
    ListBox,       // QListWidget
    Slider,        // QSlider (trackbar), horizontal unless TBS_VERT
    Custom,        // a plain placeholder QWidget that the dialog replaces
};

// Style bits, with the values of the resource scripts they come from.
enum ControlStyle : unsigned
{
    WS_GROUP = 0x00020000,
    WS_TABSTOP = 0x00010000,
    WS_DISABLED = 0x08000000,
    SS_CENTER = 0x1,
    SS_RIGHT = 0x2,
    SS_SUNKEN = 0x1000,
    ES_CENTER = 0x1,
    ES_RIGHT = 0x2,
    ES_MULTILINE = 0x4,
    ES_PASSWORD = 0x20,
    ES_READONLY = 0x800,
    ES_NUMBER = 0x2000,
    CBS_DROPDOWNLIST = 0x3,
    TBS_VERT = 0x2,
};

struct ControlTemplate
{
    int id = 0; // -1 (IDC_STATIC) for controls nobody looks up
    ControlKind kind = ControlKind::Static;
    QRect rect;         // dialog units: x, y, width, height
    unsigned style = 0; // ControlStyle bits
    QString text;
};

struct DialogTemplate
{
    QString caption;
    QSize size; // client area in dialog units
    std::vector<ControlTemplate> controls;
    QString fontFace = QStringLiteral("MS Shell Dlg");
    int fontPointSize = 8;
};

// The widgets of one dialog, built from its template.
class DialogControls
{
public:
    // Gives dialog its fixed client size, caption and font, and creates every
    // control as a child of it, in template order (which is also the tab order).
    // Controls are visible; WS_DISABLED ones start disabled; only WS_TABSTOP
    // controls take focus from the Tab key.
    DialogControls(QWidget* dialog, const DialogTemplate& dialogTemplate);

    QWidget* Dialog() const { return dialog_; }
    // GetDlgItem: the control with this id, or null.
    QWidget* Item(int id) const;
    template <typename T> T* ItemAs(int id) const { return qobject_cast<T*>(Item(id)); }
    // The template entry of a control, or null.
    const ControlTemplate* Template(int id) const;
    // Puts widget in the place of control id (its rectangle, tab position and
    // enabled state) and deletes the widget that was there; the dialog owns it.
    void Replace(int id, QWidget* widget);
    // The ids of the radio buttons of the group that starts at firstId: every
    // radio button from firstId up to the next control with WS_GROUP.
    std::vector<int> RadioGroup(int firstId) const;

private:
    QWidget* dialog_;
    std::vector<ControlTemplate> controls_;
    std::map<int, QWidget*> items_;
};

// --- data exchange ----------------------------------------------------------------

// One exchange between the controls and the dialog's variables: to the controls
// (saveAndValidate false) or from them (true). A value that cannot be read
// (text that is not an integer) marks the exchange failed, focuses the control
// and leaves the variable unchanged.
class DataExchange
{
public:
    DataExchange(const DialogControls& controls, bool saveAndValidate)
        : controls(controls), m_bSaveAndValidate(saveAndValidate)
    {
    }
    void Fail(int id);
    bool Failed() const { return failedId_ != 0; }
    int FailedId() const { return failedId_; }

    const DialogControls& controls;
    const bool m_bSaveAndValidate;

private:
    int failedId_ = 0;
};

// Check box state: 0 unchecked, 1 checked, 2 indeterminate.
void DDX_Check(DataExchange& dx, int id, int& value);
void DDX_Check(DataExchange& dx, int id, bool& value);
// Index of the checked radio button in the group starting at firstId; -1 none.
void DDX_Radio(DataExchange& dx, int firstId, int& value);
// The text of an edit, label, button or combo box.
void DDX_Text(DataExchange& dx, int id, QString& value);
// The same text read as an integer (blanks around it allowed, nothing else).
void DDX_Text(DataExchange& dx, int id, int& value);
// Slider position.
void DDX_Slider(DataExchange& dx, int id, int& value);
// Selected combo-box or list-box row; -1 none.
void DDX_CBIndex(DataExchange& dx, int id, int& value);

// --- system colours and metrics ---------------------------------------------------

enum SysColorIndex : int
{
    COLOR_SCROLLBAR = 0,
    COLOR_BACKGROUND = 1,
    COLOR_ACTIVECAPTION = 2,
    COLOR_INACTIVECAPTION = 3,
    COLOR_MENU = 4,
    COLOR_WINDOW = 5,
    COLOR_WINDOWFRAME = 6,
    COLOR_MENUTEXT = 7,
    COLOR_WINDOWTEXT = 8,
    COLOR_CAPTIONTEXT = 9,
    COLOR_ACTIVEBORDER = 10,
    COLOR_INACTIVEBORDER = 11,
    COLOR_APPWORKSPACE = 12,
    COLOR_HIGHLIGHT = 13,
    COLOR_HIGHLIGHTTEXT = 14,
    COLOR_BTNFACE = 15,
    COLOR_BTNSHADOW = 16,
    COLOR_GRAYTEXT = 17,
    COLOR_BTNTEXT = 18,
    COLOR_INACTIVECAPTIONTEXT = 19,
    COLOR_BTNHIGHLIGHT = 20,
    COLOR_3DDKSHADOW = 21,
    COLOR_3DLIGHT = 22,
    COLOR_INFOTEXT = 23,
    COLOR_INFOBK = 24,
    COLOR_HOTLIGHT = 26,
    COLOR_GRADIENTACTIVECAPTION = 27,
    COLOR_GRADIENTINACTIVECAPTION = 28,
    COLOR_MENUHILIGHT = 29,
    COLOR_MENUBAR = 30,
    COLOR_3DFACE = COLOR_BTNFACE,
    COLOR_3DSHADOW = COLOR_BTNSHADOW,
    COLOR_3DHIGHLIGHT = COLOR_BTNHIGHLIGHT,
};

// The Windows 10 default colour (0x00BBGGRR); 0 for an unknown index.
COLORREF GetSysColor(int index);
// The same as a QColor.
QColor SysQColor(int index);

enum SystemMetric : int
{
    SM_CXSCREEN = 0,
    SM_CYSCREEN = 1,
    SM_CXVSCROLL = 2,
    SM_CYHSCROLL = 3,
    SM_CYCAPTION = 4,
    SM_CXBORDER = 5,
    SM_CYBORDER = 6,
    SM_CXFIXEDFRAME = 7,
    SM_CYFIXEDFRAME = 8,
    SM_CXICON = 11,
    SM_CYICON = 12,
    SM_CXCURSOR = 13,
    SM_CYCURSOR = 14,
    SM_CYMENU = 15,
    SM_CXFRAME = 32,
    SM_CYFRAME = 33,
    SM_CXEDGE = 45,
    SM_CYEDGE = 46,
    SM_CXSMICON = 49,
    SM_CYSMICON = 50,
};

// Windows 10 values at 96 dpi; the screen size comes from the primary screen
// (0 without one). Unknown metrics give 0.
int GetSystemMetrics(int index);

// --- fonts ------------------------------------------------------------------------

// The installed family standing for a Windows font face (case-insensitive):
// Meiryo UI, MS Shell Dlg, MS UI Gothic, ＭＳ Ｐゴシック -> Noto Sans CJK JP;
// Times New Roman -> Liberation Serif; Arial -> Liberation Sans; Courier,
// Courier New, Consolas -> Liberation Mono; Verdana, Tahoma -> DejaVu Sans.
// Other names are returned unchanged (fontconfig finds a substitute).
QString MapFontFamily(const QString& windowsFace);

// A font as a Windows program asks for it, sized in pixels as at 96 dpi so text
// keeps its size whatever the display's dpi: pointSize * 96 / 72 pixels for the
// character height. weight: 100-900 (400 normal, 700 bold).
QFont WindowsFont(const QString& face, int pointSize, int weight = 400, bool italic = false);
// The same from a LOGFONT height: negative = character height in pixels,
// positive = cell height, 0 = the dialog font's size.
QFont WindowsFontFromHeight(const QString& face, int height, int weight = 400, bool italic = false);

} // namespace platform
