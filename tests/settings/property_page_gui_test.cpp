// The texts of the settings pages in the fonts found here, which run wider and
// taller than the Windows fonts the templates were laid out for: every label,
// check box and radio button of every page shows its text whole.
#include "settings/settings_dialog.h"
#include "settings/settings_pages.h"
#include "tests/settings/settings_fixture.h"
#include "tests/support/screens.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>
#include <memory>

namespace {

using namespace lmd::test;

class PageTextsTest : public SettingsPageTest
{
};

// The room a control's text needs: a label's lines wrapped at its width, or
// its one line; a button's line beside its box (which is no taller).
QSize Needed(const QWidget& control)
{
    const auto* label = qobject_cast<const QLabel*>(&control);
    if (!label)
        return {control.sizeHint().width(), control.fontMetrics().height()};
    if (label->wordWrap())
        return {control.width(), label->heightForWidth(control.width())};
    return label->sizeHint();
}

TEST_F(PageTextsTest, EveryTextOfEveryPageShowsWhole)
{
    CSettingsDialog launcher;
    AddSettingsPages(launcher);
    for (int index = 0; index < launcher.PageCount(); ++index) {
        const CSettingsDialog::_PageInfo& info = launcher.PageInfo(index);
        const std::unique_ptr<CPropertyPage> page = info.factory(nullptr);
        page->OnInitDialog();
        for (QWidget* control : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            const auto* label = qobject_cast<QLabel*>(control);
            const bool text = (label && !label->text().isEmpty()) || qobject_cast<QCheckBox*>(control) ||
                              qobject_cast<QRadioButton*>(control);
            if (!text)
                continue;
            SCOPED_TRACE(testing::Message() << "page " << info.nTemplateID << " control "
                                            << control->property("controlId").toInt() << " \""
                                            << control->property("text").toString().toStdString() << "\"");
            const QSize needed = Needed(*control);
            EXPECT_LE(needed.width(), control->width());
            EXPECT_LE(needed.height(), control->height());
        }
        SaveScreen(page->grab().toImage(), QStringLiteral("page%1_texts").arg(info.nTemplateID));
    }
}

} // namespace
