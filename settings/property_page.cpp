#include "settings/property_page.h"

CPropertyPage::CPropertyPage(const platform::DialogTemplate& dialogTemplate, QWidget* parent)
    : QWidget(parent), m_controls(this, dialogTemplate)
{
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
