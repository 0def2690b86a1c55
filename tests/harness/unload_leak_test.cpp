// Loads the stand-in driver module, lets it keep a block, and unloads it at exit,
// as the X connections' teardown unloads Mesa's driver.
#include <cstdlib>
#include <dlfcn.h>
#include <gtest/gtest.h>

namespace {

void* g_module = nullptr;

void UnloadModule()
{
    dlclose(g_module);
}

TEST(LeakHarness, ModuleKeepsABlockUntilUnloadedAtExit)
{
    g_module = dlopen(LMD_LEAKY_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(g_module, nullptr) << dlerror();
    const auto hold = reinterpret_cast<void (*)()>(dlsym(g_module, "lmd_leaky_module_hold"));
    ASSERT_NE(hold, nullptr);
    hold();
    std::atexit(UnloadModule);
}

} // namespace
