// OpenGL scene benchmarks: one drawn effect-layer frame of each scene (draw,
// read-back and the overlay over the source) after its source changed, at zoom
// 100 and 300 (see effect_bench.h). The metal lens draws on even frames only,
// so its iterations run an odd and an even frame: the cost of one drawn lens.
#include "bench/support/effect_bench.h"
#include "effects/effect_codes.h"
#include "effects/effect_layer.h"
#include "effects/geometry/obj_loader.h"
#include "platform/gl.h"
#include "platform/paths.h"
#include "platform/surface.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace gl_scene_bench {

// A GUI application and freeglut, as the clock has them (the angel's sphere is freeglut's).

inline void BM_GlScene(benchmark::State& state, int code)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface source = lmd::bench::GradientPicture(side, 0x90u);
    ObjMesh lens;
    if (code == EFFECT_METAL_LENS &&
        !LoadObjModel(platform::paths::InExeDir("assets/lens.obj").toStdString(), lens)) {
        state.SkipWithError("assets/lens.obj is missing");
        return;
    }
    CEffectLayer layer(side, side);
    layer.Create(&source);
    layer.SetLensMesh(&lens);
    layer.SetEffect(code);
    lmd::bench::TimeDrawnFrames(state, layer, source);
}

inline const bool registered = [] {
    for (const int code : EffectCodes([](const EffectInfo& info) {
             return info.family == EffectFamily::OpenGLScene || info.family == EffectFamily::MetalLens;
         })) {
        const std::string name = "BM_GlScene/" + std::string(FindEffect(code)->name);
        benchmark::RegisterBenchmark(name.c_str(), BM_GlScene, code)
            ->Arg(100)
            ->Arg(300)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace gl_scene_bench
