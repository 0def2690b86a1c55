#include "demos/demo_list.h"

#include "demos/apps/barnsley_fern.h"
#include "demos/apps/bouncy_circles.h"
#include "demos/apps/cloth.h"
#include "demos/apps/flowers_mandalas.h"
#include "demos/apps/gravity_attraction.h"
#include "demos/apps/lsystem_tree.h"

namespace {

DemoEntry Placeholder(const char* name)
{
    return {QString::fromUtf8(name), [name] { return std::make_unique<DemoPlaceholder>(name); }};
}

} // namespace

std::vector<DemoEntry> MakeDemoList()
{
    return {
        Placeholder("算術フクロウ"),
        Placeholder("古代機械"),
        {QString::fromUtf8("\tL-system Tree"), [] { return std::make_unique<gaLsystemTree>(); }},
        Placeholder("\tFireworks"),
        {QString::fromUtf8("フラワー曼荼羅"), [] { return std::make_unique<gaFlowersMandalas>(); }},
        Placeholder("ブッダブロ"),
        Placeholder("ネビュラブロ"),
        Placeholder("グモウスキー･ミラ･アトラクター"),
        Placeholder("ドラゴン曲線"),
        {QString::fromUtf8("バーンズリーのシダ"), [] { return std::make_unique<gaBarnsleyFern2>(); }},
        {QString::fromUtf8("\tCloth"), [] { return std::make_unique<gaCloth>(); }},
        {QString::fromUtf8("バウンドサークル"), [] { return std::make_unique<gaBouncyCircles>(); }},
        {QString::fromUtf8("万有引力"), [] { return std::make_unique<gaGravityAttraction>(); }},
        Placeholder("降り積もる雪"),
        Placeholder("\tGravity Garden"),
        Placeholder("流体（Navier-Stokes）"),
        Placeholder("オートクラスタ"),
    };
}

void DemoPlaceholder::draw()
{
    gaBaseApp::draw();
    gaColor colour;
    colour.setHsb(static_cast<float>(core().frameNum % 255), 128, 255, 255);
    gaSetColor(colour.argb());
    gaDrawString(m_name, 20, 20);
}
