#pragma once
// CGaxDlg: the DEMO dialog. A modeless dialog that runs one demo at a time on
// its canvas: it lists the seventeen demos in a drop-down list, creates the
// chosen one through its factory, runs it every 32 ms (update, background,
// draw into the canvas's back buffer) and hands the canvas's mouse input and
// every key pressed in the dialog to it.
//
// OK, Enter and the caption's close button close it: the frame timer stops,
// the demo is deleted and WM_DEMO_CLOSED is posted to the main window, which
// then deletes the dialog. Escape only hides it; the demo goes on running and
// showing the dialog again brings it back. Deleting the dialog deletes a demo
// that still runs.
#include "demos/demo_list.h"
#include "platform/dialog.h"
#include "platform/timers.h"

#include <QDialog>
#include <memory>
#include <vector>

class CGaxStatic;
class QComboBox;

class CGaxDlg : public QDialog
{
public:
    static constexpr int IDD = 216;
    static constexpr int IDC_DEMO_CANVAS = 1124;
    static constexpr int IDC_DEMO_LIST = 1125;
    static constexpr int kFrameTimer = 1;
    static constexpr int kFrameMs = 32;
    static constexpr int kCanvasControlSize = 484; // the client area inside the edge is 480

    // The dialog's controls, from template 216; no demo runs yet.
    explicit CGaxDlg(QWidget* parent = nullptr);
    ~CGaxDlg() override;

    // Template 216: the caption, the OK button, the canvas and the list.
    static const platform::DialogTemplate& Template();

    // Fills the list with the demos (the seventeen unless others are given),
    // sizes the canvas and its back buffer, starts demo 0 and the frame timer.
    void Create(std::vector<DemoEntry> demos = MakeDemoList());

    // Closed by OK, Enter or the caption (not by Escape): no demo runs any more.
    bool IsClosed() const { return m_bClosed; }

    CGaxStatic* Canvas() const { return m_canvas; }
    QComboBox* DemoListBox() const { return m_demoList; }
    const std::vector<DemoEntry>& DemoList() const { return m_demos; }
    gaBaseApp* CurrentApp() const { return m_pApp.get(); }
    // Frames run so far, over every demo.
    int FrameCount() const { return m_nFrame; }

protected:
    void accept() override; // OnOK
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void OnInitDialog(std::vector<DemoEntry> demos);
    void OnTimer(int id);
    void OnSelchangeDemoList(int index);
    void OnClose();
    // The demo becomes the running one: set up and given the canvas's input.
    void StartApp(std::unique_ptr<gaBaseApp> app);
    // The running demo goes, with its own state current while it is deleted.
    void DeleteApp();

    platform::DialogControls m_controls;
    CGaxStatic* m_canvas = nullptr;
    QComboBox* m_demoList = nullptr;
    std::vector<DemoEntry> m_demos;
    std::unique_ptr<gaBaseApp> m_pApp;
    int m_nFrame = 0;
    bool m_bClosed = false;
    platform::TimerSet m_timers;
};
