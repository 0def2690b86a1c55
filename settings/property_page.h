#pragma once
// CPropertyPage: a page of the settings dialog. The page is a child widget laid
// out from its dialog template (platform/dialog.h); the settings dialog creates
// it the first time its tree item is selected, places it in the page area and
// calls OnInitDialog once. Its controls and its members meet through
// DoDataExchange, run by UpdateData.
//
// A page that writes a setting does so at once and tells the clock window with
// a main-window message (platform/messages.h); whether the change stays is
// decided when the dialog ends (OK saves, anything else reverts).
#include "platform/dialog.h"

#include <QWidget>

class CPropertyPage : public QWidget
{
public:
    CPropertyPage(const platform::DialogTemplate& dialogTemplate, QWidget* parent);

    // Base processing: the data exchange into the controls. Pages extend it.
    virtual bool OnInitDialog();

    // One data exchange: from the controls into the members (true) or back.
    // False when a control held a value that could not be read.
    bool UpdateData(bool saveAndValidate = true);

    QWidget* GetDlgItem(int id) const { return m_controls.Item(id); }
    template <typename T> T* Item(int id) const { return m_controls.ItemAs<T>(id); }
    const platform::DialogControls& Controls() const { return m_controls; }

protected:
    virtual void DoDataExchange(platform::DataExchange& dx);
    // Puts widget in the place of control id (the page owns it).
    void Replace(int id, QWidget* widget) { m_controls.Replace(id, widget); }
    // Enables or disables the controls with these ids.
    void EnableItems(std::initializer_list<int> ids, bool enable) const;

private:
    platform::DialogControls m_controls;
};
