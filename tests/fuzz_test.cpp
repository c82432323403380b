// SPDX-License-Identifier: GPL-3.0-or-later
// Deterministic fuzz loops over the real bundle: thousands of random saved states and hostile
// parameter values, each seed reproducible on its own. Run under AddressSanitizer in CI.
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/StateStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr size_t kStateSize = 62;
constexpr int32 kBlock = 64;

std::shared_ptr<Module> bundle()
{
    static std::shared_ptr<Module> module = Module::load(HALVANE_BUNDLE_PATH);
    return module;
}

std::unique_ptr<PluginInstance> activeEffect()
{
    auto effect = PluginInstance::create(bundle());
    EXPECT_TRUE(effect->setupProcessing(44100.0, kBlock));
    EXPECT_TRUE(effect->setActive(true));
    return effect;
}

// One block of a test signal; false if any output sample is not finite.
bool processesFinitely(PluginInstance& effect, int block)
{
    std::vector<float> in(kBlock), left(kBlock), right(kBlock);
    for (int i = 0; i < kBlock; ++i)
        in[static_cast<size_t>(i)] = std::sin(0.1f * static_cast<float>(block * kBlock + i));
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    if (effect.process(inputs, 2, outputs, 2, kBlock) != kResultOk) return false;
    for (int i = 0; i < kBlock; ++i)
        if (!std::isfinite(left[static_cast<size_t>(i)]) ||
            !std::isfinite(right[static_cast<size_t>(i)]))
            return false;
    return true;
}

// A stream as a fuzzer would make it: random bytes, a valid state with some bytes or
// whole fields changed, or either cut short or run long.
Bytes randomState(std::mt19937& rng, const Bytes& valid)
{
    Bytes bytes;
    switch (rng() % 4)
    {
    case 0:
        bytes.resize(rng() % 80);
        for (auto& b : bytes)
            b = static_cast<uint8_t>(rng());
        return bytes;
    case 1:
    {
        bytes = valid;
        const float specials[] = {std::numeric_limits<float>::quiet_NaN(),
                                  std::numeric_limits<float>::infinity(), -1e38f, 1e38f,
                                  -0.0f, 1e-45f};
        for (int n = 1 + static_cast<int>(rng() % 4); n > 0; --n)
        {
            const size_t at = 8 + 4 * (rng() % 11);
            const float v = specials[rng() % 6];
            std::memcpy(bytes.data() + at, &v, sizeof v);
        }
        break;
    }
    default:
        bytes = valid;
        for (int n = 1 + static_cast<int>(rng() % 6); n > 0; --n)
            bytes[rng() % bytes.size()] = static_cast<uint8_t>(rng());
        break;
    }
    const unsigned cut = rng() % 8;
    if (cut == 0) bytes.resize(rng() % bytes.size());
    if (cut == 1) bytes.resize(bytes.size() + rng() % 16, 0xff);
    return bytes;
}

double hostileValue(std::mt19937& rng)
{
    const double specials[] = {std::numeric_limits<double>::quiet_NaN(),
                               -std::numeric_limits<double>::quiet_NaN(),
                               std::numeric_limits<double>::infinity(),
                               -std::numeric_limits<double>::infinity(),
                               std::numeric_limits<double>::max(),
                               std::numeric_limits<double>::lowest(),
                               std::numeric_limits<double>::denorm_min(),
                               -0.0,
                               1.0 + 1e-12,
                               -1e-300};
    if (rng() % 3 == 0) return specials[rng() % 10];
    // Any sign and magnitude, from far below one to far beyond.
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> exponent(-320, 308);
    return std::ldexp(mantissa(rng), exponent(rng) / 3);
}

std::string hostileText(std::mt19937& rng)
{
    const char* texts[] = {"nan", "inf", "-inf", "1e999", "-1e999", "", " ", "0x1p1023",
                           "Right", "L90", "99999999999999999999", "-0", "1,5", "\xff\xfe"};
    return texts[rng() % 14];
}

} // namespace

TEST(Fuzz, RandomStatesAreTakenWholeOrNotAtAll)
{
    auto effect = activeEffect();
    const Bytes valid = effect->getComponentState();
    ASSERT_EQ(valid.size(), kStateSize);
    int refused = 0;
    for (uint32_t seed = 0; seed < 3000; ++seed)
    {
        std::mt19937 rng(seed);
        const Bytes stream = randomState(rng, valid);
        const Bytes before = effect->getComponentState();
        const tresult component = effect->component()->setState(makeStream(stream));
        const tresult controller = effect->controller()->setComponentState(makeStream(stream));
        ASSERT_EQ(component, controller) << "seed " << seed;
        const Bytes after = effect->getComponentState();
        if (component != kResultOk)
        {
            ++refused;
            ASSERT_EQ(after, before) << "seed " << seed << ": a refused state changed settings";
        }
        ASSERT_EQ(after.size(), kStateSize) << "seed " << seed;
        ASSERT_TRUE(processesFinitely(*effect, static_cast<int>(seed))) << "seed " << seed;
    }
    // The loop must exercise both answers to mean anything.
    EXPECT_GT(refused, 300);
    EXPECT_LT(refused, 2700);
}

TEST(Fuzz, HostileParameterValuesNeitherCrashNorLeakIntoTheSound)
{
    auto effect = activeEffect();
    Vst::IEditController* controller = effect->controller();
    std::vector<Vst::ParamID> ids;
    for (const auto& p : effect->parameters())
        ids.push_back(p.id);
    ids.push_back(0x7fffffff); // no such parameter
    for (uint32_t seed = 0; seed < 4000; ++seed)
    {
        std::mt19937 rng(seed);
        const Vst::ParamID id = ids[rng() % ids.size()];
        const double value = hostileValue(rng);

        struct
        {
            Vst::String128 text;
            char16 guard[256];
        } s;
        std::memset(&s, 0x5a, sizeof s);
        controller->getParamStringByValue(id, value, s.text);
        for (char16 c : s.guard)
            ASSERT_EQ(c, 0x5a5a) << "seed " << seed << ": text ran past the host's string";
        const double plain = controller->normalizedParamToPlain(id, value);
        ASSERT_FALSE(std::isnan(plain)) << "seed " << seed;
        const double normalized = controller->plainParamToNormalized(id, value);
        ASSERT_TRUE(normalized >= 0.0 && normalized <= 1.0) << "seed " << seed;
        controller->setParamNormalized(id, value);
        const double stored = controller->getParamNormalized(id);
        ASSERT_TRUE(stored >= 0.0 && stored <= 1.0) << "seed " << seed;
        if (const auto parsed = effect->getParamValueByString(id, hostileText(rng)))
        {
            ASSERT_TRUE(*parsed >= 0.0 && *parsed <= 1.0) << "seed " << seed;
        }

        effect->inputChanges().add(id, static_cast<int32>(rng() % kBlock), value);
        if (seed % 4 == 0)
        {
            ASSERT_TRUE(processesFinitely(*effect, static_cast<int>(seed))) << "seed " << seed;
        }
    }
}
