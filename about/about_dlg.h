#pragma once
// CAboutDlg: the modal about dialog (template 200): a tab control with ten
// pages, each holding one showcase control, and an OK button. The version page
// of the settings dialog runs it on its stack (DoModal) and destroys it when it
// returns. Closing it (OK, Escape, the close box) destroys the pages and with
// them every control and its timers; nothing animates after that.
//
// Page 0 shows the product name and a dedication on two LED displays, page 1
// the staff credits over drifting clouds, page 2 a text crawl over stars,
// page 3 staff lines revealed over falling letters, pages 4 and 5 rippling
// pictures, page 6 a teapot mirroring a room, page 7 a refracting model in a
// room, pages 8 and 9 shader demos.
#include "about/clouds_ctrl.h"
#include "about/jmatrix_ctrl.h"
#include "about/opengl_ctrl.h"
#include "about/shader_orb_ctrl.h"
#include "about/shader_protoplasm.h"
#include "about/shader_root_sanctum.h"
#include "about/special_fx_ctrl.h"
#include "about/spectral_ctrl.h"
#include "about/star_wars_ctrl.h"
#include "about/tab_ctrl_ssl.h"
#include "controls/matrix_static.h"
#include "platform/dialog.h"

#include <QByteArray>
#include <QDialog>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <array>


namespace about {

// The ten tab captions, in tab order.
const std::array<QString, 10>& TabCaptions();
// The second LED display's text: 11 rows of 27 characters.
QString DedicationText();
// The credits of the cloud sky (lines separated by line feeds; a leading tab
// marks the title, a leading carriage return a heading).
QString StaffText();
// The lines of the text crawl and of the matrix reveal.
QStringList CrawlLines();
QStringList RevealLines();
// The picture file of page 5, beside the executable.
extern const QString kSecondPictureName; // "\assets\..._2.png"
// The refraction scene's models: the default, and the one chosen with Control held.
extern const QByteArray kDefaultModel;
extern const QByteArray kControlModel;

} // namespace about

class CAboutDlg : public QDialog
{
public:
    static constexpr int IDD = 200;

    explicit CAboutDlg(QWidget* parent = nullptr);
    ~CAboutDlg() override;

    // Builds the pages (once) and runs the dialog modally to owner (when
    // given); its result.
    int DoModal(QWidget* owner = nullptr);
    // Builds the pages and attaches their controls; true.
    bool OnInitDialog();

    CTabCtrlSSL* TabCtrl() const { return m_tabCtrl; }
    CMatrixStatic* NameDisplay() const { return m_matrix1; }
    CMatrixStatic* DedicationDisplay() const { return m_matrix2; }
    CCloudsCtrl* Clouds() const { return m_clouds; }
    CStarWarsCtrl* Crawl() const { return m_starWars; }
    JMatrixCtrl* Reveal() const { return m_matrixCtrl; }
    CSpecialFXCtrl* FirstPicture() const { return m_specialFx1; }
    CSpecialFXCtrl* SecondPicture() const { return m_specialFx2; }
    COpenGLCtrl* Teapot() const { return m_openGL; }
    CSpectralCtrl* Spectral() const { return m_spectral; }
    CShaderOrbCtrl* ShaderOrb() const { return m_shaderOrb; }
    CShaderProtoplasm* Protoplasm() const { return m_protoplasm; }
    CShaderRootSanctum* RootSanctum() const { return m_rootSanctum; }
    const QByteArray& SpectralModel() const { return m_spectralModel; }
    QWidget* GetDlgItem(int id) const { return m_controls.Item(id); }

protected:
    void done(int result) override;

private:
    // Adds the page of tab index from a template; null when it could not be made.
    CTabPageSSL* AddPage(int index, int templateId);
    // Adds page index (template 212) with control in place of its static; false
    // when the page could not be made (the control then stays unattached).
    bool AttachToPage(int index, QWidget* control);

    platform::DialogControls m_controls;
    // The controls, made in this order with the dialog; each page owns its own
    // once attached, and they go with it.
    QPointer<CMatrixStatic> m_matrix1;
    QPointer<CMatrixStatic> m_matrix2;
    QPointer<CCloudsCtrl> m_clouds;
    QPointer<CStarWarsCtrl> m_starWars;
    QPointer<JMatrixCtrl> m_matrixCtrl;
    QPointer<CSpecialFXCtrl> m_specialFx1;
    QPointer<CSpecialFXCtrl> m_specialFx2;
    QPointer<COpenGLCtrl> m_openGL;
    QPointer<CSpectralCtrl> m_spectral;
    QByteArray m_spectralModel; // the refraction scene's model file name
    QPointer<CShaderOrbCtrl> m_shaderOrb;
    QPointer<CShaderProtoplasm> m_protoplasm;
    QPointer<CShaderRootSanctum> m_rootSanctum; // made and destroyed with the dialog, never shown
    QImage m_picture1;
    QImage m_picture2;
    QImage m_picture3;
    QPointer<CTabCtrlSSL> m_tabCtrl;
    bool m_bInitialised = false;
};
