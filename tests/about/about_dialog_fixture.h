#pragma once
// The about dialog opened on the display as a user sees it: made, set up,
// shown and active, so input through the X server reaches it.
#include "about/about_dlg.h"

#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace lmd::test {

// Replaces an earlier dialog with a new one at a fixed place on the display.
inline void OpenAboutDialog(std::unique_ptr<CAboutDlg>& dialog)
{
    dialog = std::make_unique<CAboutDlg>();
    dialog->OnInitDialog();
    dialog->move(100, 80);
    dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    dialog->activateWindow(); // on top, for input through the X server
    ASSERT_TRUE(QTest::qWaitForWindowActive(dialog.get()));
}

} // namespace lmd::test
