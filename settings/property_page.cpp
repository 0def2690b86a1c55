#include "settings/property_page.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <algorithm>

namespace {

// The templates were laid out for narrower Windows fonts: a label, check box
// or radio button whose text does not fit its box grows to the right (up to
// the page's edge) instead of cutting the text. A label whose box holds two
// lines or more keeps its width and its lines (its font and height already
// fit them).
void WidenTexts(QWidget& page)
{
    for (QWidget* control : page.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        auto* label = qobject_cast<QLabel*>(control);
        const bool text = (label && !label->text().isEmpty()) || qobject_cast<QCheckBox*>(control) ||
                          qobject_cast<QRadioButton*>(control);
        if (!text)
            continue;
        if (label) {
            if (label->wordWrap() && platform::LabelLines(label->font(), label->height()) > 1)
                continue;
            label->setWordWrap(false);
        }
        const int room = std::max(control->width(), page.width() - control->x());
        control->resize(std::clamp(control->sizeHint().width(), control->width(), room), control->height());
    }
}

} // namespace

CPropertyPage::CPropertyPage(const platform::DialogTemplate& dialogTemplate, QWidget* parent)
    : QWidget(parent), m_controls(this, dialogTemplate)
{
    WidenTexts(*this);
    // The page takes the size of the dialog's page area, not its template's.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
}

bool CPropertyPage::OnInitDialog()
{
    UpdateData(false);
    return true;
}

bool CPropertyPage::UpdateData(bool saveAndValidate)
{
    platform::DataExchange dx(m_controls, saveAndValidate);
    DoDataExchange(dx);
    return !dx.Failed();
}

void CPropertyPage::DoDataExchange(platform::DataExchange&)
{
}

void CPropertyPage::EnableItems(std::initializer_list<int> ids, bool enable) const
{
    for (const int id : ids)
        if (QWidget* item = GetDlgItem(id))
            item->setEnabled(enable);
}
