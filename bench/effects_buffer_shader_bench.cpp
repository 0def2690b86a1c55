// Benchmarks of the shader sets with buffer passes and cube maps: one drawn
// layer frame of each code (every buffer pass, the image pass and the
// read-back) after its source changed, at a zoom's size (see effect_bench.h),
// and the cube-map set's frame split into its fixed-size cube pass and the rest. Needs a display. The CPU column counts every thread of the
// process, the GL driver's too: with a software driver and a busy machine it
// is the steadier figure of a frame's work.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "bench/support/effect_bench.h"
#include "effects/effect_codes.h"
#include "effects/shader_cube.h"
#include "platform/surface.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <string>

namespace buffer_shader_bench {

inline void BM_BufferShader(benchmark::State& state, int code)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    lmd::bench::TimeLayerFrames(state, lmd::bench::GradientPicture(side, 0x60u), code);
}

// The cube-map set with its passes timed apart: the cube pass alone (six
// 1024 x 1024 float faces), and a whole frame.
class PhasedCube2 : public CShaderCube2
{
public:
    void CubePass()
    {
        m_context.MakeCurrent();
        glBindFramebuffer(GL_FRAMEBUFFER, m_cubeFramebuffer);
        glViewport(0, 0, kCubeSide, kCubeSide);
        glUseProgram(m_cubeProgram);
        BindSampler(m_cubeProgram, "iChannel0", 0, Sampler::Cube, m_cubeTextures[1]);
        BindSampler(m_cubeProgram, "iChannel1", 1, Sampler::Flat, m_stateTexture);
        for (int i = 0; i < 6; ++i) {
            glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0,
                                   static_cast<GLenum>(GL_TEXTURE_CUBE_MAP_POSITIVE_X + i), m_cubeTextures[0],
                                   0);
            glUniform1i(glGetUniformLocation(m_cubeProgram, "iFace"), i);
            DrawQuad(true);
        }
        glFinish();
        glUseProgram(0);
        BindBackBuffer();
        m_context.DoneCurrent();
    }
};

inline void BM_CubeBufferPhase(benchmark::State& state, bool cubePassOnly)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface source = lmd::bench::GradientPicture(side, 0x60u);
    platform::Surface target(side, side);
    PhasedCube2 renderer;
    const EffectInfo& info = *FindEffect(EFFECT_CUBE_BUFFER);
    if (!renderer.Create(&source, side, side, std::string(info.image)) || !renderer.LoadCubemap() ||
        !renderer.LoadBufferA() || !renderer.LoadCubeA()) {
        state.SkipWithError("set-up failed");
        return;
    }
    if (!lmd::bench::FirstFrameDraws(state, target, [&] { renderer.Render(target, &source); }))
        return;
    for (auto _ : state) {
        if (cubePassOnly)
            renderer.CubePass();
        else
            renderer.Render(target, &source);
        benchmark::DoNotOptimize(target.Row(0));
    }
}

inline const bool registered = [] {
    for (const int code : EffectCodes([](const EffectInfo& info) { return IsShaderSet(info.family); })) {
        const EffectInfo& info = *FindEffect(code);
        const std::string name = "BM_BufferShader/" + std::to_string(code) + "_" + std::string(info.name);
        benchmark::RegisterBenchmark(name.c_str(), BM_BufferShader, code)
            ->Arg(100)
            ->MeasureProcessCPUTime()
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_CubeBufferCubePass", BM_CubeBufferPhase, true)
        ->Arg(100)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("BM_CubeBufferFrame", BM_CubeBufferPhase, false)
        ->Arg(100)
        ->MeasureProcessCPUTime()
        ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace buffer_shader_bench
