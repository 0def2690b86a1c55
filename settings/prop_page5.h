#pragma once
// CPropPage5: the settings page "バージョン" (template 206). It shows the
// product's version and credits beside the rippling picture "AUTHOR", a link to
// the maker's web site, and buttons that open the read-me file, the about
// dialog, the DEMO dialog (through the clock window, WM_OPEN_DEMO) and the SNTP
// time query. It edits no settings.
//
#include "settings/property_page.h"

#include <QString>
#include <functional>

class CShadeButtonVq;
class CStaticEx;
class QLabel;

// The about dialog belongs to a library above this one: the program hands in
// the function that runs it modally to its owner before the page can be shown.
void SetAboutDialogRunner(std::function<void(QWidget& owner)> run);
void RunAboutDialog(QWidget& owner);

// The texts of the page, shown as they are.
QString VersionPageText(const QString& version);
extern const QString kMakerWebAddress; // without its scheme
extern const QString kReadMeFileName;

class CPropPage5 : public CPropertyPage
{
public:
    static constexpr int IDD = 206;
    static constexpr int IDC_PICTURE = 1132;
    static constexpr int IDC_VERSION_TEXT = 1019;
    static constexpr int IDC_README = 1017;
    static constexpr int IDC_ABOUT = 1018;
    static constexpr int IDC_LINK = 1020;
    static constexpr int IDC_DEMO = 1126;
    static constexpr int IDC_SNTP = 1133;

    explicit CPropPage5(QWidget* parent = nullptr);

    // The page as data (template 206).
    static const platform::DialogTemplate& Template();

    // Subclasses the picture (its ripples start) and the buttons, fills in the
    // version text and the link. Once, before the page is first shown.
    bool OnInitDialog() override;

    CStaticEx* Picture() const { return m_picture; }
    QLabel* Link() const;
    const QString& VersionText() const { return m_strVersionText; }

protected:
    void DoDataExchange(platform::DataExchange& dx) override;

private:
    CShadeButtonVq* SubclassButton(int id, int shadeKind);
    void OnReadMe();
    void OnAbout();
    void OnDemo();
    void OnSntp();
    void OnLink(const QString& address);

    CStaticEx* m_picture = nullptr;
    QString m_strVersionText;
};
