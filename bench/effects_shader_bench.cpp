// Shader renderer benchmarks: the cost of one frame of the dial shader and of a
// pass-through image pass (the date window with no window, iMojibanType 3),
// split into its phases: the source upload, the draw, and the read-back into the
// target surface. Sizes are zoom percentages.
// clang-format off
#include <GL/glew.h> // before every other OpenGL header
// clang-format on
#include "bench/support/effect_bench.h"
#include "effects/shader_clock.h"
#include "platform/surface.h"

#include <benchmark/benchmark.h>
#include <memory>

namespace shader_bench {

// The renderer with its frame split into phases, each finished on the GPU side.
class PhasedRenderer : public CShaderClock
{
public:
    void Upload(const platform::Surface& source)
    {
        m_context.MakeCurrent();
        UploadSource(&source);
        glFinish();
        m_context.DoneCurrent();
    }
    void Draw()
    {
        m_context.MakeCurrent();
        BindBackBuffer();
        glViewport(0, 0, m_width, m_height);
        glUseProgram(m_program);
        SetCommonUniforms(1.0f);
        glUniform1i(m_uniforms.iMojibanType, 3);
        glUniform4f(m_uniforms.iDate, 2024, 5, 17, 36576.0f);
        DrawQuad(true);
        glFinish();
        glUseProgram(0);
        m_context.DoneCurrent();
    }
    void Read(platform::Surface& target)
    {
        m_context.MakeCurrent();
        ReadBack(target);
    }
};

enum class Phase
{
    Upload,
    Draw,
    ReadBack,
    Frame,
};

inline void BM_Shader(benchmark::State& state, const char* shader, Phase phase)
{
    const int side = lmd::bench::SideForZoom(static_cast<int>(state.range(0)));
    platform::Surface source(side, side);
    source.Fill(platform::Rgb(90, 140, 200));
    platform::Surface target(side, side);
    PhasedRenderer renderer;
    if (!renderer.Create(&source, side, side, shader)) {
        state.SkipWithError("shader set-up failed");
        return;
    }
    renderer.m_nMojibanType = 3;
    if (!lmd::bench::FirstFrameDraws(state, target, [&] { renderer.Render(target, &source); }))
        return;
    for (auto _ : state) {
        switch (phase) {
        case Phase::Upload:
            renderer.Upload(source);
            break;
        case Phase::Draw:
            renderer.Draw();
            break;
        case Phase::ReadBack:
            renderer.Read(target);
            break;
        case Phase::Frame:
            renderer.Render(target, &source);
            break;
        }
        benchmark::DoNotOptimize(target.Row(0));
    }
}

inline const bool registered = [] {
    const struct
    {
        const char* label;
        const char* shader;
    } shaders[] = {{"Dial", "LM_Clock"}, {"PassThrough", "clockDate"}};
    const struct
    {
        const char* label;
        Phase phase;
    } phases[] = {{"Upload", Phase::Upload},
                  {"Draw", Phase::Draw},
                  {"ReadBack", Phase::ReadBack},
                  {"Frame", Phase::Frame}};
    for (const auto& s : shaders)
        for (const auto& p : phases)
            benchmark::RegisterBenchmark((std::string("BM_Shader") + s.label + p.label).c_str(), BM_Shader,
                                         s.shader, p.phase)
                ->Arg(100)
                ->Arg(600)
                ->Unit(benchmark::kMillisecond);
    return true;
}();

} // namespace shader_bench
