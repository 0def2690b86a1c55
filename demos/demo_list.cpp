#include "demos/demo_list.h"

#include "demos/apps/ancient_machine.h"
#include "demos/apps/arithmetic_owl.h"
#include "demos/apps/auto_cluster.h"
#include "demos/apps/barnsley_fern.h"
#include "demos/apps/bouncy_circles.h"
#include "demos/apps/buddhabrot.h"
#include "demos/apps/cloth.h"
#include "demos/apps/dragon_curve.h"
#include "demos/apps/flowers_mandalas.h"
#include "demos/apps/fluid.h"
#include "demos/apps/gmoski_mira.h"
#include "demos/apps/gravity_attraction.h"
#include "demos/apps/instru.h"
#include "demos/apps/lsystem_tree.h"
#include "demos/apps/nebulabrot.h"
#include "demos/apps/snow.h"
#include "demos/fireworks/fireworks.h"

namespace {

template <class App> DemoEntry Demo(const char* name)
{
    return {QString::fromUtf8(name), [] { return std::make_unique<App>(); }};
}

} // namespace

std::vector<DemoEntry> MakeDemoList()
{
    return {
        Demo<gaArithmeticOwl>("算術フクロウ"),
        Demo<gaAncientMachine>("古代機械"),
        Demo<gaLsystemTree>("\tL-system Tree"),
        Demo<fireworks>("\tFireworks"),
        Demo<gaFlowersMandalas>("フラワー曼荼羅"),
        Demo<gaBuddhabrot>("ブッダブロ"),
        Demo<gaNebulabrot>("ネビュラブロ"),
        Demo<gaGmoskiMira>("グモウスキー･ミラ･アトラクター"),
        Demo<gaDragonCurve>("ドラゴン曲線"),
        Demo<gaBarnsleyFern2>("バーンズリーのシダ"),
        Demo<gaCloth>("\tCloth"),
        Demo<gaBouncyCircles>("バウンドサークル"),
        Demo<gaGravityAttraction>("万有引力"),
        Demo<gaAppSnow>("降り積もる雪"),
        Demo<gaAppInstru>("\tGravity Garden"),
        Demo<gaAppFluid>("流体（Navier-Stokes）"),
        Demo<gaAutoCluster>("オートクラスタ"),
    };
}
