#include "settings/prop_page7.h"

#include "controls/color_button.h"
#include "controls/colour_popup.h"
#include "controls/shade_button_vq.h"
#include "platform/messages.h"
#include "settings/choosers.h"
#include "settings/page_settings.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

using namespace platform;

const QString CPropPage7::kFolderTitle = QStringLiteral("イメージフォルダーを選択");

namespace {

// An up-down control: two arrow buttons that repeat while held.
class UpDown : public QWidget
{
public:
    UpDown()
    {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        for (const Qt::ArrowType arrow : {Qt::UpArrow, Qt::DownArrow}) {
            auto* button = new QToolButton;
            button->setArrowType(arrow);
            button->setAutoRepeat(true);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
            button->setFocusPolicy(Qt::NoFocus);
            layout->addWidget(button);
            buttons[arrow == Qt::UpArrow ? 0 : 1] = button;
        }
    }

    QToolButton* buttons[2] = {};
};

} // namespace

std::optional<int> ParseInterval(const QString& text)
{
    bool ok = false;
    const int seconds = text.trimmed().toInt(&ok);
    if (!ok || seconds < CPropPage7::kMinInterval || seconds > CPropPage7::kMaxInterval)
        return std::nullopt;
    return seconds;
}

const DialogTemplate& CPropPage7::Template()
{
    static const DialogTemplate page{
        QString(),
        {260, 160},
        {
            {-1, ControlKind::GroupBox, {20, 9, 222, 66}, 0, QStringLiteral("カラーフィルタ")},
            {-1, ControlKind::Static, {37, 29, 31, 8}, 0, QStringLiteral("フィルタ色")},
            {-1, ControlKind::Static, {37, 51, 25, 8}, 0, QStringLiteral("透明度")},
            {IDC_FILTER_COLOR, ControlKind::PushButton, {81, 27, 50, 14}, WS_TABSTOP, QStringLiteral("...")},
            {IDC_STRENGTH, ControlKind::Slider, {77, 50, 115, 20}, WS_TABSTOP, {}},
            {IDC_STRENGTH_VALUE, ControlKind::Edit, {202, 50, 23, 14}, ES_READONLY, {}},
            {-1, ControlKind::GroupBox, {20, 81, 222, 72}, 0, QStringLiteral("イメージ再生")},
            {-1, ControlKind::Static, {30, 95, 50, 10}, 0, QStringLiteral("イメージフォルダ")},
            {IDC_IMAGE_FOLDER, ControlKind::Edit, {83, 93, 125, 14}, WS_DISABLED, {}},
            {IDC_FOLDER, ControlKind::PushButton, {209, 93, 18, 14}, WS_TABSTOP, {}},
            {-1, ControlKind::Static, {30, 130, 67, 8}, 0, QStringLiteral("再生時間間隔 [sec]")},
            {IDC_INTERVAL, ControlKind::Edit, {105, 127, 30, 14}, WS_TABSTOP, {}},
            {IDC_INTERVAL_SPIN, ControlKind::Custom, {135, 127, 11, 14}, 0, {}},
            {IDC_SEARCH_SUB, ControlKind::CheckBox, {137, 110, 74, 10}, WS_TABSTOP,
             QStringLiteral("サブフォルダも検索")},
        },
    };
    return page;
}

CPropPage7::CPropPage7(QWidget* parent)
    : CPropertyPage(Template(), parent), m_strFolder(LiveSettings().ImageFolderPath),
      m_bSearchSub(LiveSettings().SearchSub)
{
    m_colorButton = new CColorButton;
    Replace(IDC_FILTER_COLOR, m_colorButton);
    m_slider = Item<QSlider>(IDC_STRENGTH);
    m_editInterval = Item<QLineEdit>(IDC_INTERVAL);
}

void CPropPage7::DoDataExchange(DataExchange& dx)
{
    DDX_Text(dx, IDC_IMAGE_FOLDER, m_strFolder);
    DDX_Check(dx, IDC_SEARCH_SUB, m_bSearchSub);
}

bool CPropPage7::OnInitDialog()
{
    CPropertyPage::OnInitDialog();
    const AppSettings& settings = LiveSettings();

    InitColourButton(*m_colorButton, &AppSettings::FilterColor);
    m_colorButton->SetTrackSelection(true);
    connect(m_colorButton, &CColorButton::Notify, this,
            [this](unsigned message, COLORREF colour, int) { OnColorMessage(message, colour); });

    m_slider->setRange(0, 255);
    m_slider->setTickInterval(26);
    m_slider->setTickPosition(QSlider::TicksBelow);
    m_slider->setValue(settings.FilterAlpha);
    Item<QLineEdit>(IDC_STRENGTH_VALUE)->setText(QString::number(settings.FilterAlpha));
    connect(m_slider, &QSlider::valueChanged, this, [this](int value) { OnStrength(value); });

    // The interval is posted as soon as the up-down control fills its buddy in.
    connect(m_editInterval, &QLineEdit::textChanged, this, [this] { OnIntervalChanged(); });
    m_editInterval->setText(QString::number(settings.PlayInterval));
    m_editInterval->installEventFilter(this);
    auto* spin = new UpDown;
    Replace(IDC_INTERVAL_SPIN, spin);
    for (const int direction : {1, -1}) {
        QToolButton* arrow = spin->buttons[direction > 0 ? 0 : 1];
        connect(arrow, &QToolButton::pressed, this, [this] { m_held.start(); });
        connect(arrow, &QToolButton::clicked, this, [this, direction] { StepInterval(direction); });
    }

    auto* folder = new CShadeButtonVq;
    Replace(IDC_FOLDER, folder);
    ShadePictureButton(*folder, "IDB_FOLDER");
    connect(folder, &QPushButton::clicked, this, [this] { OnFolder(); });
    connect(Item<QCheckBox>(IDC_SEARCH_SUB), &QCheckBox::clicked, this, [this] { OnSearchSubClicked(); });
    return true;
}

bool CPropPage7::eventFilter(QObject* watched, QEvent* event)
{
    // The arrow keys in the interval box step it, as the up-down control's arrows do.
    if (watched == m_editInterval && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            m_held.invalidate();
            StepInterval(key == Qt::Key_Up ? 1 : -1);
            return true;
        }
    }
    return CPropertyPage::eventFilter(watched, event);
}

void CPropPage7::StepInterval(int direction)
{
    const qint64 held = m_held.isValid() ? m_held.elapsed() : 0;
    const int step = held >= 10000 ? 100 : held >= 5000 ? 10 : 1;
    const int current = ParseInterval(m_editInterval->text()).value_or(LiveSettings().PlayInterval);
    m_editInterval->setText(QString::number(std::clamp(current + direction * step, kMinInterval, kMaxInterval)));
}

void CPropPage7::OnColorMessage(unsigned message, COLORREF colour)
{
    if (!StoreChosenColour(message, colour, &AppSettings::FilterColor))
        return;
    const AppSettings& settings = LiveSettings();
    PostAppMessage(WM_SET_FILTER, settings.FilterColor, settings.FilterAlpha);
}

void CPropPage7::OnStrength(int value)
{
    AppSettings& settings = LiveSettings();
    settings.FilterAlpha = value;
    Item<QLineEdit>(IDC_STRENGTH_VALUE)->setText(QString::number(value));
    PostAppMessage(WM_SET_FILTER, settings.FilterColor, settings.FilterAlpha);
}

void CPropPage7::OnFolder()
{
    AppSettings& settings = LiveSettings();
    const std::optional<QString> folder = PageChoosers().ChooseFolder(this, kFolderTitle, settings.ImageFolderPath);
    if (!folder)
        return;
    settings.ImageFolderPath = *folder;
    settings.StoredImageFolderPath.clear(); // a chosen folder is saved as chosen
    m_strFolder = *folder;
    UpdateData(false);
    PostAppMessage(WM_SET_IMAGE_SOURCE, 0, 0, std::make_unique<std::string>(folder->toStdString()));
}

void CPropPage7::OnIntervalChanged()
{
    // Only a whole number of seconds in range reaches the slideshow: an empty
    // box, 0 or text in the middle of typing leaves the interval as it was.
    const std::optional<int> seconds = ParseInterval(m_editInterval->text());
    if (!seconds)
        return;
    LiveSettings().PlayInterval = *seconds;
    PostAppMessage(WM_SET_IMAGE_SOURCE, 0, *seconds);
}

void CPropPage7::OnSearchSubClicked()
{
    UpdateData(true);
    LiveSettings().SearchSub = m_bSearchSub != 0;
}
