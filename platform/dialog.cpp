#include "platform/dialog.h"

#include "platform/crt.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QGuiApplication>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QSlider>
#include <algorithm>

namespace platform {
namespace {

Qt::Alignment TextAlignment(unsigned style)
{
    if (style & SS_CENTER) // ES_CENTER has the same value
        return Qt::AlignHCenter;
    if (style & SS_RIGHT)
        return Qt::AlignRight;
    return Qt::AlignLeft;
}

QWidget* CreateEdit(QWidget* parent, const ControlTemplate& t)
{
    if (t.style & ES_MULTILINE) {
        auto* edit = new QPlainTextEdit(t.text, parent);
        edit->setReadOnly(t.style & ES_READONLY);
        return edit;
    }
    auto* edit = new QLineEdit(t.text, parent);
    edit->setReadOnly(t.style & ES_READONLY);
    edit->setAlignment(TextAlignment(t.style) | Qt::AlignVCenter);
    if (t.style & ES_PASSWORD)
        edit->setEchoMode(QLineEdit::Password);
    if (t.style & ES_NUMBER)
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
    return edit;
}

QWidget* CreateWidget(QWidget* parent, const ControlTemplate& t)
{
    switch (t.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(t.text, parent);
        label->setAlignment(TextAlignment(t.style) | Qt::AlignTop);
        label->setWordWrap(!(t.style & (SS_CENTER | SS_RIGHT)));
        if (t.style & SS_SUNKEN)
            label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        return label;
    }
    case ControlKind::Picture:
        return new QLabel(parent);
    case ControlKind::Frame: {
        auto* frame = new QFrame(parent);
        frame->setFrameStyle(t.style & SS_SUNKEN ? (QFrame::Panel | QFrame::Sunken)
                                                 : (QFrame::Box | QFrame::Sunken));
        return frame;
    }
    case ControlKind::GroupBox:
        return new QGroupBox(t.text, parent);
    case ControlKind::PushButton:
    case ControlKind::DefPushButton: {
        auto* button = new QPushButton(t.text, parent);
        button->setDefault(t.kind == ControlKind::DefPushButton);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(t.text, parent);
    case ControlKind::RadioButton: {
        auto* radio = new QRadioButton(t.text, parent);
        radio->setAutoExclusive(false); // exclusivity comes from its WS_GROUP run
        return radio;
    }
    case ControlKind::Edit:
        return CreateEdit(parent, t);
    case ControlKind::ComboBox: {
        auto* combo = new QComboBox(parent);
        combo->setEditable((t.style & 0x3) != CBS_DROPDOWNLIST);
        return combo;
    }
    case ControlKind::ListBox:
        return new QListWidget(parent);
    case ControlKind::Slider:
        return new QSlider(t.style & TBS_VERT ? Qt::Vertical : Qt::Horizontal, parent);
    case ControlKind::Custom:
        return new QWidget(parent);
    }
    return new QWidget(parent);
}

// The dialogs' labels were laid out for a font whose kana are narrower and
// whose lines are lower than those of the fonts found here: a label whose text
// would not fit its lines is narrowed (down to 70 % of its width) rather than
// cut, and a label is made as tall as its lines need, down to the lowest
// letters of its last line. Returns the label's height.
int FitLabelText(QLabel& label, const QRect& rect)
{
    const int flags = static_cast<int>(label.alignment()) | (label.wordWrap() ? Qt::TextWordWrap : 0);
    const int lineSpacing = QFontMetrics(label.font()).lineSpacing();
    const int lines = LabelLines(label.font(), rect.height());
    const auto needed = [&](const QFont& font) {
        return QFontMetrics(font).boundingRect(QRect(0, 0, rect.width(), lines * lineSpacing * 4), flags,
                                               label.text());
    };
    const auto fits = [&](const QFont& font) {
        const QRect text = needed(font);
        return text.width() <= rect.width() && text.height() <= lines * lineSpacing;
    };
    QFont font = label.font();
    for (int stretch = 95; stretch >= 70 && !fits(font); stretch -= 5)
        font.setStretch(stretch);
    if (font.stretch() != label.font().stretch())
        label.setFont(font);
    return std::max(rect.height(), std::min(needed(font).height(), lines * lineSpacing));
}

void Place(QWidget* widget, const ControlTemplate& t)
{
    QRect rect = MapDialogRect(t.rect);
    if (auto* label = qobject_cast<QLabel*>(widget); label && t.kind == ControlKind::Static && !t.text.isEmpty())
        rect.setHeight(FitLabelText(*label, rect));
    // A combo box's template height is that of its open list; closed it is one line.
    if (t.kind == ControlKind::ComboBox)
        rect.setHeight(std::min(rect.height(), widget->sizeHint().height()));
    widget->setGeometry(rect);
    widget->setEnabled(!(t.style & WS_DISABLED));
    if (widget->focusPolicy() != Qt::NoFocus)
        widget->setFocusPolicy(t.style & WS_TABSTOP ? Qt::StrongFocus : Qt::ClickFocus);
    widget->setProperty("controlId", t.id);
    widget->setObjectName(QStringLiteral("control%1").arg(t.id));
}

} // namespace

// --- dialog units -----------------------------------------------------------------

int LabelLines(const QFont& font, int height)
{
    const int lineSpacing = QFontMetrics(font).lineSpacing();
    return std::max(1, (height + lineSpacing / 2) / lineSpacing);
}

int DluToPixelsX(int x)
{
    return crt::MulDiv(x, kDialogBaseX, 4);
}

int DluToPixelsY(int y)
{
    return crt::MulDiv(y, kDialogBaseY, 8);
}

QRect MapDialogRect(const QRect& dlu)
{
    return {DluToPixelsX(dlu.x()), DluToPixelsY(dlu.y()), DluToPixelsX(dlu.width()),
            DluToPixelsY(dlu.height())};
}

// --- DialogControls ---------------------------------------------------------------

DialogControls::DialogControls(QWidget* dialog, const DialogTemplate& dialogTemplate)
    : dialog_(dialog), controls_(dialogTemplate.controls)
{
    dialog_->setWindowTitle(dialogTemplate.caption);
    dialog_->setFont(WindowsFont(dialogTemplate.fontFace, dialogTemplate.fontPointSize));
    dialog_->setFixedSize(DluToPixelsX(dialogTemplate.size.width()),
                          DluToPixelsY(dialogTemplate.size.height()));
    QButtonGroup* group = nullptr;
    for (const ControlTemplate& t : controls_) {
        if (t.style & WS_GROUP)
            group = nullptr; // a new run begins
        QWidget* widget = CreateWidget(dialog_, t);
        Place(widget, t);
        if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
            if (!group) {
                group = new QButtonGroup(dialog_);
                group->setExclusive(true);
            }
            group->addButton(radio);
        }
        if (!items_.contains(t.id))
            items_[t.id] = widget;
    }
}

QWidget* DialogControls::Item(int id) const
{
    const auto it = items_.find(id);
    return it == items_.end() ? nullptr : it->second;
}

const ControlTemplate* DialogControls::Template(int id) const
{
    const auto it =
        std::find_if(controls_.begin(), controls_.end(), [id](const auto& t) { return t.id == id; });
    return it == controls_.end() ? nullptr : &*it;
}

void DialogControls::Replace(int id, QWidget* widget)
{
    QWidget* const old = Item(id);
    const ControlTemplate* const t = Template(id);
    if (!old || !t || !widget)
        return;
    widget->setParent(dialog_);
    Place(widget, *t);
    QWidget::setTabOrder(old, widget); // keep its place in the tab order
    items_[id] = widget;
    widget->show();
    delete old;
}

std::vector<int> DialogControls::RadioGroup(int firstId) const
{
    std::vector<int> ids;
    const auto first = std::find_if(controls_.begin(), controls_.end(),
                                    [firstId](const auto& t) { return t.id == firstId; });
    for (auto it = first; it != controls_.end(); ++it) {
        if (it != first && (it->style & WS_GROUP))
            break;
        if (it->kind == ControlKind::RadioButton)
            ids.push_back(it->id);
    }
    return ids;
}

// --- data exchange ----------------------------------------------------------------

void DataExchange::Fail(int id)
{
    if (failedId_ != 0)
        return;
    failedId_ = id;
    if (QWidget* const item = controls.Item(id))
        item->setFocus();
}

void DDX_Check(DataExchange& dx, int id, int& value)
{
    auto* box = dx.controls.ItemAs<QCheckBox>(id);
    if (!box)
        return;
    if (dx.m_bSaveAndValidate) {
        value = box->checkState() == Qt::Checked ? 1 : box->checkState() == Qt::PartiallyChecked ? 2 : 0;
        return;
    }
    if (value == 2)
        box->setTristate(true);
    box->setCheckState(value == 2 ? Qt::PartiallyChecked : value != 0 ? Qt::Checked : Qt::Unchecked);
}

void DDX_Check(DataExchange& dx, int id, bool& value)
{
    int state = value ? 1 : 0;
    DDX_Check(dx, id, state);
    value = state == 1;
}

void DDX_Radio(DataExchange& dx, int firstId, int& value)
{
    const std::vector<int> ids = dx.controls.RadioGroup(firstId);
    if (dx.m_bSaveAndValidate) {
        value = -1;
        for (std::size_t i = 0; i < ids.size(); ++i) {
            const auto* radio = dx.controls.ItemAs<QRadioButton>(ids[i]);
            if (radio && radio->isChecked()) {
                value = static_cast<int>(i);
                break;
            }
        }
        return;
    }
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (auto* radio = dx.controls.ItemAs<QRadioButton>(ids[i])) {
            // An exclusive group cannot uncheck its checked button directly.
            auto* group = radio->group();
            const bool exclusive = group && group->exclusive();
            if (group)
                group->setExclusive(false);
            radio->setChecked(static_cast<int>(i) == value);
            if (group)
                group->setExclusive(exclusive);
        }
    }
}

void DDX_Text(DataExchange& dx, int id, QString& value)
{
    QWidget* const item = dx.controls.Item(id);
    const bool save = dx.m_bSaveAndValidate;
    if (auto* edit = qobject_cast<QLineEdit*>(item)) {
        save ? void(value = edit->text()) : edit->setText(value);
    } else if (auto* text = qobject_cast<QPlainTextEdit*>(item)) {
        save ? void(value = text->toPlainText()) : text->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(item)) {
        save ? void(value = combo->currentText()) : combo->setCurrentText(value);
    } else if (auto* label = qobject_cast<QLabel*>(item)) {
        save ? void(value = label->text()) : label->setText(value);
    } else if (auto* button = qobject_cast<QAbstractButton*>(item)) {
        save ? void(value = button->text()) : button->setText(value);
    } else if (auto* group = qobject_cast<QGroupBox*>(item)) {
        save ? void(value = group->title()) : group->setTitle(value);
    }
}

void DDX_Text(DataExchange& dx, int id, int& value)
{
    QString text = QString::number(value);
    DDX_Text(dx, id, text);
    if (!dx.m_bSaveAndValidate)
        return;
    bool ok = false;
    const int parsed = text.trimmed().toInt(&ok);
    if (ok)
        value = parsed;
    else
        dx.Fail(id);
}

void DDX_Slider(DataExchange& dx, int id, int& value)
{
    if (auto* slider = dx.controls.ItemAs<QSlider>(id))
        dx.m_bSaveAndValidate ? void(value = slider->value()) : slider->setValue(value);
}

void DDX_CBIndex(DataExchange& dx, int id, int& value)
{
    QWidget* const item = dx.controls.Item(id);
    if (auto* combo = qobject_cast<QComboBox*>(item))
        dx.m_bSaveAndValidate ? void(value = combo->currentIndex()) : combo->setCurrentIndex(value);
    else if (auto* list = qobject_cast<QListWidget*>(item))
        dx.m_bSaveAndValidate ? void(value = list->currentRow()) : list->setCurrentRow(value);
}

// --- system colours and metrics ---------------------------------------------------

COLORREF GetSysColor(int index)
{
    // Windows 10 defaults, as 0x00BBGGRR.
    static constexpr COLORREF kColors[] = {
        0xC8C8C8, // 0 scroll bar
        0x000000, // 1 desktop
        0xD1B499, // 2 active caption
        0xDBCDBF, // 3 inactive caption
        0xF0F0F0, // 4 menu
        0xFFFFFF, // 5 window
        0x646464, // 6 window frame
        0x000000, // 7 menu text
        0x000000, // 8 window text
        0x000000, // 9 caption text
        0xB4B4B4, // 10 active border
        0xFCF7F4, // 11 inactive border
        0xABABAB, // 12 application workspace
        0xD77800, // 13 highlight
        0xFFFFFF, // 14 highlighted text
        0xF0F0F0, // 15 button face
        0xA0A0A0, // 16 button shadow
        0x6D6D6D, // 17 grey text
        0x000000, // 18 button text
        0x000000, // 19 inactive caption text
        0xFFFFFF, // 20 button highlight
        0x696969, // 21 3D dark shadow
        0xE3E3E3, // 22 3D light
        0x000000, // 23 tooltip text
        0xE1FFFF, // 24 tooltip background
        0x000000, // 25 (unused)
        0xCC6600, // 26 hot-tracked item
        0xEAD1B9, // 27 active caption gradient
        0xF2E4D7, // 28 inactive caption gradient
        0xD77800, // 29 menu highlight
        0xF0F0F0, // 30 menu bar
    };
    if (index < 0 || index >= static_cast<int>(std::size(kColors)))
        return 0;
    return kColors[index];
}

QColor SysQColor(int index)
{
    const COLORREF c = GetSysColor(index);
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

int GetSystemMetrics(int index)
{
    switch (index) {
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (!screen)
            return 0;
        const QSize size = screen->geometry().size();
        return index == SM_CXSCREEN ? size.width() : size.height();
    }
    case SM_CXVSCROLL:
    case SM_CYHSCROLL:
        return 17;
    case SM_CYCAPTION:
        return 23;
    case SM_CXBORDER:
    case SM_CYBORDER:
        return 1;
    case SM_CXFIXEDFRAME:
    case SM_CYFIXEDFRAME:
        return 3;
    case SM_CXICON:
    case SM_CYICON:
    case SM_CXCURSOR:
    case SM_CYCURSOR:
        return 32;
    case SM_CYMENU:
        return 20;
    case SM_CXFRAME:
    case SM_CYFRAME:
        return 4;
    case SM_CXEDGE:
    case SM_CYEDGE:
        return 2;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    default:
        return 0;
    }
}

// --- fonts ------------------------------------------------------------------------

QString MapFontFamily(const QString& windowsFace)
{
    struct Entry
    {
        const char16_t* windowsFace;
        const char* family;
    };
    static const Entry table[] = {
        {u"Meiryo UI", "Noto Sans CJK JP"},
        {u"Meiryo", "Noto Sans CJK JP"},
        {u"\u30E1\u30A4\u30EA\u30AA", "Noto Sans CJK JP"}, // メイリオ
        {u"MS Shell Dlg", "Noto Sans CJK JP"},
        {u"MS Shell Dlg 2", "Noto Sans CJK JP"},
        {u"MS UI Gothic", "Noto Sans CJK JP"},
        {u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", "Noto Sans CJK JP"}, // ＭＳ Ｐゴシック
        {u"MS PGothic", "Noto Sans CJK JP"},
        {u"Times New Roman", "Liberation Serif"},
        {u"Arial", "Liberation Sans"},
        {u"Courier", "Liberation Mono"},
        {u"Courier New", "Liberation Mono"},
        {u"Consolas", "Liberation Mono"},
        {u"Verdana", "DejaVu Sans"},
        {u"Tahoma", "DejaVu Sans"},
    };
    const QString face = windowsFace.trimmed();
    for (const auto& entry : table) {
        if (face.compare(QStringView(entry.windowsFace), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.family);
    }
    return face;
}

QFont WindowsFont(const QString& face, int pointSize, int weight, bool italic)
{
    return WindowsFontFromHeight(face, -crt::MulDiv(pointSize, 96, 72), weight, italic);
}

QFont WindowsFontFromHeight(const QString& face, int height, int weight, bool italic)
{
    QFont font(MapFontFamily(face));
    // A positive height is the cell height: the character height is about 7/8 of it.
    const int pixels = height < 0 ? -height : height > 0 ? std::max(1, crt::MulDiv(height, 7, 8)) : 11;
    font.setPixelSize(std::max(1, pixels));
    font.setWeight(static_cast<QFont::Weight>(std::clamp(weight, 100, 900)));
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferDefault);
    return font;
}

} // namespace platform
